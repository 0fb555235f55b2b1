// The three files against random mixes (a stored mix recalls to the same tables and stores
// back byte for byte) and against the hand-written cases of tests/unit/cases.
#include <dirent.h>

#include <algorithm>
#include <functional>

#include "files/problems.h"
#include "random_mix.h"
#include "scratch_dir.h"

using MixFiles = ScratchDir;

namespace {

// Empty when the tables `edits` random edits from seed leave are stored and recalled (over
// another random mix) as what the files can hold of them; else what went wrong.
std::string RoundTrip(unsigned seed, int edits) {
  Dice d{std::mt19937(seed)};
  ClearInternalArrays();
  for (int k = 0; k < edits; ++k) RandomEdit(d);
  if (StoreFiles(kMixFiles, kMixFileCount)) return std::string("store failed: ") + tbuffer;
  const std::string stored = StoreTexts();
  MakeStorable();
  const std::vector<unsigned char> mix = MixImage();
  if (StoreTexts() != stored) return "what the files cannot hold changed a text " + TextDifference(stored, StoreTexts());
  Dice other{std::mt19937(~seed)};
  RandomMix(other, edits);
  BeginProblems();  // what the editor writes, every reader (and the engine) reads fully
  RecallFiles();
  EndProblems();
  char listed[300];
  if (problemTotal > 0) return std::string("the stored files have problems: ") + FormatProblem(problems[0], listed, sizeof listed) + " " + problems[0].text;
  const std::string diff = FirstDifference(mix, MixImage());
  if (!diff.empty()) return "recalled with another " + diff;
  return StoreTexts() == stored ? "" : "the recalled mix stores other texts " + TextDifference(stored, StoreTexts());
}

}  // namespace

TEST_F(MixFiles, StoredRandomMixesRecallToTheSameTablesAndStoreBackByteForByte) {
  int tops = 0;  // the top of each range, reached by some mix
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const int edits = seed % 4 == 0 ? 3000 : 300;
    std::string fault = RoundTrip(seed, edits);
    if (!fault.empty()) {  // shrink: the fewest edits of this seed that still fail
      int fewest = 1;
      while (RoundTrip(seed, fewest).empty()) ++fewest;
      FAIL() << "seed " << seed << " with " << fewest << " edits: " << RoundTrip(seed, fewest);
    }
    tops |= (ChanActive[AutoAt(kChannels, kIndices - 1)] << 0) | (ChanActive[AutoAt(SubSlot(kGroups), 0)] << 1) |
            (ChanActive[AutoAt(VcaSlot(kGroups), 0)] << 2) | (IndexActiveArray[kIndices - 1] << 3) |
            (SubAsn[kChannels * kGroups - 1] << 4) | (VcaAsn[kChannels * kGroups - 1] << 5) | ((NameBuffer[kChannels][0] != 0) << 6);
    for (int fx = 0; fx < kEffectKinds; ++fx)
      tops |= (EffectRecord(static_cast<EffectId>(fx), kChannels)[0] == 1 && EffectRecord(static_cast<EffectId>(fx), SubSlot(kGroups))[0] == 1) << (7 + fx);
  }
  EXPECT_EQ(tops, (1 << (7 + kEffectKinds)) - 1);
}

