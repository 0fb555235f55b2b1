// The worker: a loop over the wanted lanes under one mutex, which is never held while a
// file is touched, and a cancel flag the reader checks between blocks.
#include "audio/peak_worker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "audio/channel_file.h"
#include "audio/peak_cache.h"
#include "audio/read_peaks.h"
#include "model/tables.h"

namespace {

struct Wanted {
  bool on = false;    // wanted now
  bool done = false;  // lane holds the outcome for name, wavdir and stamp
  char name[kNameSize] = "";
  char wavdir[kPathSize] = "";
  uint64_t stamp = 0;  // ChannelFilesStamp when last read
  PeakLane lane;
};

std::mutex mu;
std::condition_variable wake;
std::thread worker;
bool stopping = false;
std::atomic<bool> cancel{false};
int reading = -1;  // slot under way
Wanted lanes[kSlots];
void (*notify)(void*) = nullptr;
void* notify_data = nullptr;

void Notify() {
  if (notify) notify(notify_data);
}

void Progress(void* data, int percent) {
  {
    std::lock_guard<std::mutex> lock(mu);
    lanes[*static_cast<int*>(data)].lane.percent = percent;
  }
  Notify();
}

// Marks the wanted lanes whose candidate files changed since they were read: stats only.
void Recheck(std::unique_lock<std::mutex>& lock) {
  struct Check {
    int slot;
    char name[kNameSize], wavdir[kPathSize];
    uint64_t stamp;
    bool changed;
  };
  static Check checks[kSlots];
  int n = 0;
  for (int s = 0; s < kSlots; ++s)
    if (lanes[s].on && lanes[s].done) {
      checks[n] = Check{s, {}, {}, lanes[s].stamp, false};
      memcpy(checks[n].name, lanes[s].name, kNameSize);
      memcpy(checks[n].wavdir, lanes[s].wavdir, kPathSize);
      ++n;
    }
  lock.unlock();
  for (int i = 0; i < n; ++i) checks[i].changed = ChannelFilesStamp(checks[i].name, checks[i].wavdir) != checks[i].stamp;
  lock.lock();
  for (int i = 0; i < n; ++i) {
    Wanted& w = lanes[checks[i].slot];
    if (checks[i].changed && w.done && strcmp(w.name, checks[i].name) == 0 && strcmp(w.wavdir, checks[i].wavdir) == 0)
      w.done = false;
  }
}

// One lane: find its file, read it; the outcome is kept only if the lane is still wanted as
// it was.
void Work(std::unique_lock<std::mutex>& lock, int slot, const char* cache_dir) {
  Wanted& w = lanes[slot];
  char name[kNameSize], wavdir[kPathSize];
  memcpy(name, w.name, sizeof name);
  memcpy(wavdir, w.wavdir, sizeof wavdir);
  reading = slot;
  cancel = false;
  lock.unlock();

  PeakLane lane;
  uint64_t stamp = ChannelFilesStamp(name, wavdir);
  int found = ChannelAudioFile(slot, name, wavdir, lane.file, sizeof lane.file, lane.reason, sizeof lane.reason);
  lane.state = found == kNoChannelFile ? kLaneNone : kLaneFailed;
  bool cancelled = false;
  if (found == kChannelFileFound) {
    {
      std::lock_guard<std::mutex> g(mu);
      memcpy(w.lane.file, lane.file, sizeof lane.file);
      w.lane.state = kLaneReading;
      w.lane.percent = 0;
    }
    Notify();
    auto peaks = std::make_shared<Peaks>();
    PeakControl c{&cancel, Progress, &slot, cache_dir, kPeakCacheLimit};
    PeakOutcome r = ReadPeaks(lane.file, c, peaks.get(), lane.reason, sizeof lane.reason);
    cancelled = r == kPeaksCancelled;
    if (r == kPeaksBuilt || r == kPeaksCached) {
      lane.state = kLaneReady;
      lane.peaks = std::move(peaks);
    }
  }

  lock.lock();
  reading = -1;
  if (cancelled || !w.on || strcmp(w.name, name) != 0 || strcmp(w.wavdir, wavdir) != 0) {
    w.lane.state = kLaneWaiting;
    return;
  }
  w.lane = lane;
  w.stamp = stamp;
  w.done = true;
}

void Run() {
  char cache_dir[kPathSize + 64];
  bool cached = PeakCacheDir(cache_dir, sizeof cache_dir);
  std::unique_lock<std::mutex> lock(mu);
  auto next_check = std::chrono::steady_clock::now();
  while (!stopping) {
    int slot = -1;
    for (int s = 0; s < kSlots && slot < 0; ++s)
      if (lanes[s].on && !lanes[s].done) slot = s;
    if (slot >= 0) {
      Work(lock, slot, cached ? cache_dir : nullptr);
      lock.unlock();
      Notify();
      lock.lock();
    } else if (std::chrono::steady_clock::now() >= next_check) {
      Recheck(lock);
      next_check = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    } else {
      wake.wait_until(lock, next_check);
    }
  }
}

}  // namespace

