#pragma once

#include <string>

#include "graphics/controls/IControl.h"

// An invisible link: a click opens url, or backupUrl when that fails.
class IURLControl : public IControl {
public:
    static constexpr size_t kMaxUrl = 255;
    static constexpr size_t kMaxTitle = 1023;

    IURLControl(IPlugBase* plugin, const IBounds& area, const char* url, const char* backupUrl = nullptr,
                const char* messageTitle = nullptr);

    bool Draw(IGraphics& graphics) override;
    void HandleMouseDown(int x, int y, const IMouseState& state) override;

private:
    std::string url;
    std::string backupUrl;
    std::string messageTitle;
};
