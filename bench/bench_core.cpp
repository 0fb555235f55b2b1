// Speed of the core's hot paths on a maximal mix: recall, text building and the store
// command beside their floors (the least work the same job needs), page reads, index moves,
// and recording and undoing edits in the undo history.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cpu_pairs.h"
#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/problems.h"
#include "files/textsink.h"
#include "maximal_mix.h"
#include "model/history.h"
#include "model/index_moves.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

std::string mixText;     // the maximal mix as "faders.txt"
std::string scratchDir;  // where the benchmarks write their files

// ---- Floors ------------------------------------------------------------------------------

// Fields of the file for the floors: runs between tabs, line feeds and the commas of the
// routing lists.
bool IsSeparator(char c) { return c == '\t' || c == '\n' || c == ','; }

// Recall floor: one pass over the text converting every field with std::from_chars.
double ConvertEveryNumber(const char* p, const char* end) {
  double sum = 0;
  while (p < end) {
    const char* stop = p;
    while (stop < end && !IsSeparator(*stop)) ++stop;
    double v;
    if (std::from_chars(p, stop, v).ec == std::errc()) sum += v;
    p = stop + 1;
  }
  return sum;
}

// Text floor: the text as literal runs and numbers, every number formatted with
// std::to_chars (integers as integers, the rest with their count of decimals).
struct Piece {
  const char* text;  // a literal run of the text, or nullptr for a number
  size_t len;
  double value;
  int whole;
  int decimals;  // -1 for an integer
};
std::vector<Piece> pieces;

bool IsNumber(const char* p, const char* end, int* decimals) {
  if (p < end && *p == '-') ++p;
  const char* digits = p;
  while (p < end && isdigit(static_cast<unsigned char>(*p))) ++p;
  if (p == digits) return false;
  *decimals = -1;
  if (p < end && *p == '.') {
    const char* dot = ++p;
    while (p < end && isdigit(static_cast<unsigned char>(*p))) ++p;
    *decimals = static_cast<int>(p - dot);
    if (*decimals == 0) return false;
  }
  return p == end;
}

void BuildPieces() {
  pieces.clear();
  const char* text = mixText.data();
  const char* end = text + mixText.size();
  const char* literal = text;
  for (const char* p = text; p < end;) {
    const char* stop = p;
    while (stop < end && !IsSeparator(*stop)) ++stop;
    int decimals;
    if (IsNumber(p, stop, &decimals)) {
      if (p > literal) pieces.push_back({literal, static_cast<size_t>(p - literal), 0, 0, 0});
      double v = strtod(std::string(p, stop).c_str(), nullptr);
      pieces.push_back({nullptr, 0, v, static_cast<int>(v), decimals});
      literal = stop;
    }
    p = stop + 1;
  }
  if (end > literal) pieces.push_back({literal, static_cast<size_t>(end - literal), 0, 0, 0});
}

char floorText[kFBuffSize];

size_t FormatPieces() {
  char* p = floorText;
  char* end = floorText + sizeof floorText;
  for (const Piece& piece : pieces) {
    if (piece.text) {
      memcpy(p, piece.text, piece.len);
      p += piece.len;
    } else if (piece.decimals < 0) {
      p = std::to_chars(p, end, piece.whole).ptr;
    } else {
      p = std::to_chars(p, end, piece.value, std::chars_format::fixed, piece.decimals).ptr;
    }
  }
  return static_cast<size_t>(p - floorText);
}

// Write floor: the least a safe write does: a new file, the bytes, fsync, rename over.
void BareSafeWrite(const char* data, size_t len) {
  int fd = open("floor.txt.tmp", O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0 || write(fd, data, len) != static_cast<ssize_t>(len) || fsync(fd) != 0 || close(fd) != 0 ||
      rename("floor.txt.tmp", "floor.txt") != 0)
    abort();
}

// ---- The operations beside their floors -------------------------------------------------

void Recall() {
  ParseBufferMulti(reserve_fbuff);
  ReadVolumes(reserve_fbuff);
}

// What a store builds: the mix-name line and both sections, in the staging buffer.
size_t BuildText() {
  snprintf(reserve_fbuff, sizeof reserve_fbuff, "%s\n", MixName);
  TextSink sink = SinkAppendTo(reserve_fbuff, sizeof reserve_fbuff);
  AppendEffectsSection(sink);
  AppendCueSection(sink);
  return sink.len;
}

