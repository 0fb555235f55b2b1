// Every table of the mix: automation, effects, routing, names, preferences, status text.
// Fixed-size globals shared by the file readers, the operations and the windows.
#pragma once
#include <cstdint>

#include "model/status.h"  // tbuffer, the status text

constexpr int kSlots = 144;          // 0 master, 1..127 channels, 128..135 submixes, 136..143 VCAs
constexpr int kIndices = 512;        // time indices, shown to the user from 1
constexpr int kChannels = 127;       // regular channels
constexpr int kGroups = 8;           // submixes and VCA groups each
constexpr int kFirstSubSlot = 128;   // slot of submix 1 (SubSlot)
constexpr int kFirstVcaSlot = 136;   // slot of VCA group 1 (VcaSlot)
constexpr int kAutoSize = kSlots * kIndices;
constexpr int kFxPositions = 8;
constexpr int kFxSize = kSlots * kFxPositions;
constexpr int kAsnRows = 128;
constexpr int kAsnSize = kAsnRows * kGroups;

constexpr int kNameSize = 128;       // NameBuffer row, MixName
constexpr int kCueNameSize = 64;     // CueNameBuffer row
constexpr int kPathSize = 256;       // Path, MixDirName, WavDirName, LaunchCommand
constexpr int kDeviceSize = 32;
constexpr int kFBuffSize = 262144;   // reserve_fbuff, the staging buffer of "faders.txt"
// "tracks.txt": room for every channel at its widest line ("%i %s %s\n": 3 digits, a full
// name, "off"), a carriage return on each, and "begin" and "end" lines; rounded up.
constexpr int kTracksFileSize = 32768;
static_assert(kTracksFileSize > kChannels * (3 + 1 + (kNameSize - 1) + 1 + 3 + 2) + 7 + 5,
              "the largest tracks.txt fits its buffer");
// "prefs.txt": every preference at its widest (about 2 KiB) and at least 12 KiB carried over.
constexpr int kPrefsFileSize = 16384;

// Slot of submix n and of VCA group n, n = 1..8.
constexpr int SubSlot(int n) { return kFirstSubSlot - 1 + n; }
constexpr int VcaSlot(int n) { return kFirstVcaSlot - 1 + n; }

// The range of the volume spinners, in dB: what an edit may store as a volume.
constexpr double kVolumeLowest = -144;
constexpr double kVolumeHighest = 12;

// The faders window's page: 12 banks of 10 channels (reaching channel 120) and 13 strips.
constexpr int kBanks = 12;
constexpr int kBankChannels = 10;
constexpr int kBankStrips = 13;
// Slot that strip 1..13 stands for in bank 1..12: channels on strips 1..10, submix and VCA
// group `bank` on 11 and 12 (banks 1..8 only), the master on 13; -1 for no slot.
constexpr int BankStripSlot(int bank, int strip) {
  if (bank < 1 || bank > kBanks) return -1;
  if (strip >= 1 && strip <= kBankChannels) return (bank - 1) * kBankChannels + strip;
  if (strip == 11) return bank <= kGroups ? SubSlot(bank) : -1;
  if (strip == 12) return bank <= kGroups ? VcaSlot(bank) : -1;
  if (strip == kBankStrips) return 0;
  return -1;
}

// Element of a per-slot-and-index table.
inline int AutoAt(int slot, int index) { return slot * kIndices + index; }

// Automation, element = slot * 512 + index.
extern float Volume[kAutoSize];
extern float Offset[kAutoSize];
extern float Ramp[kAutoSize];
extern float Shape[kAutoSize];
extern int32_t ChanActive[kAutoSize];

// Per time index.
extern float IndexMin[kIndices];
extern float IndexSec[kIndices];
extern float IndexMsec[kIndices];
extern int32_t IndexActiveArray[kIndices];
extern char CueNameBuffer[kIndices][kCueNameSize];

// Per slot.
extern float Pan[kSlots];
extern int32_t MuteArray[kSlots];
extern int32_t SoloArray[kSlots];
extern char NameBuffer[kSlots][kNameSize];

// Routing, element = (channel - 1) * 8 + (group - 1).
extern int32_t SubAsn[kAsnSize];
extern int32_t VcaAsn[kAsnSize];
extern int32_t SubOn[kGroups];
extern int32_t VcaOn[kGroups];

// Effect records, element = slot * 8 + position; position 0 is the on flag.
extern float Pcomp[kFxSize];
extern float Prms[kFxSize];
extern float Pnlc[kFxSize];
extern float Plim[kFxSize];
extern float Pfxg[kFxSize];
extern float Pband1[kFxSize];
extern float Pband2[kFxSize];
extern float Phshelf[kFxSize];
extern float Plshelf[kFxSize];
extern float Php[kFxSize];
extern float Prev[kFxSize];
extern float Ptrev[kFxSize];

// The one shared reverb.
extern float Prtn[2];
extern float Ptrtn[3];
extern float Prhp[2];
extern float Prlp[2];
extern float Prev_width[1];
extern float Prev_position[3];

extern int32_t CNL;  // slot shown by the effects window

// Preferences.
extern char MixName[kNameSize];
extern char Path[kPathSize];
extern char MixDirName[kPathSize];
extern char WavDirName[kPathSize];
extern char LaunchCommand[kPathSize];
extern char DeviceName[kDeviceSize];
extern uint8_t PreviewOn;
extern int32_t monoOn;
extern float PreviewArray[4];
extern float XinArray[3];
extern float XoutArray[3];
extern float HeadTailArray[2];
extern int32_t OutbitsStore;
extern float PanlawStore;
extern int32_t DitherBits;
extern int32_t color;
extern int32_t BrowseNumber;

// Text buffers.
extern char reserve_fbuff[kFBuffSize];
extern const char unav[14];

// Puts every table into its start-up state; run once, before any window exists.
void ClearInternalArrays();

// A recall is a load, not an overlay: before a file is read, the tables it stores go back to
// the state in which a store writes nothing for them (the start-up state, except that no
// index is active and no pan law is set, since the file says so when there are).
void ResetFaderTables();   // automation, indices, cue names, pan, effects, reverb, routing, groups
void ResetTracksTables();  // names, solo and mute of channels 1..127
void ResetPrefsTables();   // every preference "prefs.txt" writes
