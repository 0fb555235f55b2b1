// libFuzzer target: arbitrary bytes as "tracks.txt", read into the tables, stored again and
// read back; nothing may crash, hang, leak or leave a name row unterminated.
#include "files/tracks_file.h"
#include "file_round_trip.h"

namespace {

void CheckTables() {
  using fuzz_file::Check;
  for (const auto& row : NameBuffer) Check(strnlen(row, kNameSize) < static_cast<size_t>(kNameSize), "name row unterminated");
  for (int s = 0; s < kSlots; ++s)
    Check((SoloArray[s] == 0 || SoloArray[s] == 1) && (MuteArray[s] == 0 || MuteArray[s] == 1),
          "a solo or mute flag is neither 0 nor 1");
  // Only regular channels come from the file.
  Check(strcmp(NameBuffer[0], "Master") == 0, "the master's name was overwritten");
  Check(strcmp(NameBuffer[kFirstSubSlot], "Submix 1") == 0, "a submix name was overwritten");
}

const FileTarget kTracks = {"tracks.txt", ReadTracksFile, WriteTracksFile, CheckTables, 1, true};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FileFuzzInit(kTracks);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FileFuzzOne(data, size);
  return 0;
}
