// Opening and reading an audio file with libsndfile without ever waiting on it: FIFOs,
// devices and directories are refused before they are opened, and every refusal has a reason.
#pragma once
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>

constexpr int kReasonSize = 160;

// What tells one version of a file from another: a changed file has another key.
struct FileKey {
  uint64_t dev, ino, size;
  int64_t mtime_ns;
};
FileKey KeyOf(const struct stat& st);
bool SameKey(const FileKey& a, const FileKey& b);
// FNV-1a: names cache files, fingerprints candidates and checks cache files.
uint64_t Fnv1aBytes(const void* data, size_t len, uint64_t h = 14695981039346656037ull);

struct SoundFile {
  void* sf;  // SNDFILE*
  FileKey key;
  int rate, channels;
  int64_t frames;
};

// Opens path for reading: true with *f filled, else false with a one-line reason.
bool OpenSound(const char* path, SoundFile* f, char* reason, size_t size);
// Reads up to `frames` frames as interleaved floats (full scale 1.0); returns how many.
int64_t ReadSoundFrames(SoundFile* f, float* buf, int64_t frames);
void CloseSound(SoundFile* f);

// The reason a path cannot be opened as a regular file, from stat's errno or its type;
// false when it is a regular file (st filled).
bool NotARegularFile(const char* path, struct stat* st, char* reason, size_t size);
