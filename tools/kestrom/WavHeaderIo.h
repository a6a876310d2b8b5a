#pragma once

#include <sndfile.h>

namespace kestrom::tool {

// libsndfile's file access (its virtual I/O) over an open descriptor, which
// writes a float WAV's format chunk in its 18-byte form.
//
// libsndfile writes WAVE_FORMAT_IEEE_FLOAT with the 16-byte fmt chunk of
// PCM. Every non-PCM WAV format is meant to carry the extension-size field
// after those 16 bytes, and readers that hold to that (sox among them) warn
// about such files. This layer sits between libsndfile and the file:
// libsndfile keeps its own view of the file, in which the fmt chunk ends at
// byte 36; in the file everything from there on lands two bytes later, the
// two bytes between hold an extension size of 0, and the RIFF and fmt sizes
// are raised by 2 on their way out (and lowered again on their way in).
// Whether the file gets that form is decided by the first header libsndfile
// writes at offset 0: a RIFF/WAVE header whose first chunk is a 16-byte fmt
// of format 3 (float, single or double). Anything else (PCM, RF64, AIFF,
// FLAC, ...) passes through untouched.
//
// The descriptor stays the caller's; this class reads and writes it at
// explicit offsets (DescriptorIo), so the descriptor's own offset is never
// moved.
class WavHeaderIo {
public:
    explicit WavHeaderIo(int fd) : fd_(fd) {}
    WavHeaderIo(const WavHeaderIo&) = delete;
    WavHeaderIo& operator=(const WavHeaderIo&) = delete;

    // For sf_open_virtual, with `this` as its user data.
    SF_VIRTUAL_IO* Callbacks() { return &callbacks_; }
    // True once the header has been given the 18-byte fmt chunk.
    bool Widened() const { return shift_ != 0; }

private:
    static sf_count_t GetLength(void* self);
    static sf_count_t Seek(sf_count_t offset, int whence, void* self);
    static sf_count_t Read(void* ptr, sf_count_t count, void* self);
    static sf_count_t Write(const void* ptr, sf_count_t count, void* self);
    static sf_count_t Tell(void* self);

    // Moves `count` bytes at libsndfile's offset `at` to or from the file.
    bool Transfer(unsigned char* bytes, sf_count_t count, sf_count_t at, bool writing);

    SF_VIRTUAL_IO callbacks_{&GetLength, &Seek, &Read, &Write, &Tell};
    int fd_;
    sf_count_t position_ = 0;  // libsndfile's offset
    sf_count_t shift_ = 0;     // 2 once widened: where libsndfile's bytes from 36 on lie in the file
    bool decided_ = false;
};

}  // namespace kestrom::tool
