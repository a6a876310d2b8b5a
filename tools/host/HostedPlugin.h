#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostlib/PluginRoutines.h"

namespace kestrom::host {

class ModuleHost;

// One plug-in instance inside a loaded module, driven only through the
// routine table: created for an effect type, initialised with the sample
// rate (controls, channels, reset), then controls, blocks, bypass and state
// chunks, and destroyed with this object. Controls are indexed from 1 (1 is
// the master bypass, parameter i is control i + 2). Errors are one-line
// messages; the routine's status is kept for tests in LastStatus().
class HostedPlugin {
public:
    explicit HostedPlugin(const ModuleHost& module);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    bool Create(int32_t typeId, int32_t sampleRate, std::string& error);
    PI_Instance Handle() const { return instance_; }

    int Inputs() const { return inputs_; }
    int Outputs() const { return outputs_; }
    int MaxBlockSize() const;

    int ControlCount() const;
    bool ControlInfo(int control, PI_ControlInfo& info) const;
    std::string ControlName(int control, int width) const;
    int32_t ControlValue(int control) const;
    std::string ValueText(int control, int32_t value, int width) const;
    double ValueNumber(int control, int32_t value) const;
    // The control whose name, in any of its forms, equals `name` ignoring
    // letter case; 0 when none does.
    int FindControl(const std::string& name) const;

    // Sets a control as the host does: from a number in the control's units
    // (through its conversion), or from typed text (through its parsing; a
    // text the control rejects is an error and sets nothing).
    bool SetControlNumber(int control, double value, std::string& error);
    bool SetControlText(int control, const std::string& text, std::string& error);
    bool SetBypass(bool on, std::string& error);

    // One block: inputs and outputs one buffer per channel of the instance.
    bool Render(const float* const* inputs, float* const* outputs, int frames, std::string& error);

    // The plug-in's meter `meter` (0: the compressor's gain reduction), and
    // how many values it has been handed; false when there is no such meter.
    struct MeterReading {
        double value = 0.0;
        uint32_t updates = 0;
    };
    bool Meter(int meter, MeterReading& reading) const;
    bool ShowMeter(int meter, double value);

    bool SaveChunk(std::vector<unsigned char>& chunk, std::string& error) const;
    bool RestoreChunk(const std::vector<unsigned char>& chunk, std::string& error);
    // Whether the chunk holds the instance's current state.
    bool ChunkMatches(const std::vector<unsigned char>& chunk, std::string& error) const;

    PI_Status LastStatus() const { return status_; }

private:
    bool Check(PI_Status status, const std::string& what, std::string& error) const;

    const ModuleHost& module_;
    PI_Instance instance_ = 0;
    int32_t chunkId_ = 0;
    int inputs_ = 0;
    int outputs_ = 0;
    mutable PI_Status status_ = PI_NoErr;
};

}  // namespace kestrom::host
