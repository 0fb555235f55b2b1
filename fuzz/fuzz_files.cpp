// libFuzzer target for the three files: an input starting with an even byte ("f") is bytes as
// the files; with an odd one ("g") it drives the random-mix generator.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "../tests/unit/random_mix.h"

namespace {

std::string scratch;
int home = -1;
unsigned runs;

void Check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "fuzz_files: %s\n", what);
  abort();
}

std::string Slurp(const char* path) {
  std::string out;
  if (FILE* f = fopen(path, "rb")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    fclose(f);
  }
  return out;
}

template <size_t N>
bool Ended(const char (&row)[N]) {
  return strnlen(row, N) < N;
}

// A read leaves every row terminated, every flag 0 or 1, and the master its name.
void CheckTables() {
  bool ok = Ended(MixName) && Ended(Path) && Ended(MixDirName) && Ended(WavDirName) && Ended(LaunchCommand) &&
            Ended(DeviceName) && strcmp(NameBuffer[0], "Master") == 0;
  for (const auto& row : NameBuffer) ok &= Ended(row);
  for (const auto& row : CueNameBuffer) ok &= Ended(row);
  for (int s = 0; s < kSlots; ++s) ok &= (SoloArray[s] | MuteArray[s] | 1) == 1;
  Check(ok, "a read left a row unterminated, a flag other than 0 or 1, or renamed the master");
}

// Recalls, then stores each file: a stored file is whole (its status tells its size, "end"
// closes it); a refused store leaves the old file as it was. Gives the stored texts.
std::string RecallAndStore() {
  RecallFiles();
  CheckTables();
  std::string all;
  for (const StoredFile* file : kMixFiles) {
    const std::string old = Slurp(file->name);
    if (!StoreFile(*file)) {
      Check(Slurp(file->name) == old, "a refused store changed the file");
      continue;
    }
    const std::string text = Slurp(file->name);
    Check(text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0, "a stored file does not end with end");
    Check(tbuffer == "Wrote " + std::to_string(text.size()) + " bytes to " + file->name, "the status does not tell the size");
    all += text;
  }
  return all;
}

// The bytes as "faders.txt", "prefs.txt" and "tracks.txt", split at "\n@@\n" (a missing part:
// no file), recalled and stored three times. Values are printed rounded, so the first store
// may change what a recall reads; after it the texts may not change. A reader drops one
// carriage return before a line feed, so only texts without them must come back the same.
void Files(const uint8_t* data, size_t size) {
  if (++runs % 64 == 0) ClearInternalArrays();  // else state piles up, as across recalls
  const std::string in(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  for (const char* name : {"faders.txt", "prefs.txt", "tracks.txt"}) {
    const size_t end = std::min(in.find("\n@@\n", at), in.size());
    unlink(name);
    if (at <= in.size()) {
      FILE* f = fopen(name, "wb");
      Check(f && fwrite(in.data() + at, 1, end - at, f) == end - at && fclose(f) == 0, "cannot write an input file");
    }
    at = end + 4;
  }
  RecallAndStore();
  const std::string settled = RecallAndStore();
  if (settled.find('\r') == std::string::npos) Check(RecallAndStore() == settled, "store, recall, store is not stable");
}

// The bytes (then a generator seeded from them) drive the random mix; stored and recalled over
// another, it must come back as the same tables and store the same texts.
void Mix(const uint8_t* data, size_t size) {
  for (const StoredFile* file : kMixFiles) unlink(file->name);  // no old lines to carry over
  ClearInternalArrays();
  Dice d{std::mt19937(static_cast<unsigned>(std::hash<std::string>()(std::string(data, data + size)))), data, size};
  for (int k = 0; k < 300; ++k) RandomEdit(d);
  Check(StoreFiles(kMixFiles, kMixFileCount) == nullptr, "a random mix could not be stored");
  const std::string stored = StoreTexts();
  MakeStorable();
  const std::vector<unsigned char> mix = MixImage();
  Check(StoreTexts() == stored, "what the files cannot hold changed a text");
  Dice other{std::mt19937(static_cast<unsigned>(size))};
  RandomMix(other, 50);
  RecallFiles();
  const std::string diff = FirstDifference(mix, MixImage());
  if (!diff.empty()) fprintf(stderr, "recalled with another %s\n", diff.c_str());
  Check(diff.empty(), "a stored mix recalls to other tables");
  Check(StoreTexts() == stored, "a recalled mix stores other texts");
}

}  // namespace

// The files live in a scratch directory (tmpfs when there is one, since every store syncs);
// libFuzzer's own paths may be relative, so each run returns to the working directory.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!freopen("/dev/null", "w", stdout)) return 0;  // the readers' messages; libFuzzer logs on stderr
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
  scratch = std::string(base) + "/fuzz-files-XXXXXX";
  Check(mkdtemp(&scratch[0]) != nullptr, "cannot make a scratch directory");
  home = open(".", O_RDONLY | O_DIRECTORY);
  Check(home >= 0, "cannot open the working directory");
  ClearInternalArrays();
  atexit([] { Check(system(("rm -rf '" + scratch + "'").c_str()) == 0, "cannot remove the scratch directory"); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(chdir(scratch.c_str()) == 0, "cannot enter the scratch directory");
  if (size > 0 && data[0] % 2) Mix(data + 1, size - 1);
  else Files(data + (size > 0), size - (size > 0));
  Check(fchdir(home) == 0, "cannot return to the working directory");
  return 0;
}
