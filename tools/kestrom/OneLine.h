#pragma once

#include <string>

namespace kestrom::tool {

// text on one line: line breaks (some libraries' and systems' messages end
// in one, or hold several) become spaces, and trailing spaces go.
inline std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

}  // namespace kestrom::tool