// Prints each operation beside its floor; false when one of them did not do its whole job.
bool MeasurePairs(int rounds) {
  bool ok = true;
  printf("\npairs: CPU time, medians of %d rounds, each operation interleaved with its floor\n", rounds);
  PrintPairHeader();

  ResetMix();
  memcpy(reserve_fbuff, mixText.c_str(), mixText.size() + 1);
  const char* text = mixText.c_str();
  const char* end = text + mixText.size();
  PairTimes recall = MeasurePair(rounds, 1, Recall, [text, end] { benchmark::DoNotOptimize(ConvertEveryNumber(text, end)); });
  PrintPair("recall", "std::from_chars of every number", recall, 2);

  PairTimes build = MeasurePair(rounds, 1, BuildText, FormatPieces);
  PrintPair("text building", "std::to_chars of the same bytes", build, 2);
  if (BuildText() != mixText.size() || mixText != reserve_fbuff || std::string(floorText, FormatPieces()) != mixText) {
    printf("  the text built or its floor differs from the mix\n");
    ok = false;
  }

  PairTimes store = MeasurePair(rounds, 1, StoreFaderFile, [] { BareSafeWrite(floorText, FormatPieces()); });
  PrintPair("store command", "text floor + safe write", store, 2);
  double write = MeasureOne(rounds, 1, [] { BareSafeWrite(floorText, mixText.size()); });
  printf("%-16s %8.1f us   (new file, write, fsync, rename of the same %zu bytes)\n", "safe write", write,
         mixText.size());
  if (!FileHolds("faders.txt", mixText) || !FileHolds("floor.txt", mixText)) {
    printf("  the stored file or the floor's file differs from the mix\n");
    ok = false;
  }
  return ok;
}

// ---- Benchmarks of their own --------------------------------------------------------------

