#include "graphics/IFontCache.h"

#include <cstring>
#include <mutex>

#include "graphics/LICE_IFont.h"

IFontCache& IFontCache::Instance() {
    static IFontCache cache;
    return cache;
}

IFontCache::~IFontCache() = default;

LICE_IFont* IFontCache::FindOrCreate(const ITextStyle& style,
                                     const std::function<std::unique_ptr<LICE_IFont>()>& create) {
    std::lock_guard<ICacheLock> guard(lock);
    for (Entry& e : entries) {
        if (e.size == style.size && e.orientation == style.orientation && e.style == style.style &&
            std::strncmp(e.name, style.fontName, ITextStyle::kFontNameSize) == 0)
            return e.font.get();
    }
    std::unique_ptr<LICE_IFont> font = create();
    if (!font) return nullptr;
    Entry entry{style.size, style.orientation, style.style, {}, std::move(font)};
    std::memcpy(entry.name, style.fontName, ITextStyle::kFontNameSize);
    entry.name[ITextStyle::kFontNameSize - 1] = '\0';
    entries.push_back(std::move(entry));
    return entries.back().font.get();
}

int IFontCache::Count() {
    std::lock_guard<ICacheLock> guard(lock);
    return static_cast<int>(entries.size());
}
