// libFuzzer target: arbitrary bytes as the old "faders.txt", recalled, carried into a store,
// recalled and stored again; nothing may crash, hang, store a torn file or leave a row open.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "file_round_trip.h"
#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "model/tables.h"

namespace {

unsigned runs;

// Recall as the editor does it, on the file in the scratch directory.
void RecallFaders() {
  if (ReadFaderFile() == 0) return;
  ParseBufferMulti(reserve_fbuff);
  ReadVolumes(reserve_fbuff);
}

void CheckTables() {
  using fuzz_file::Check;
  Check(strnlen(MixName, kNameSize) < static_cast<size_t>(kNameSize), "the mix name lost its terminator");
  for (const auto& row : NameBuffer) Check(strnlen(row, kNameSize) < static_cast<size_t>(kNameSize), "name row unterminated");
  for (const auto& row : CueNameBuffer)
    Check(strnlen(row, kCueNameSize) < static_cast<size_t>(kCueNameSize), "cue name row unterminated");
}

// Volumes and times are printed rounded, so the first store may change what a recall reads;
// from the second on the text may not change.
const FileTarget kFaders = {"faders.txt", RecallFaders, StoreFaderFile, CheckTables, 2, false};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The readers report bad records on standard output; the fuzzer's own log is on stderr.
  if (!freopen("/dev/null", "w", stdout)) return 0;
  ClearInternalArrays();
  FileFuzzInit(kFaders);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An occasional reset keeps runs fast while state from earlier inputs still piles up,
  // as it does across recalls in the editor.
  if (++runs % 64 == 0) ClearInternalArrays();
  FileFuzzOne(data, size);
  return 0;
}
