#pragma once

// Finds a routine of a library the host application has already loaded into
// its process - its engine or extension library - without loading the
// library itself: the module runs only where its host put those libraries,
// and never links them. One implementation per platform.
class HostLibrary {
public:
    // The routine `name` of the loaded library `library` (its file name), or
    // null when the library is not loaded or has no such routine.
    static void* Find(const char* library, const char* name);
    // The same by ordinal, for libraries that export routines only so; where
    // a platform has no ordinals, `name` is looked up instead.
    static void* FindByOrdinal(const char* library, int ordinal, const char* name);

    // Typed: Find<KS_FicGetVersion>(KS_ENGINE_LIBRARY, KS_ENGINE_VERSION_NAME).
    template <typename Routine>
    static Routine Find(const char* library, const char* name) {
        return reinterpret_cast<Routine>(Find(library, name));
    }
    template <typename Routine>
    static Routine FindByOrdinal(const char* library, int ordinal, const char* name) {
        return reinterpret_cast<Routine>(FindByOrdinal(library, ordinal, name));
    }
};