void StartPeakWorker(void (*fn)(void* data), void* data) {
  std::lock_guard<std::mutex> lock(mu);
  if (worker.joinable()) return;
  notify = fn;
  notify_data = data;
  stopping = false;
  worker = std::thread(Run);
  static bool registered = false;
  if (!registered) atexit(StopPeakWorker);
  registered = true;
}

void WantPeaks(const int* slots, const char* const* names, int n, const char* wavdir_given) {
  // Made absolute here, on the caller's thread: the current directory is the caller's.
  char wavdir[kPathSize] = "";
  char here[kPathSize];
  if (wavdir_given[0] == '/' || !getcwd(here, sizeof here)) snprintf(wavdir, sizeof wavdir, "%s", wavdir_given);
  else if (snprintf(wavdir, sizeof wavdir, "%s/%s", here, wavdir_given) >= static_cast<int>(sizeof wavdir)) wavdir[0] = '\0';
  std::lock_guard<std::mutex> lock(mu);
  bool was[kSlots];
  for (int s = 0; s < kSlots; ++s) {
    was[s] = lanes[s].on;
    lanes[s].on = false;
  }
  for (int i = 0; i < n; ++i) {
    if (slots[i] < 0 || slots[i] >= kSlots) continue;
    Wanted& w = lanes[slots[i]];
    w.on = true;
    if (strcmp(w.name, names[i]) == 0 && strcmp(w.wavdir, wavdir) == 0 && (w.done || was[slots[i]])) continue;
    snprintf(w.name, sizeof w.name, "%s", names[i]);
    snprintf(w.wavdir, sizeof w.wavdir, "%s", wavdir);
    w.done = false;
    w.lane = PeakLane();
    w.lane.state = kLaneWaiting;
    if (slots[i] == reading) cancel = true;
  }
  if (reading >= 0 && !lanes[reading].on) cancel = true;
  wake.notify_all();
}

void CancelPeakWork() { WantPeaks(nullptr, nullptr, 0, ""); }

void StopPeakWorker() {
  {
    std::lock_guard<std::mutex> lock(mu);
    stopping = true;
    cancel = true;
    for (Wanted& w : lanes) w.on = false;
    wake.notify_all();
  }
  if (worker.joinable()) worker.join();
}

PeakLane PeakLaneOf(int slot) {
  std::lock_guard<std::mutex> lock(mu);
  return slot >= 0 && slot < kSlots ? lanes[slot].lane : PeakLane();
}

void PeakProgress(char* out, size_t size) {
  std::lock_guard<std::mutex> lock(mu);
  out[0] = '\0';
  if (reading < 0 || lanes[reading].lane.state != kLaneReading) return;
  const char* file = lanes[reading].lane.file;
  const char* base = strrchr(file, '/');
  snprintf(out, size, "Reading %s: %d %%", base ? base + 1 : file, lanes[reading].lane.percent);
}
