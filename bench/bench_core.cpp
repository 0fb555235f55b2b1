// Speed of the core's hot paths on a maximal mix (recall, store, page reads, index moves),
// each beside a floor: the least work any correct implementation of the same job must do.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/textsink.h"
#include "model/index_moves.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

std::string mixText;      // the maximal mix as "faders.txt"
int activeEntries = 0;    // automation entries in it
std::string scratchDir;   // where the benchmarks write their files
int outFd = -1;           // the file both store variants write to

// ---- The maximal mix -------------------------------------------------------------------

// Everything but the automation entries: routing, names, effects on every slot, reverb,
// pan, submix state, every index active with a time and a cue name.
void FillFixedTables() {
  ClearInternalArrays();
  CopyText(MixName, "Benchmark Mix");
  for (int c = 1; c <= kChannels; ++c) {
    snprintf(NameBuffer[c], kNameSize, "/home/mix/wav/track_%03d.wav", c);
    SubAsn[(c - 1) * kGroups + (c - 1) % kGroups] = 1;
    VcaAsn[(c - 1) * kGroups + (c + 3) % kGroups] = 1;
  }
  for (int g = 0; g < kGroups; ++g) {
    SubOn[g] = 1;
    VcaOn[g] = 1;
    MuteArray[kFirstSubSlot + g] = g % 2;
    SoloArray[kFirstSubSlot + g] = g % 3 == 0;
  }
  float* effects[] = {Pcomp, Prms, Pnlc, Plim, Pfxg, Pband1, Pband2, Phshelf, Plshelf, Php, Prev, Ptrev};
  for (float* table : effects)
    for (int s = 0; s < kFirstVcaSlot; ++s) {
      table[s * kFxPositions] = 1.0f;
      for (int p = 1; p < kFxPositions; ++p) table[s * kFxPositions + p] = -12.5f + static_cast<float>((s * 7 + p * 3) % 40);
    }
  Prtn[0] = -6.0f;
  Prtn[1] = -3.0f;
  Ptrtn[0] = -9.0f;
  Ptrtn[1] = 1.5f;
  Ptrtn[2] = 0.5f;
  Prhp[0] = Prlp[0] = 1.0f;
  Prhp[1] = 80.0f;
  Prlp[1] = 12000.0f;
  Prev_width[0] = 80.0f;
  for (int k = 0; k < 3; ++k) Prev_position[k] = static_cast<float>(10 * k);
  for (int s = 0; s < kSlots; ++s) Pan[s] = static_cast<float>(s % 61 - 30);
  Pan[0] = 5.0f;
  for (int i = 0; i < kIndices; ++i) {
    IndexActiveArray[i] = 1;
    IndexMin[i] = static_cast<float>(i / 60);
    IndexSec[i] = static_cast<float>(i % 60) + 0.25f;
    IndexMsec[i] = static_cast<float>(i % 1000);
    snprintf(CueNameBuffer[i], kCueNameSize, "cue %d", i + 1);
  }
}

// The first n automation entries of a round robin over the indices, so every index gets
// about the same number of channels; each entry has a volume, offset, ramp and shape.
void SetEntries(int n) {
  memset(ChanActive, 0, sizeof ChanActive);
  for (int k = 0; k < n; ++k) {
    int index = k % kIndices;
    int slot = (k / kIndices + index) % kSlots;
    int e = AutoAt(slot, index);
    ChanActive[e] = 1;
    Volume[e] = -0.25f * static_cast<float>((k * 13) % 200);
    Offset[e] = 0.125f * static_cast<float>(k % 9);
    Ramp[e] = 0.5f + static_cast<float>(k % 4);
    Shape[e] = 2.0f;
  }
}

std::string Compose() {
  static char big[4 * kFBuffSize];
  snprintf(big, sizeof big, "%s\n", MixName);
  TextSink sink = SinkAppendTo(big, sizeof big);
  AppendEffectsSection(sink);
  AppendCueSection(sink);
  return std::string(big, sink.len);
}

