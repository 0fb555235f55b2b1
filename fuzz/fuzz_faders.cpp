// libFuzzer target: arbitrary bytes as the text of "faders.txt" through the whole recall
// path, then both sections stored again; nothing may crash, hang or leave a table or buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/textsink.h"
#include "model/tables.h"

namespace {

char text[kFBuffSize];
char stored[kFBuffSize];
unsigned runs;

void Check(bool ok) {
  if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The readers report bad records on standard output; the fuzzer's own log is on stderr.
  if (!freopen("/dev/null", "w", stdout)) return 0;
  ClearInternalArrays();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An occasional reset keeps runs fast while state from earlier inputs still piles up,
  // as it does across recalls in the editor.
  if (++runs % 64 == 0) ClearInternalArrays();
  size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
  memcpy(text, data, n);
  text[n] = '\0';
  ParseBufferMulti(text);
  ReadVolumes(text);

  stored[0] = '\0';
  TextSink sink = SinkAppendTo(stored, sizeof stored);
  AppendEffectsSection(sink);
  AppendCueSection(sink);
  Check(sink.len < sizeof stored && stored[sink.len] == '\0');
  if (!sink.overflow) Check(sink.len >= 4 && memcmp(stored + sink.len - 4, "end\n", 4) == 0);
  Check(strnlen(MixName, kNameSize) < static_cast<size_t>(kNameSize));
  for (const auto& row : NameBuffer) Check(strnlen(row, kNameSize) < static_cast<size_t>(kNameSize));
  for (const auto& row : CueNameBuffer)
    Check(strnlen(row, kCueNameSize) < static_cast<size_t>(kCueNameSize));
  return 0;
}
