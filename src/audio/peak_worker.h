// The one thread that finds, reads and reduces the channels' audio files, and the lanes it
// fills. The GUI thread says which lanes it wants and takes snapshots; it never waits on a file.
#pragma once
#include <cstddef>
#include <memory>

#include "audio/peaks.h"
#include "audio/sound_file.h"

enum LaneState {
  kLaneNone,     // no file to show (not a channel, or no name)
  kLaneWaiting,  // wanted, not read yet
  kLaneReading,  // being read: percent
  kLaneReady,    // peaks
  kLaneFailed,   // reason
};

struct PeakLane {
  int state = kLaneNone;
  int percent = 0;
  char file[512] = "";  // the channel's file, once found
  char reason[kReasonSize] = "";
  std::shared_ptr<const Peaks> peaks;
};

// Starts the thread (once); notify(data) is called on it whenever a lane changes.
void StartPeakWorker(void (*notify)(void* data), void* data);
// The lanes wanted now: n slots with their channels' names, and the wave-file directory.
// Others are no longer read or checked (their peaks are kept for when they are wanted again);
// a read of one of them under way is cancelled. Wanted files are checked for changes every
// second and read again when they changed.
void WantPeaks(const int* slots, const char* const* names, int n, const char* wavdir);
// Wants nothing and cancels the read under way (within one block).
void CancelPeakWork();
// Cancels, and ends the thread; also run at exit.
void StopPeakWorker();

// A snapshot of a slot's lane.
PeakLane PeakLaneOf(int slot);
// "Reading Lead Vocal.wav: 45 %" while a file is read, else empty.
void PeakProgress(char* out, size_t size);
