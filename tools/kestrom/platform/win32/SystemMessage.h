#pragma once

#include <windows.h>

#include <string>

namespace kestrom::tool {

// The system's text for an error code (GetLastError), on one line.
class SystemMessage {
public:
    static std::string For(DWORD code) {
        char text[512] = {};
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                       text, sizeof text, nullptr);
        std::string message(text, n);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                    message.back() == '.'))
            message.pop_back();
        return message.empty() ? "system error " + std::to_string(code) : message;
    }
    static std::string Last() { return For(GetLastError()); }
};

}  // namespace kestrom::tool
