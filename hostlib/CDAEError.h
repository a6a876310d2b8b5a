#pragma once

#include <cstdint>
#include <exception>

// The host library's one exception: a failure inside the library that carries
// the host status code to answer (PI_Err... of PluginRoutines.h, or a code of
// the host's own). It is thrown only inside the library and the bridge code
// the library calls; every routine of the routine table and every export of
// the module catches it and answers Code().
class CDAEError : public std::exception {
public:
    explicit CDAEError(int32_t code) noexcept;

    int32_t Code() const noexcept { return code; }
    // "CDAEError " followed by the code in decimal. Called by whoever caught
    // the error, on any thread, no lock needed.
    const char* what() const noexcept override { return text; }

private:
    int32_t code;
    char text[32];
};
