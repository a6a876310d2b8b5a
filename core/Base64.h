#pragma once

#include <cstdint>
#include <string>

// Base64 with the standard alphabet and "=" padding.
namespace kestrom {

std::string Base64Encode(const uint8_t* data, int n);

// Decodes characters up to the first one outside the alphabet ("=" or the end
// of the text stop it) and writes at most maxBytes bytes; returns the count written.
int Base64Decode(const char* text, uint8_t* out, int maxBytes);

}  // namespace kestrom
