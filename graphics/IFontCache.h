#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/ICacheLock.h"

#include "graphics/ITextStyle.h"

class LICE_IFont;

// The process-wide cache of fonts, one per (size, orientation, style, face
// name), shared by every editor of the module: made on first use, destroyed
// at module unload, guarded by its own lock. The face name matches exactly
// and case-sensitively; the first match wins.
//
// Threads: any editor's thread; every operation takes the cache's lock.
class IFontCache {
public:
    static IFontCache& Instance();

    // The cached font for style; when there is none, create() runs under the
    // lock and a non-null result is appended. Null when creation failed
    // (nothing is cached then).
    LICE_IFont* FindOrCreate(const ITextStyle& style, const std::function<std::unique_ptr<LICE_IFont>()>& create);
    int Count();

    IFontCache() = default;
    IFontCache(const IFontCache&) = delete;
    IFontCache& operator=(const IFontCache&) = delete;
    ~IFontCache();

private:
    struct Entry {
        int32_t size;
        int32_t orientation;
        int32_t style;
        char name[ITextStyle::kFontNameSize];
        std::unique_ptr<LICE_IFont> font;
    };

    ICacheLock lock;
    std::vector<Entry> entries;
};
