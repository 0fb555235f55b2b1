// Shared body of the fuzz targets of the three files: bytes become the old file, which is read,
// carried into a store, read back and stored again in a private scratch directory, through
// the editor's own safe writer; any fault aborts the run.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/tables.h"

struct FileTarget {
  const char* file;     // "faders.txt", "prefs.txt" or "tracks.txt"
  void (*read)();       // the reader under test
  bool (*write)();      // the store under test
  void (*check)();      // invariants of the tables after a read
  int settle_stores;    // stores before the text must stop changing (values are rounded once)
  bool reset;           // start each input from fresh tables (else state piles up, as in the editor)
};

namespace fuzz_file {

inline const FileTarget* target = nullptr;
inline std::string scratch;
inline int home = -1;

inline void Check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "fuzz %s: %s\n", target ? target->file : "", what);
  abort();
}

inline std::string Slurp(const char* path) {
  std::string out;
  FILE* f = fopen(path, "rb");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

inline void Spit(const char* path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path, "wb");
  Check(f != nullptr, "cannot create the file");
  Check(fwrite(data, 1, size, f) == size, "cannot write the file");
  fclose(f);
}

// After a successful store the file is whole: ends with "end", and its size is the one reported.
inline std::string CheckWritten() {
  std::string text = Slurp(target->file);
  Check(text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0, "stored file does not end with end");
  Check(std::string(tbuffer) == "Wrote " + std::to_string(text.size()) + " bytes to " + target->file,
        "status does not match the stored file");
  Check(strnlen(tbuffer, kStatusSize) < static_cast<size_t>(kStatusSize), "status unterminated");
  return text;
}

inline std::string StoreAgain() {
  target->read();
  target->check();
  Check(target->write(), "the stored file could not be stored again");
  return CheckWritten();
}

inline void Run(const uint8_t* data, size_t size) {
  if (target->reset) ClearInternalArrays();
  Spit(target->file, data, size);
  target->read();
  target->check();
  if (!target->write()) {
    Check(Slurp(target->file) == std::string(reinterpret_cast<const char*>(data), size),
          "a refused store changed the file");
    return;
  }
  std::string settled = CheckWritten();
  for (int i = 1; i < target->settle_stores; ++i) settled = StoreAgain();
  std::string again = StoreAgain();
  // A reader drops one carriage return before a line feed, so a kept line ending in several
  // loses one per store; only text without them must come back the same.
  if (settled.find('\r') == std::string::npos) Check(again == settled, "store, recall, store is not stable");
}

}  // namespace fuzz_file

// Call from LLVMFuzzerInitialize: makes the scratch directory (tmpfs when there is one, since
// every store syncs its file).
inline void FileFuzzInit(const FileTarget& t) {
  using namespace fuzz_file;
  target = &t;
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
  scratch = std::string(base) + "/fuzz-small-XXXXXX";
  Check(mkdtemp(&scratch[0]) != nullptr, "cannot make a scratch directory");
  home = open(".", O_RDONLY | O_DIRECTORY);
  Check(home >= 0, "cannot open the working directory");
  atexit([] {
    unlink((scratch + "/" + target->file).c_str());
    unlink((scratch + "/" + target->file + "~").c_str());
    rmdir(scratch.c_str());
  });
}

// Call from LLVMFuzzerTestOneInput. The file lives in the scratch directory; libFuzzer's
// own paths may be relative, so the working directory is restored after each run.
inline void FileFuzzOne(const uint8_t* data, size_t size) {
  using namespace fuzz_file;
  Check(chdir(scratch.c_str()) == 0, "cannot enter the scratch directory");
  Run(data, size);
  Check(fchdir(home) == 0, "cannot return to the working directory");
}
