#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEffectType;
class CPlugInView;

// The effect group: everything one module offers the host. It names the maker
// and the product, carries the host's option codes, owns the effect types (one
// per channel configuration) and the view classes the host may build by name.
//
// The module builds one group when it opens (the bridge's NewPlugIn), calls
// Initialize, which defines the types, and publishes it with SetModuleGroup;
// the routine table works against that group and answers PI_ErrNotOpen while
// there is none. Destroying the group destroys every instance made from its
// types that the host has not destroyed yet.
//
// Threads: the group is built, initialised, read and destroyed on the host's
// user-interface thread (the routines that read it hold the routine table's
// lock). Only the module-group pointer is also read by the audio thread, and
// it is atomic.
class CEffectGroup {
public:
    // Builds a new view of a registered class; the caller owns it.
    using CreateViewProc = CPlugInView* (*)();

    CEffectGroup();
    CEffectGroup(const CEffectGroup&) = delete;
    CEffectGroup& operator=(const CEffectGroup&) = delete;

    // Slot 0. Initialises the group: calls CreateEffectTypes the first time,
    // and does nothing on later calls. Called by the module's NewPlugIn on the
    // host's user-interface thread, no lock held, before the group is
    // published; an override (registering view classes, say) calls this base
    // version first. May throw CDAEError or std::bad_alloc; NewPlugIn catches.
    virtual void Initialize();
    // Deleting destructor. Called by the module when it closes (the last
    // ModuleClose) or fails to open, on the user-interface thread, no lock
    // held (it takes the routine table's lock itself). Unpublishes the group
    // if it is the module's, destroys the instances of this group still alive
    // (waiting for a render in progress to finish), then the types and view
    // classes.
    virtual ~CEffectGroup();
    // The type-definition hook: builds the effect types and adds them with
    // AddEffectType. Called once, by Initialize, on the user-interface
    // thread, no lock held. This base version defines none. May throw.
    virtual void CreateEffectTypes();
    // The host's version as the plug-in sees it (PI_SEL_HOST_VERSION), packed
    // as the bridge packs it. Called by that routine on the user-interface
    // thread, under the routine table's lock. This base version answers 0.
    virtual int32_t HostVersion();

    // Maker: names as "long\nshort\ncode", and a four-character ID.
    void SetMakerNames(const char* names);
    const char* MakerNames() const { return makerNames.c_str(); }
    void SetMakerId(int32_t id) { makerId = id; }
    int32_t MakerId() const { return makerId; }
    // Product: names as "long\nshort", and the version given to the host.
    void SetProductNames(const char* names);
    const char* ProductNames() const { return productNames.c_str(); }
    void SetProductVersion(int32_t version) { productVersion = version; }
    int32_t ProductVersion() const { return productVersion; }

    // The host's option codes for the group, in the order added.
    void AddOptionCode(int32_t code);
    int32_t OptionCount() const { return static_cast<int32_t>(options.size()); }
    // Answers false for an index outside 0..OptionCount()-1.
    bool OptionAt(int32_t index, int32_t* code) const;

    // Takes ownership of `type`. Throws CDAEError(PI_ErrNullPointer) for a
    // null type and CDAEError(PI_ErrBadIndex) for a type ID the group already
    // has (the type is then deleted): type IDs name types uniquely.
    void AddEffectType(CEffectType* type);
    int32_t EffectTypeCount() const { return static_cast<int32_t>(types.size()); }
    // The type at `index` from 0, or null outside the list.
    CEffectType* EffectTypeAt(int32_t index) const;
    // The index of the type with ID `typeId`, or -1.
    int32_t FindEffectType(int32_t typeId) const;

    // Registers (or replaces) the creation routine of the view class `name`.
    // Throws CDAEError(PI_ErrNullPointer) for a null or empty name or a null
    // routine.
    void RegisterViewClass(const char* name, CreateViewProc create);
    int32_t ViewClassCount() const { return static_cast<int32_t>(viewClasses.size()); }
    // The class name at `index` from 0, or null outside the list.
    const char* ViewClassName(int32_t index) const;
    // A new view of the class `name`, or null when no class of that name is
    // registered or its routine made nothing. Exceptions of the routine pass.
    std::unique_ptr<CPlugInView> CreateView(const char* name) const;

    // The group the routine table works against: set by the module's
    // NewPlugIn once the group is initialised, cleared before it is destroyed
    // (the destructor clears it too). Null while the module is not open.
    static void SetModuleGroup(CEffectGroup* group);
    static CEffectGroup* ModuleGroup();

private:
    struct ViewClass {
        std::string name;
        CreateViewProc create;
    };

    std::string makerNames;
    int32_t makerId = 0;
    std::string productNames;
    int32_t productVersion = 0;
    std::vector<int32_t> options;
    std::vector<std::unique_ptr<CEffectType>> types;
    std::vector<ViewClass> viewClasses;
    bool typesCreated = false;
};
