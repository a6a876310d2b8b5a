#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostlib/CPluginControl_Discrete.h"

// A host control over a list of value texts (a switch or list parameter): a
// discrete control over the indices 0 .. text count - 1. Each value text may
// hold several forms separated by line feeds, longest first, like the names.
// An empty list is a control of the one index 0 whose text is empty.
class CPluginControl_List : public CPluginControl_Discrete {
public:
    // Longest text the typed-text search chooses forms for.
    static constexpr std::size_t kMaxTypedLength = 255;

    CPluginControl_List(uint32_t id, const char* names, const std::vector<std::string>& texts,
                        int32_t defaultIndex, bool automatable);

    // Slot 4 (host library's process, user-interface thread): with w the
    // text's length, at most kMaxTypedLength, the first index whose value text
    // in the form chosen for w (cut to w characters) equals the text, ignoring
    // ASCII letter case; so a typed beginning selects the first text that
    // starts with it. A text longer than kMaxTypedLength matches no value text.
    // With no match, the Discrete rule (the text's leading integer) applies.
    int32_t ControlValueForText(const char* text, int32_t* outControlValue) const override;
    // Slot 5 (host library's process, user-interface thread): every code but
    // the up and down arrows.
    bool AcceptsCharacter(int32_t code) const override;
    // Slot 10 (host library's process, user-interface thread): the value text
    // of the index `controlValue` stands for, in the form chosen for width.
    int32_t ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const override;

    int32_t TextCount() const { return static_cast<int32_t>(texts.size()); }
    // The value text at `index` as given (all its forms); the empty text
    // outside the list.
    const char* TextAt(int32_t index) const;

private:
    std::vector<std::string> texts;
};
