#pragma once

#include <memory>
#include <optional>

#include "compressor/KestromParams.h"
#include "core/IPlugEditor.h"

namespace kestrom::tool {

// The last meter value the plug-in handed to its editor. The tool owns it
// through a shared pointer, and so does the recorder, so the reading outlives
// the recorder however the plug-in deletes its editor. Written from inside the
// processing entry and read or cleared by the tool, always with the plug-in's
// lock held, so no further synchronisation is needed.
struct MeterReading {
    std::optional<double> value;
};

// A minimal editor that keeps what the processing hands to the meter's
// address (kMeterIndex, 8) and ignores everything else. The tool attaches it so the
// --meter file shows exactly what an editor's needle would receive.
class MeterRecorder : public IPlugEditor {
public:
    explicit MeterRecorder(std::shared_ptr<MeterReading> reading) : reading_(std::move(reading)) {}

    // Called by the plug-in base when it attaches the editor and by the effect
    // at the end of each block inside the processing entry; both on the tool's
    // one thread, with the plug-in's lock held.
    void SetParameterFromPlugin(int paramIdx, double value, bool /*isNormalised*/) override {
        if (paramIdx == kMeterIndex) {
            reading_->value = value;
        }
    }

    // Called once by the plug-in base when it attaches the editor (tool's
    // thread, plug-in lock held): nothing to draw.
    void CreateDrawBuffers() override {}

    // Called by the effect's parameter-change hook (tool's thread, plug-in
    // lock held): nothing to redraw.
    void MarkAllControlsDirty() override {}

private:
    std::shared_ptr<MeterReading> reading_;
};

}  // namespace kestrom::tool
