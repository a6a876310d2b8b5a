#include "graphics/IBitmapCache.h"

#include <algorithm>
#include <mutex>

#include "graphics/LICE_IBitmap.h"

IBitmapCache& IBitmapCache::Instance() {
    static IBitmapCache cache;
    return cache;
}

IBitmapCache::~IBitmapCache() = default;

LICE_IBitmap* IBitmapCache::FindLocked(int id) {
    for (Entry& e : entries)
        if (e.id == id) return e.bitmap.get();
    return nullptr;
}

LICE_IBitmap* IBitmapCache::FindOrLoad(int id, const std::function<std::unique_ptr<LICE_IBitmap>()>& load) {
    std::lock_guard<ICacheLock> guard(lock);
    if (LICE_IBitmap* found = FindLocked(id)) return found;
    std::unique_ptr<LICE_IBitmap> loaded = load();
    if (!loaded) return nullptr;
    entries.push_back({id, std::move(loaded)});
    return entries.back().bitmap.get();
}

LICE_IBitmap* IBitmapCache::Find(int id) {
    std::lock_guard<ICacheLock> guard(lock);
    return FindLocked(id);
}

LICE_IBitmap* IBitmapCache::Store(int id, std::unique_ptr<LICE_IBitmap> bitmap) {
    if (!bitmap) return nullptr;
    std::lock_guard<ICacheLock> guard(lock);
    entries.push_back({id, std::move(bitmap)});
    return entries.back().bitmap.get();
}

void IBitmapCache::Adopt(LICE_IBitmap* bitmap) {
    if (!bitmap) return;
    std::lock_guard<ICacheLock> guard(lock);
    for (const Entry& e : entries)
        if (e.bitmap.get() == bitmap) return;
    entries.push_back({kDerivedId, std::unique_ptr<LICE_IBitmap>(bitmap)});
}

bool IBitmapCache::Remove(const LICE_IBitmap* bitmap) {
    std::unique_ptr<LICE_IBitmap> doomed;
    {
        std::lock_guard<ICacheLock> guard(lock);
        auto it = std::find_if(entries.begin(), entries.end(),
                               [bitmap](const Entry& e) { return e.bitmap.get() == bitmap; });
        if (it == entries.end()) return false;
        doomed = std::move(it->bitmap);
        entries.erase(it);
    }
    return true;  // doomed deletes the bitmap outside the lock
}

bool IBitmapCache::Holds(const LICE_IBitmap* bitmap) {
    std::lock_guard<ICacheLock> guard(lock);
    for (const Entry& e : entries)
        if (e.bitmap.get() == bitmap) return true;
    return false;
}

int IBitmapCache::Count() {
    std::lock_guard<ICacheLock> guard(lock);
    return static_cast<int>(entries.size());
}