// The page refresh's table reads: 13 strips of one bank and index.
void BM_PageReads(benchmark::State& state) {
  ResetMix();
  char name[kNameSize];
  int page = 0;
  for (auto _ : state) {
    int bank = page % 12 + 1;
    int index = (page * 37) % kIndices;
    ++page;
    int base = (bank - 1) * 10;
    int slots[13];
    for (int s = 0; s < 10; ++s) slots[s] = base + s + 1;
    slots[10] = bank <= kGroups ? kFirstSubSlot - 1 + bank : -1;
    slots[11] = bank <= kGroups ? kFirstVcaSlot - 1 + bank : -1;
    slots[12] = 0;
    double sum = IndexActiveArray[index] + IndexMin[index] + IndexSec[index] + IndexMsec[index];
    CopyText(name, CueNameBuffer[index]);
    sum += name[0];
    for (int slot : slots) {
      if (slot < 0) {
        CopyText(name, unav);
      } else {
        int e = AutoAt(slot, index);
        sum += Volume[e] + Offset[e] + Ramp[e] + Shape[e] + ChanActive[e];
        sum += Pan[slot] + SoloArray[slot] + MuteArray[slot];
        CopyText(name, NameBuffer[slot]);
      }
      sum += name[0];
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_PageReads)->Unit(benchmark::kMicrosecond);

// Worst case: at index 1 every later index of every table moves.
void BM_InsertIndex(benchmark::State& state) {
  ResetMix();
  for (auto _ : state) {
    InsertIndexTables(0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InsertIndex)->Unit(benchmark::kMicrosecond);

void BM_RemoveIndex(benchmark::State& state) {
  ResetMix();
  for (auto _ : state) {
    RemoveIndexTables(0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RemoveIndex)->Unit(benchmark::kMicrosecond);

// For reference, the whole recall command as the editor runs it: read the file, then parse.
void BM_RecallFaderFile(benchmark::State& state) {
  ResetMix();
  FaderRead outcome;
  for (auto _ : state) {
    ReadFaderFileEx(&outcome);
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
  }
  if (outcome != kFaderRead) state.SkipWithError("faders.txt was not read");
}
BENCHMARK(BM_RecallFaderFile)->Unit(benchmark::kMicrosecond);

// A line with 130,000 bad channels, read as Recall All reads it: every problem printed (to
// /dev/null here) and the line listed once.
void BM_RecallOneBadLine(benchmark::State& state) {
  std::string text = "Bad line\nsub\t1\t0";
  for (int i = 1; i < 130000; ++i) text += ",0";
  text += "\nend\n";
  fflush(stdout);
  int out = dup(STDOUT_FILENO), devnull = open("/dev/null", O_WRONLY);
  dup2(devnull, STDOUT_FILENO);
  for (auto _ : state) {
    BeginProblems();
    ReadFaderText(text.c_str());
    EndProblems();
  }
  fflush(stdout);
  dup2(out, STDOUT_FILENO);
  close(out);
  close(devnull);
  if (problemTotal != 1) state.SkipWithError("the line was not listed once");
}
BENCHMARK(BM_RecallOneBadLine)->Unit(benchmark::kMicrosecond);

// ---- Undo history ------------------------------------------------------------------------

// The three edits of the maximal mix the history is measured on, each from a fresh
// history: one strip capture, an Insert at index 1, and a Recall All onto start-up tables.
enum HistoryEdit { kCapture, kInsert, kRecall };
const char* const kHistoryEditNames[] = {"capture", "insert at 1", "recall all"};

void PrepareEdit(HistoryEdit edit) {
  if (edit == kRecall)
    ClearInternalArrays();
  else
    ResetMix();
  ResetHistory();
  switch (edit) {
    case kCapture:
      Volume[AutoAt(5, 100)] = -3.5f;
      break;
    case kInsert:
      InsertIndexTables(0);
      break;
    case kRecall:
      memcpy(reserve_fbuff, mixText.c_str(), mixText.size() + 1);
      ParseBufferMulti(reserve_fbuff);
      ReadVolumes(reserve_fbuff);
      break;
  }
}

// What every event costs when it changed nothing: the tables compared with the shadow.
void BM_HistoryNoChange(benchmark::State& state) {
  ResetMix();
  ResetHistory();
  for (auto _ : state) benchmark::DoNotOptimize(RecordEdit(0, 0, 0));
}
BENCHMARK(BM_HistoryNoChange)->Unit(benchmark::kMicrosecond);

void BM_HistoryRecord(benchmark::State& state) {
  const HistoryEdit edit = static_cast<HistoryEdit>(state.range(0));
  state.SetLabel(kHistoryEditNames[edit]);
  for (auto _ : state) {
    state.PauseTiming();
    PrepareEdit(edit);
    state.ResumeTiming();
    if (!RecordEdit(0, 0, 0)) state.SkipWithError("nothing recorded");
  }
  state.counters["history_bytes"] = static_cast<double>(HistoryBytes());
}
BENCHMARK(BM_HistoryRecord)->DenseRange(kCapture, kRecall)->Unit(benchmark::kMicrosecond);

// Undo timed; the redo that brings the edit back for the next round is not.
void BM_HistoryUndo(benchmark::State& state) {
  const HistoryEdit edit = static_cast<HistoryEdit>(state.range(0));
  state.SetLabel(kHistoryEditNames[edit]);
  PrepareEdit(edit);
  RecordEdit(0, 0, 0);
  char what[kEditNameSize];
  for (auto _ : state) {
    if (!UndoEdit(what, sizeof what)) state.SkipWithError("nothing to undo");
    state.PauseTiming();
    RedoEdit(what, sizeof what);
    state.ResumeTiming();
  }
  state.counters["history_bytes"] = static_cast<double>(HistoryBytes());
}
BENCHMARK(BM_HistoryUndo)->DenseRange(kCapture, kRecall)->Unit(benchmark::kMicrosecond);


// ---- Summary -----------------------------------------------------------------------------

// Keeps each benchmark's CPU time (the median when repeated) for the limits printed at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colour only on a terminal, so figures saved to a file stay plain text.
  SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
  std::map<std::string, double> micros;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      std::string name = r.benchmark_name();
      bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type == Run::RT_Aggregate && !median) continue;
      if (median) name = r.run_name.str();
      double us = r.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                  benchmark::GetTimeUnitMultiplier(r.time_unit);
      if (median || !micros.count(name)) micros[name] = us;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Get(const char* name) const {
    auto it = micros.find(name);
    return it == micros.end() ? -1 : it->second;
  }
};

void Limit(const SummaryReporter& rep, const char* what, const char* bm, double limitUs) {
  double t = rep.Get(bm);
  if (t < 0) return;
  printf("%-16s %8.2f us   (target < %.0f us: %s)\n", what, t, limitUs, t < limitUs ? "met" : "MISSED");
}

// "--pair_rounds=N" is ours; everything else goes to Google Benchmark.
int TakeRounds(int* argc, char** argv) {
  int rounds = 101;
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    if (strncmp(argv[i], "--pair_rounds=", 14) == 0)
      rounds = atoi(argv[i] + 14);
    else
      argv[kept++] = argv[i];
  }
  *argc = kept;
  return rounds > 0 ? rounds : 1;
}

}  // namespace

int main(int argc, char** argv) {
  char dir[] = "/tmp/tessaro-bench-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) {
    perror("scratch directory");
    return 1;
  }
  scratchDir = dir;
  int rounds = TakeRounds(&argc, argv);
  MaximalMix mix = BuildMaximalMix();
  mixText = mix.text;
  BuildPieces();
  FILE* f = fopen("faders.txt", "wb");
  if (!f || fwrite(mixText.data(), 1, mixText.size(), f) != mixText.size()) return 1;
  fclose(f);

  benchmark::Initialize(&argc, argv);
  printf("maximal mix: faders.txt of %zu bytes (limit %d), %d automation entries over %d indices\n",
         mixText.size(), kFBuffSize - 1, mix.entries, kIndices);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  printf("\nsummary (CPU times)\n");
  bool ok = MeasurePairs(rounds);
  Limit(reporter, "insert", "BM_InsertIndex", 1000);
  Limit(reporter, "remove", "BM_RemoveIndex", 1000);
  Limit(reporter, "page reads", "BM_PageReads", 50);
  Limit(reporter, "one bad line", "BM_RecallOneBadLine", 500000);
  // Recording and undoing an edit must take well under a frame (16.7 ms at 60 Hz).
  const char* const history[][2] = {
      {"no change", "BM_HistoryNoChange"},    {"record capture", "BM_HistoryRecord/0"},
      {"record insert", "BM_HistoryRecord/1"}, {"record recall", "BM_HistoryRecord/2"},
      {"undo capture", "BM_HistoryUndo/0"},    {"undo insert", "BM_HistoryUndo/1"},
      {"undo recall", "BM_HistoryUndo/2"}};
  for (const auto& h : history) Limit(reporter, h[0], h[1], 4000);

  std::string cleanup = "rm -rf '" + scratchDir + "'";
  return system(cleanup.c_str()) == 0 && ok ? 0 : 1;
}