// The largest mix whose file still fits the staging buffer (terminator included).
void BuildMaximalMix() {
  FillFixedTables();
  int lo = 0, hi = kSlots * kIndices;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    SetEntries(mid);
    if (Compose().size() <= static_cast<size_t>(kFBuffSize - 1))
      lo = mid;
    else
      hi = mid - 1;
  }
  activeEntries = lo;
  SetEntries(lo);
  mixText = Compose();
}

// Every benchmark starts from the maximal mix, whatever ran before it.
void ResetMix() {
  FillFixedTables();
  SetEntries(activeEntries);
}

// ---- Floors ------------------------------------------------------------------------------

// Recall floor: one pass over the text converting every numeric field with strtod.
double ConvertEveryNumber(const char* text, const char* end) {
  double sum = 0;
  const char* p = text;
  while (p < end) {
    if (*p != '\n' && *p != '\t') {
      char* stop;
      double v = strtod(p, &stop);
      if (stop != p) sum += v;
    }
    while (p < end && *p != '\t' && *p != '\n') ++p;
    ++p;
  }
  return sum;
}

// Store floor: every line of the file as one snprintf format with its numbers as arguments.
struct LineFormat {
  std::string format;
  double value[8];
};
std::vector<LineFormat> lineFormats;

bool IsNumber(const std::string& field, int* decimals) {
  size_t i = field[0] == '-' ? 1 : 0;
  size_t digits = 0;
  while (i < field.size() && isdigit(static_cast<unsigned char>(field[i]))) ++i, ++digits;
  *decimals = 0;
  if (i < field.size() && field[i] == '.') {
    size_t dot = ++i;
    while (i < field.size() && isdigit(static_cast<unsigned char>(field[i]))) ++i;
    *decimals = static_cast<int>(i - dot);
    if (*decimals == 0) return false;
  }
  return digits > 0 && i == field.size();
}

void BuildLineFormats() {
  lineFormats.clear();
  size_t start = 0;
  while (start < mixText.size()) {
    size_t nl = mixText.find('\n', start);
    std::string line = mixText.substr(start, nl - start);
    start = nl + 1;
    LineFormat lf = {};
    int count = 0;
    size_t f = 0;
    while (true) {
      size_t tab = line.find('\t', f);
      std::string field = line.substr(f, tab == std::string::npos ? std::string::npos : tab - f);
      int decimals;
      if (!field.empty() && count < 8 && IsNumber(field, &decimals)) {
        lf.format += "%." + std::to_string(decimals) + "f";
        lf.value[count++] = strtod(field.c_str(), nullptr);
      } else {
        for (char c : field) lf.format += c == '%' ? std::string("%%") : std::string(1, c);
      }
      if (tab == std::string::npos) break;
      lf.format += '\t';
      f = tab + 1;
    }
    lf.format += '\n';
    lineFormats.push_back(lf);
  }
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
size_t FormatEveryLine(char* buf, size_t cap) {
  size_t len = 0;
  for (const LineFormat& lf : lineFormats) {
    const double* v = lf.value;
    int n = snprintf(buf + len, cap - len, lf.format.c_str(), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    if (n < 0 || static_cast<size_t>(n) >= cap - len) break;
    len += static_cast<size_t>(n);
  }
  return len;
}
#pragma GCC diagnostic pop

// The one write both store variants end with: the whole text at the start of one file.
void WriteOnce(const char* buf, size_t len) {
  if (pwrite(outFd, buf, len, 0) != static_cast<ssize_t>(len)) abort();
}

// ---- Benchmarks --------------------------------------------------------------------------

void BM_Recall(benchmark::State& state) {
  ResetMix();
  memcpy(reserve_fbuff, mixText.c_str(), mixText.size() + 1);
  for (auto _ : state) {
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mixText.size()));
}
BENCHMARK(BM_Recall)->Unit(benchmark::kMicrosecond);

void BM_RecallFloor(benchmark::State& state) {
  const char* text = mixText.c_str();
  for (auto _ : state) benchmark::DoNotOptimize(ConvertEveryNumber(text, text + mixText.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mixText.size()));
}
BENCHMARK(BM_RecallFloor)->Unit(benchmark::kMicrosecond);

void BM_Store(benchmark::State& state) {
  ResetMix();
  size_t len = 0;
  for (auto _ : state) {
    snprintf(reserve_fbuff, sizeof reserve_fbuff, "%s\n", MixName);
    TextSink sink = SinkAppendTo(reserve_fbuff, sizeof reserve_fbuff);
    AppendEffectsSection(sink);
    AppendCueSection(sink);
    WriteOnce(reserve_fbuff, sink.len);
    len = sink.len;
  }
  if (len != mixText.size()) state.SkipWithError("the store did not build the whole mix");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mixText.size()));
}
BENCHMARK(BM_Store)->Unit(benchmark::kMicrosecond);

