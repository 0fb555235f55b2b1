// libFuzzer target: the input's bytes drive the random-mix generator; stored, then recalled
// over another mix, the mix must come back as the same tables and store the same texts.
#include <cstdio>
#include <cstdlib>

#include "../tests/unit/random_mix.h"
#include "file_round_trip.h"

namespace {

void NoCheck() {}
const FileTarget kMix = {"faders.txt", RecallFiles, StoreFaderFile, NoCheck, 1, true};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!freopen("/dev/null", "w", stdout)) return 0;
  FileFuzzInit(kMix);
  atexit([] {
    for (const char* f : {"/prefs.txt", "/prefs.txt~", "/tracks.txt", "/tracks.txt~"}) unlink((fuzz_file::scratch + f).c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using fuzz_file::Check;
  Check(chdir(fuzz_file::scratch.c_str()) == 0, "cannot enter the scratch directory");
  Dice d{std::mt19937(), data, size};
  RandomMix(d, static_cast<int>(size < 3200 ? size / 8 : 400));
  const std::vector<unsigned char> mix = MixImage();
  Check(StoreFiles(kMixFiles, kMixFileCount) == nullptr, "a random mix could not be stored");
  const std::string stored = StoreTexts();
  Dice other{std::mt19937(static_cast<unsigned>(size))};
  RandomMix(other, 50);
  RecallFiles();
  const std::string diff = FirstDifference(mix, MixImage());
  if (!diff.empty()) fprintf(stderr, "recalled with another %s\n", diff.c_str());
  Check(diff.empty(), "a stored mix recalls to other tables");
  Check(StoreTexts() == stored, "a recalled mix stores other texts");
  Check(fchdir(fuzz_file::home) == 0, "cannot return to the working directory");
  return 0;
}
