#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "graphics/ICacheLock.h"

class LICE_IBitmap;

// The process-wide cache of pictures and derived bitmaps, shared by every
// editor of the module: one per process, made on first use and destroyed at
// module unload, guarded by its own lock. Entries are (resource id, owned
// bitmap); derived bitmaps (scaled, cropped, retained) are stored under -1.
// Lookup by id takes the first matching entry. The pictures the window layer
// loads decode their pixels on first use (LICE_PngBitmap), outside this lock,
// so one picture is decoded once per process however many editors share it.
//
// Threads: any editor's thread; every operation takes the cache's lock.
class IBitmapCache {
public:
    static constexpr int kDerivedId = -1;

    static IBitmapCache& Instance();

    // The bitmap stored under id; when there is none, load() runs under the
    // lock and a non-null result is stored under id (a null one is not, so a
    // later call tries again). Returns the cached bitmap or null.
    LICE_IBitmap* FindOrLoad(int id, const std::function<std::unique_ptr<LICE_IBitmap>()>& load);
    LICE_IBitmap* Find(int id);
    // Takes ownership; returns the stored bitmap.
    LICE_IBitmap* Store(int id, std::unique_ptr<LICE_IBitmap> bitmap);
    // Stores bitmap under -1 unless the cache holds it already; either way the
    // cache owns it afterwards.
    void Adopt(LICE_IBitmap* bitmap);
    // Removes the bitmap's entry and deletes it; false when the cache does
    // not hold it (it is then left alone).
    bool Remove(const LICE_IBitmap* bitmap);
    bool Holds(const LICE_IBitmap* bitmap);
    int Count();

    IBitmapCache() = default;
    IBitmapCache(const IBitmapCache&) = delete;
    IBitmapCache& operator=(const IBitmapCache&) = delete;
    ~IBitmapCache();

private:
    struct Entry {
        int id;
        std::unique_ptr<LICE_IBitmap> bitmap;
    };
    LICE_IBitmap* FindLocked(int id);

    ICacheLock lock;
    std::vector<Entry> entries;
};