void BM_StoreFloor(benchmark::State& state) {
  static char buf[kFBuffSize];
  size_t len = 0;
  for (auto _ : state) {
    len = FormatEveryLine(buf, sizeof buf);
    WriteOnce(buf, len);
  }
  if (std::string(buf, len) != mixText) state.SkipWithError("the floor did not format the same text");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mixText.size()));
}
BENCHMARK(BM_StoreFloor)->Unit(benchmark::kMicrosecond);

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

// For reference, the whole commands as the editor runs them on disk: read the file, then
// parse; read the old file, carry over, build, and the safe write (sync and rename).
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

void BM_StoreFaderFile(benchmark::State& state) {
  ResetMix();
  bool ok = true;
  for (auto _ : state) ok = StoreFaderFile() && ok;
  if (!ok) state.SkipWithError(tbuffer);
}
BENCHMARK(BM_StoreFaderFile)->Unit(benchmark::kMicrosecond);

// ---- Summary -----------------------------------------------------------------------------

// Keeps each benchmark's time (the median when repeated) for the ratios printed at the end.
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
      double us = r.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
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

void Ratio(const SummaryReporter& rep, const char* what, const char* bm, const char* floor, double target) {
  double t = rep.Get(bm), f = rep.Get(floor);
  if (t < 0 || f <= 0) return;
  printf("%-8s %9.1f us  floor %9.1f us  ratio %.2fx  (target <= %.0fx: %s)\n", what, t, f, t / f, target,
         t / f <= target ? "met" : "MISSED");
}

void Limit(const SummaryReporter& rep, const char* what, const char* bm, double limitUs) {
  double t = rep.Get(bm);
  if (t < 0) return;
  printf("%-8s %9.2f us  (target < %.0f us: %s)\n", what, t, limitUs, t < limitUs ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  char dir[] = "/tmp/tessaro-bench-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) {
    perror("scratch directory");
    return 1;
  }
  scratchDir = dir;
  BuildMaximalMix();
  BuildLineFormats();
  outFd = open("written.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  FILE* f = fopen("faders.txt", "wb");
  if (outFd < 0 || !f || fwrite(mixText.data(), 1, mixText.size(), f) != mixText.size()) return 1;
  fclose(f);

  benchmark::Initialize(&argc, argv);
  printf("maximal mix: faders.txt of %zu bytes (limit %d), %d automation entries over %d indices\n",
         mixText.size(), kFBuffSize - 1, activeEntries, kIndices);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  printf("\nsummary (times are medians when repeated)\n");
  Ratio(reporter, "recall", "BM_Recall", "BM_RecallFloor", 3);
  Ratio(reporter, "store", "BM_Store", "BM_StoreFloor", 2);
  Limit(reporter, "insert", "BM_InsertIndex", 1000);
  Limit(reporter, "remove", "BM_RemoveIndex", 1000);
  Limit(reporter, "page", "BM_PageReads", 50);

  close(outFd);
  std::string cleanup = "rm -rf '" + scratchDir + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
