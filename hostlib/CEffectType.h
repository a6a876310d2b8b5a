#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEffectProcess;

// One effect type of a group: the effect in one channel configuration, as the
// host lists it. It carries the type's four-character ID, the product ID, the
// host's category code, names, a general property and option codes for the
// host, the stem formats of its input and output (from which the channel
// counts follow), and the routine that makes a process for a new instance.
//
// Built by the group's CreateEffectTypes and owned by the group; read on the
// host's user-interface thread only.
class CEffectType {
public:
    // Makes a new process for an instance of the type; null when memory ran out.
    using CreateProcessProc = CEffectProcess* (*)();

    // Host category codes, one bit each.
    static constexpr int32_t kCategoryNone = 0;
    static constexpr int32_t kCategoryEffect = 8192;

    // Stem formats: how many channels an input or output carries.
    static constexpr int32_t kStemNone = -1;
    static constexpr int32_t kStemMono = 0;
    static constexpr int32_t kStemStereo = 1;

    CEffectType(int32_t typeId, int32_t productId, int32_t categoryCode);
    CEffectType(const CEffectType&) = delete;
    CEffectType& operator=(const CEffectType&) = delete;
    // Called by the group's destructor, on the user-interface thread, no lock
    // held.
    virtual ~CEffectType();

    int32_t TypeId() const { return typeId; }
    int32_t ProductId() const { return productId; }
    int32_t CategoryCode() const { return categoryCode; }

    // Names as "long\nshort".
    void SetNames(const char* names);
    const char* Names() const { return names.c_str(); }
    void SetGeneralProperty(int32_t value) { generalProperty = value; }
    int32_t GeneralProperty() const { return generalProperty; }

    // The input's and output's stem formats and a third one the host may use
    // for a side chain (the bridge gives 0).
    void SetStemFormats(int32_t input, int32_t output, int32_t sideChain);
    int32_t InputStemFormat() const { return inputStemFormat; }
    int32_t OutputStemFormat() const { return outputStemFormat; }
    int32_t SideChainStemFormat() const { return sideChainStemFormat; }
    // Channel counts of the stem formats; 0 before SetStemFormats.
    int32_t InputChannels() const { return ChannelsOfStemFormat(inputStemFormat); }
    int32_t OutputChannels() const { return ChannelsOfStemFormat(outputStemFormat); }

    void AddOptionCode(int32_t code);
    int32_t OptionCount() const { return static_cast<int32_t>(options.size()); }
    // Answers false for an index outside 0..OptionCount()-1.
    bool OptionAt(int32_t index, int32_t* code) const;

    void SetProcessCreator(CreateProcessProc create) { creator = create; }

    // A new process for an instance of this type, bound to the type (its
    // channel counts and stem formats), not yet initialised; null when the
    // creation routine made none. Throws CDAEError(PI_ErrUnsupported) when the
    // type has no creation routine and CDAEError(PI_ErrInternal) when the
    // routine made a process of a kind the type does not run (the process is
    // deleted); exceptions of the routine pass. User-interface thread.
    std::unique_ptr<CEffectProcess> CreateProcess() const;

    // The channel count of a stem format: 1 to 8 for the formats 0, 1, 2, 3,
    // 5, 6, 8 and 12; 0 for any other.
    static int32_t ChannelsOfStemFormat(int32_t stemFormat);
    // The host's name of a category code ("Dynamics" for 2, ...), or "" for a
    // code that is not one of the host's.
    static const char* CategoryName(int32_t categoryCode);

protected:
    // Whether `process` is of the kind this type runs. Called by CreateProcess
    // on the user-interface thread, no lock held, right after the creation
    // routine. This base version accepts every process.
    virtual bool RunsProcess(const CEffectProcess& process) const;

private:
    int32_t typeId;
    int32_t productId;
    int32_t categoryCode;
    std::string names;
    int32_t generalProperty = 0;
    int32_t inputStemFormat = kStemNone;
    int32_t outputStemFormat = kStemNone;
    int32_t sideChainStemFormat = 0;
    std::vector<int32_t> options;
    CreateProcessProc creator = nullptr;
};
