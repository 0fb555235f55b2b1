// libFuzzer target: arbitrary bytes as "tracks.txt", read into the tables, stored again and
// read back; nothing may crash, hang, leak or leave a name row unterminated.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/status.h"
#include "files/tracks_file.h"
#include "model/tables.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "fuzz_tracks: %s\n", what);
  abort();
}

std::string Slurp(const char* path) {
  std::string out;
  FILE* f = fopen(path, "rb");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

void Spit(const char* path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path, "wb");
  Check(f != nullptr, "cannot create tracks.txt");
  Check(fwrite(data, 1, size, f) == size, "cannot write tracks.txt");
  fclose(f);
}

void CheckTables() {
  for (const auto& row : NameBuffer) Check(strnlen(row, kNameSize) < static_cast<size_t>(kNameSize), "name row unterminated");
  Check(strnlen(tbuffer, kStatusSize) < static_cast<size_t>(kStatusSize), "status unterminated");
  for (int s = 0; s < kSlots; ++s)
    Check((SoloArray[s] == 0 || SoloArray[s] == 1) && (MuteArray[s] == 0 || MuteArray[s] == 1),
          "a solo or mute flag is neither 0 nor 1");
  // Only regular channels come from the file.
  Check(strcmp(NameBuffer[0], "Master") == 0, "the master's name was overwritten");
  Check(strcmp(NameBuffer[kFirstSubSlot], "Submix 1") == 0, "a submix name was overwritten");
}

std::string CheckWritten() {
  std::string text = Slurp("tracks.txt");
  Check(text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0, "stored file does not end with end");
  Check(std::string(tbuffer) == "Wrote " + std::to_string(text.size()) + " bytes to tracks.txt",
        "status does not match the stored file");
  return text;
}

std::string scratch;
int home = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // tmpfs when there is one: every store syncs its file.
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
  scratch = std::string(base) + "/fuzz-tracks-XXXXXX";
  Check(mkdtemp(&scratch[0]) != nullptr, "cannot make a scratch directory");
  home = open(".", O_RDONLY | O_DIRECTORY);
  Check(home >= 0, "cannot open the working directory");
  atexit([] {
    unlink((scratch + "/tracks.txt").c_str());
    rmdir(scratch.c_str());
  });
  return 0;
}

namespace {

void Run(const uint8_t* data, size_t size) {
  ClearInternalArrays();
  Spit("tracks.txt", data, size);
  ReadTracksFile();
  CheckTables();
  if (!WriteTracksFile()) {
    Check(Slurp("tracks.txt") == std::string(reinterpret_cast<const char*>(data), size),
          "a refused store changed the file");
    return;
  }
  std::string first = CheckWritten();
  // What was stored reads back into the same tables: a second store writes the same text.
  ReadTracksFile();
  CheckTables();
  Check(WriteTracksFile(), "the stored file could not be stored again");
  std::string second = CheckWritten();
  // A reader drops one carriage return before a line feed, so a name ending in several loses
  // one per store; only text without them must come back the same.
  if (first.find('\r') == std::string::npos) Check(second == first, "store, recall, store is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The files live in the scratch directory; libFuzzer's own paths may be relative.
  Check(chdir(scratch.c_str()) == 0, "cannot enter the scratch directory");
  Run(data, size);
  Check(fchdir(home) == 0, "cannot return to the working directory");
  return 0;
}
