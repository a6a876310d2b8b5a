// Writes the LV2 bundle's Turtle files into a folder, from the parameter
// table; run by the build.
//
//   kestrom_lv2_turtle BUNDLE_DIR BINARY UI_BINARY   manifest.ttl, kestrom.ttl, presets.ttl
//   kestrom_lv2_turtle --port-table               the README's port table, to standard output
#include <cstdio>
#include <cstring>
#include <string>

#include "lv2/KestromTurtle.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "kestrom_lv2_turtle: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) std::fprintf(stderr, "kestrom_lv2_turtle: cannot write %s\n", path.c_str());
    return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!KestromTurtle::Check(error)) {
        std::fprintf(stderr, "kestrom_lv2_turtle: %s\n", error.c_str());
        return 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--port-table") == 0) {
        std::fputs(KestromTurtle::PortTable().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: kestrom_lv2_turtle BUNDLE_DIR BINARY UI_BINARY | --port-table\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = WriteFile(dir + "/manifest.ttl", KestromTurtle::Manifest(argv[2], argv[3])) &&
                    WriteFile(dir + "/" + KestromTurtle::kPluginsFile, KestromTurtle::Plugins()) &&
                    WriteFile(dir + "/" + KestromTurtle::kPresetsFile, KestromTurtle::Presets());
    return ok ? 0 : 1;
}
