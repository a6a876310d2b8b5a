#include "tools/kestrom/DemoCommand.h"

#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/SoundFileWriter.h"

namespace kestrom::tool {

int RunGenerateDemo(const std::string& path, double seconds, int sampleRate, Console& console) {
    const DemoSignal demo = DemoSignal::Generate(sampleRate, seconds);
    const float* channels[2] = {demo.left.data(), demo.right.data()};
    std::string error;
    SoundFileWriter writer(path);
    if (!writer.Open(SoundFileWriter::kFloatWav, 2, demo.sampleRate, error) ||
        !writer.Write(channels, static_cast<std::int64_t>(demo.left.size()), error) || !writer.Commit(error)) {
        console.err << "kestrom: " << error << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace kestrom::tool
