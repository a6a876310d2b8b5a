#include "tools/compare/CompressorSetup.h"

#include <cstdio>

namespace kestrom::compare {

// The common ground: threshold -20 dBFS, ratio 4:1, attack 10 ms, release
// 100 ms, no make-up gain; knee, detector and stereo link as each plug-in
// defaults them. Kestrom has no such knobs (In moves its threshold, ratio,
// release and averaging together); at its defaults a full-scale sine loses
// about as much as with the others at that common ground, so it runs at them.
// Its detection modes run beside each other: normal, and the Relaxed and the
// Negative switch each on alone.
std::vector<CompressorSetup> CompressorSetup::All() {
    return {
        {"Kestrom normal", "urn:tollbrink:kestrom:stereo",
         {},
         "every control at its default: In 0 dB, Out 0 dB, switches off, Power on",
         LICE::Rgba(214, 39, 40, 255)},
        {"Kestrom Relaxed", "urn:tollbrink:kestrom:stereo",
         {{"relaxed", 1.0f}},
         "Relaxed on, every other control at its default",
         LICE::Rgba(227, 119, 194, 255)},
        {"Kestrom Negative", "urn:tollbrink:kestrom:stereo",
         {{"negative", 1.0f}},
         "Negative on, every other control at its default",
         LICE::Rgba(20, 20, 20, 255)},
        {"x42 darc", "http://gareus.org/oss/lv2/darc#stereo",
         {{"threshold", -20.0f}, {"Ratio", 0.75f}, {"attack", 0.01f}, {"release", 0.1f}},
         "Threshold -20 dB, Ratio 0.75 (its scale runs 0 to 1 = limiting), Attack 0.01 s, Release 0.1 s",
         LICE::Rgba(31, 119, 180, 255)},
        {"ZamComp", "urn:zamaudio:ZamComp",
         {{"thr", -20.0f}, {"rat", 4.0f}, {"att", 10.0f}, {"rel", 100.0f}, {"mak", 0.0f}},
         "Threshold -20 dB, Ratio 4, Attack 10 ms, Release 100 ms, Makeup 0; mono: one instance per channel",
         LICE::Rgba(255, 127, 14, 255)},
        {"ZamCompX2", "urn:zamaudio:ZamCompX2",
         {{"thr", -20.0f}, {"rat", 4.0f}, {"att", 10.0f}, {"rel", 100.0f}, {"mak", 0.0f}},
         "Threshold -20 dB, Ratio 4, Attack 10 ms, Release 100 ms, Makeup 0",
         LICE::Rgba(44, 160, 44, 255)},
        {"LSP Compressor", "http://lsp-plug.in/plugins/lv2/compressor_stereo",
         {{"al", 0.1f}, {"cr", 4.0f}, {"at", 10.0f}, {"rt", 100.0f}, {"mk", 1.0f}},
         "Attack threshold 0.1 (-20 dB), Ratio 4, Attack 10 ms, Release 100 ms, Makeup 1 (0 dB)",
         LICE::Rgba(148, 103, 189, 255)},
        {"Calf Compressor", "http://calf.sourceforge.net/plugins/Compressor",
         {{"threshold", 0.1f}, {"ratio", 4.0f}, {"attack", 10.0f}, {"release", 100.0f}, {"makeup", 1.0f}},
         "Threshold 0.1 (-20 dB), Ratio 4, Attack 10 ms, Release 100 ms, Makeup 1 (0 dB)",
         LICE::Rgba(140, 86, 75, 255)},
        {"SWH SC4", "http://plugin.org.uk/swh-plugins/sc4",
         {{"threshold", -20.0f}, {"ratio", 4.0f}, {"attack", 10.0f}, {"release", 100.0f}, {"makeup_gain", 0.0f}},
         "Threshold -20 dB, Ratio 4, Attack 10 ms, Release 100 ms, Makeup 0 dB",
         LICE::Rgba(23, 190, 207, 255)},
    };
}

CompressorSetup CompressorSetup::WithIn(float inDb) const {
    char text[16];
    std::snprintf(text, sizeof text, "%+g", static_cast<double>(inDb));
    CompressorSetup s = *this;
    s.controls.emplace_back("in", inDb);
    s.name += std::string(", In ") + (inDb == 0.0f ? "0" : text);
    s.settingsText += std::string("; In ") + text + " dB";
    return s;
}

}  // namespace kestrom::compare