// A case file holds input files ("@@ faders.txt", "@@ prefs.txt", "@@ tracks.txt"; "@@ name
// -n" drops the last line feed) and, after "@@@", what the program makes of them: the read's
// standard output and status, every table value that differs from the start-up state, and the
// texts a store then writes. TESSARO_UPDATE_CASES=1 rewrites what follows "@@@".
TEST_F(MixFiles, HandWrittenCases) {
  const std::string dir = std::string(TESSARO_SOURCE_DIR) + "/tests/unit/cases/";
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr) << dir;
  while (dirent* ent = readdir(d))
    if (ent->d_name[0] != '.') names.push_back(ent->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  // Reads run from the start-up tables, so no read can lean on what an earlier case left.
  ASSERT_GE(names.size(), 10u);
  ClearInternalArrays();
  const std::vector<unsigned char> start = MixImage();
  for (const std::string& name : names) {
    const std::string text = Slurp((dir + name).c_str());
    std::string in = text.substr(0, text.find("@@@"));
    std::vector<std::string> files;
    for (const StoredFile* f : kMixFiles) std::remove(f->name), std::remove((std::string(f->name) + "~").c_str());
    for (size_t at = 0; (at = in.find("@@ ", at)) != std::string::npos;) {
      const size_t eol = in.find('\n', at), next = std::min(in.find("\n@@ ", eol), in.size() - 1);
      std::string header = in.substr(at + 3, eol - at - 3), body = in.substr(eol + 1, next - eol);
      if (header.size() > 3 && header.compare(header.size() - 3, 3, " -n") == 0)
        header.resize(header.size() - 3), body.pop_back();
      Spit(header.c_str(), body);
      files.push_back(header);
      at = next;
    }
    ClearInternalArrays();
    tbuffer[0] = '\0';
    testing::internal::CaptureStdout();
    RecallFiles();
    std::string out = in + "@@@ read\n" + testing::internal::GetCapturedStdout() + "status: " + tbuffer + "\n";
    const std::vector<unsigned char> now = MixImage();
    for (int t = 0; t < kMixTableCount; ++t) {
      const MixTable& table = kMixTables[t];
      for (size_t e = 0; e < table.size / table.element; ++e) {
        if (SameElement(t, e, now, start)) continue;
        const unsigned char* v = &now[MixImageOffset(t) + e * table.element];
        char line[400], where[64];
        DescribeElement(t, e, where, sizeof where);
        if (table.shape == kBySlotIndex) snprintf(where + strlen(where), sizeof where - strlen(where), " slot %d", static_cast<int>(e / kIndices));
        float f;
        int32_t i;
        memcpy(&f, v, sizeof f), memcpy(&i, v, sizeof i);
        if (table.kind == kTextValue) snprintf(line, sizeof line, "\"%.*s\"", static_cast<int>(table.element), v);
        else if (table.kind == kFloatValue) snprintf(line, sizeof line, "%.9g", f);
        else snprintf(line, sizeof line, "%d", table.kind == kIntValue ? i : *v);
        out += std::string(table.name) + " (" + std::to_string(t) + "[" + std::to_string(e) + "]) " + where + ": " + line + "\n";
      }
    }
    for (const std::string& file : files) {
      const StoredFile* const* stored = std::find_if(kMixFiles, kMixFiles + kMixFileCount, [&](const StoredFile* f) { return file == f->name; });
      out += "@@@ stored " + file + ": " + (StoreFile(**stored) ? Slurp(file.c_str()) : tbuffer + std::string("\n"));
      const std::string first = Slurp(file.c_str());
      EXPECT_TRUE(StoreFile(**stored) && Slurp(file.c_str()) == first) << name << ": a second store changed " << file;
    }
    if (getenv("TESSARO_UPDATE_CASES")) Spit((dir + name).c_str(), out);
    EXPECT_EQ(out, text) << name;
  }
}

// Texts too big for their buffers: the read or store is refused, said so, and no file or
// table changes. One row per buffer.
TEST_F(MixFiles, TextsBeyondTheirBuffersAreRefusedWhole) {
  const std::string prefs = "color\t5\n" + std::string(kPrefsFileSize, 'x');
  const std::string prefsFull = "pre\ton\n" + std::string(kPrefsFileSize - 20, 'n') + "\nend\n";
  const std::string tracks = "1 big +\n" + std::string(kTracksFileSize, ' ') + "\nend\n";
  const struct {
    const char* file;
    std::string old;
    std::function<bool()> act;  // false when refused
    const char* status;
  } rows[] = {
      {"prefs.txt", prefs, [] { ReadPreferencesFile(); return color != 97; }, "Could not read prefs.txt"},
      {"prefs.txt", prefs, WritePreferencesFile, "Could not read prefs.txt"},
      {"prefs.txt", prefsFull, WritePreferencesFile, "Could not write prefs.txt"},
      {"tracks.txt", tracks, [] { ReadTracksFile(); return NameBuffer[1][0] != '\0'; }, "Could not read tracks.txt"},
      {"faders.txt", "Old\n", [] {
         for (int e = 0; e < kAutoSize; ++e) ChanActive[e] = 1, Offset[e] = 1e30f;
         for (int& a : IndexActiveArray) a = 1;
         return StoreFaderFile(); }, "Could not write faders.txt"},
  };
  for (const auto& row : rows) {
    ClearInternalArrays();
    Spit(row.file, row.old);
    EXPECT_FALSE(row.act()) << row.status;
    EXPECT_STREQ(tbuffer, row.status);
    EXPECT_TRUE(Slurp(row.file) == row.old) << row.status;
  }
  // A long mix name in front of an almost full old file would not fit the staging buffer.
  memset(MixName, 'm', sizeof MixName - 1);
  MixName[sizeof MixName - 1] = '\0';
  std::string text = "x\n" + std::string(kFBuffSize - 10, 'n') + "\n";
  memcpy(reserve_fbuff, text.c_str(), text.size() + 1);
  EXPECT_FALSE(ScrubEffects(reserve_fbuff));
  EXPECT_EQ(std::string(reserve_fbuff), text);
  // A missing file is created with the mix-name line, an empty name replaced.
  ClearInternalArrays();
  std::remove("faders.txt");
  MixName[0] = '\0';
  EXPECT_EQ(ReadFaderFile(), 0);
  EXPECT_EQ(Slurp("faders.txt"), "mixFilename\n");
  EXPECT_STREQ(tbuffer, "Created new faders.txt file");
}
