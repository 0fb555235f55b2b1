// Peaks of generated files beside libsndfile's floor, their cache reopened, a cancel's delay,
// their memory, and ffmpeg's showwavespic when it is installed (see run_benchmarks.sh).
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/peak_cache.h"
#include "cpu_pairs.h"
#include "audio/peak_worker.h"
#include "audio/read_peaks.h"
#include "tones.h"

namespace {

constexpr int kFiles = 10;
constexpr double kSeconds = 300;
constexpr int kRounds = 5;

double ThreadCpuMs() { return CpuMicros() / 1e3; }

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The floor: every frame of the file read into one block buffer, nothing done with it.
double ReadOnly(const std::string& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return 0;
  std::vector<float> buf(static_cast<size_t>(kPeakReadBlock) * info.channels);
  double sum = 0;
  while (sf_count_t n = sf_readf_float(f, buf.data(), kPeakReadBlock)) sum += buf[static_cast<size_t>(n - 1)];
  sf_close(f);
  return sum;
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/tessaro-bench-peaks-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  std::vector<std::string> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(dir + "/ch" + std::to_string(i + 1) + ".wav");
    if (!WriteTone(files.back().c_str(), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1, kSeconds, 110.0 * (i + 1), 0.5)) return 1;
  }
  for (const std::string& f : files) ReadOnly(f);  // into the page cache

  std::vector<double> floor_ms, build_ms;
  PeakControl none{nullptr, nullptr, nullptr, nullptr, 0};
  for (int r = 0; r < kRounds; ++r) {
    double t = ThreadCpuMs();
    for (const std::string& f : files) ReadOnly(f);
    floor_ms.push_back(ThreadCpuMs() - t);
    t = ThreadCpuMs();
    for (const std::string& f : files) {
      Peaks p;
      char why[kReasonSize];
      if (ReadPeaks(f.c_str(), none, &p, why, sizeof why) != kPeaksBuilt) return 1;
    }
    build_ms.push_back(ThreadCpuMs() - t);
  }

  // The cache: written once, then every file reopened from it (wall time, all ten together).
  const std::string cache = dir + "/cache";
  mkdir(cache.c_str(), 0700);
  PeakControl cached{nullptr, nullptr, nullptr, cache.c_str(), kPeakCacheLimit};
  std::vector<double> reopen_ms;
  for (int r = 0; r <= kRounds; ++r) {
    double t = WallMs();
    for (const std::string& f : files) {
      Peaks p;
      char why[kReasonSize];
      if (ReadPeaks(f.c_str(), cached, &p, why, sizeof why) != (r == 0 ? kPeaksBuilt : kPeaksCached)) return 1;
    }
    if (r > 0) reopen_ms.push_back(WallMs() - t);
  }

  // A cancel: from CancelPeakWork, a fifth of the way into a file (no cache), to the worker
  // idle; a round whose file was read to the end before the cancel is not counted.
  setenv("XDG_CACHE_HOME", (dir + "/xdg").c_str(), 1);
  StartPeakWorker(nullptr, nullptr);
  std::vector<double> cancel_ms;
  for (int r = 0; r < 2 * kRounds; ++r) {
    int slot = 1 + r;
    std::string name = files[static_cast<size_t>(r % kFiles)];
    const char* names[] = {name.c_str()};
    WantPeaks(&slot, names, 1, "");
    PeakLane lane;
    do lane = PeakLaneOf(slot);
    while (lane.state == kLaneWaiting || (lane.state == kLaneReading && lane.percent < 20));
    double t = WallMs();
    CancelPeakWork();
    char progress[300] = "x";
    while (progress[0] != '\0') PeakProgress(progress, sizeof progress);
    if (lane.state == kLaneReading && PeakLaneOf(slot).state != kLaneReady) cancel_ms.push_back(WallMs() - t);
  }
  StopPeakWorker();

  const int64_t ten_minutes = 600 * 48000;
  double mib = 127.0 * PeakBytes(ten_minutes) / 1048576.0;
  double floor = Median(floor_ms), build = Median(build_ms);
  printf("peaks: %d mono files of %.0f s, 48 kHz, 24-bit WAV from the page cache; CPU time, medians of %d rounds\n",
         kFiles, kSeconds, kRounds);
  printf("peak build       %8.1f ms   floor (libsndfile reading the same frames) %8.1f ms   %.2fx  (target <= 1.25x: %s)\n",
         build, floor, build / floor, build <= 1.25 * floor ? "met" : "NOT met");
  printf("cache reopen     %8.1f ms   all %d files, wall time                   (target <= 50 ms: %s)\n",
         Median(reopen_ms), kFiles, Median(reopen_ms) <= 50 ? "met" : "NOT met");
  if (cancel_ms.empty()) cancel_ms.push_back(NAN);
  const double worst = *std::max_element(cancel_ms.begin(), cancel_ms.end());
  printf("cancel           %8.2f ms   from CancelPeakWork to the worker idle, worst of %zu: %.2f ms (target <= 100 ms: %s)\n",
         Median(cancel_ms), cancel_ms.size(), worst, worst <= 100 ? "met" : "NOT met");
  printf("memory           %8.1f MiB  peaks of 127 channels x 10 min at 48 kHz, %d levels (target <= 96 MiB: %s)\n",
         mib, kPeakLevels, mib <= 96 ? "met" : "NOT met");
  if (system("command -v ffmpeg >/dev/null 2>&1") == 0) {
    double t = WallMs();
    for (const std::string& f : files) {
      std::string cmd = "ffmpeg -v error -y -i '" + f + "' -filter_complex showwavespic=s=1000x200 -frames:v 1 '" + dir + "/w.png'";
      if (system(cmd.c_str()) != 0) break;
    }
    printf("ffmpeg           %8.1f ms   showwavespic of the same files, wall time, one round\n", WallMs() - t);
  } else {
    printf("ffmpeg           not installed: no comparison\n");
  }
  std::string rm = "rm -rf '" + dir + "'";
  return system(rm.c_str()) == 0 ? 0 : 1;
}
