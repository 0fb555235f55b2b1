// Definitions of every table and the start-up reset.
// Values that start non-zero before the reset are given here as initialisers.
#include "model/tables.h"

#include <cstdio>
#include <cstring>

#include "model/effect_catalogue.h"
#include "model/text.h"

float Volume[kAutoSize];
float Offset[kAutoSize];
float Ramp[kAutoSize];
float Shape[kAutoSize];
int32_t ChanActive[kAutoSize];

float IndexMin[kIndices];
float IndexSec[kIndices];
float IndexMsec[kIndices];
int32_t IndexActiveArray[kIndices];
char CueNameBuffer[kIndices][kCueNameSize];

float Pan[kSlots];
int32_t MuteArray[kSlots];
int32_t SoloArray[kSlots];
char NameBuffer[kSlots][kNameSize];

int32_t SubAsn[kAsnSize];
int32_t VcaAsn[kAsnSize];
int32_t SubOn[kGroups];
int32_t VcaOn[kGroups];

float Pcomp[kFxSize];
float Prms[kFxSize];
float Pnlc[kFxSize];
float Plim[kFxSize];
float Pfxg[kFxSize];
float Pband1[kFxSize];
float Pband2[kFxSize];
float Phshelf[kFxSize];
float Plshelf[kFxSize];
float Php[kFxSize];
float Prev[kFxSize];
float Ptrev[kFxSize];

float Prtn[2];
float Ptrtn[3];
float Prhp[2];
float Prlp[2];
float Prev_width[1];
float Prev_position[3];

int32_t CNL = 1;

char MixName[kNameSize];
char Path[kPathSize];
char MixDirName[kPathSize];
char WavDirName[kPathSize];
char LaunchCommand[kPathSize];
char DeviceName[kDeviceSize];
uint8_t PreviewOn;
int32_t monoOn;
float PreviewArray[4];
float XinArray[3];
float XoutArray[3];
float HeadTailArray[2];
int32_t OutbitsStore;
float PanlawStore;
int32_t DitherBits;
int32_t color = 97;
int32_t BrowseNumber = 1;

char reserve_fbuff[kFBuffSize];
const char unav[14] = "(unavailable)";

namespace {

// Start-up records of one effect kind in every slot: positions 0..4, the rest 0.
void ResetEffect(const EffectKind& fx) {
  for (int slot = 0; slot < kSlots; ++slot) {
    float* r = fx.table + slot * kFxPositions;
    for (int p = 0; p < kFxPositions; ++p) r[p] = p < 5 ? fx.start[p] : 0.0f;
  }
}

template <typename T, size_t N>
void Fill(T (&table)[N], T value) {
  for (size_t i = 0; i < N; ++i) table[i] = value;
}

}  // namespace

void ResetFaderTables() {
  Prtn[0] = 0; Prtn[1] = 150;
  Ptrtn[0] = 0; Ptrtn[1] = 150; Ptrtn[2] = 5;
  Prhp[0] = 0; Prhp[1] = 150;
  Prlp[0] = 0; Prlp[1] = 7000;
  Prev_width[0] = 50;
  Prev_position[0] = 37; Prev_position[1] = 39; Prev_position[2] = 43;

  for (const EffectKind& fx : kEffectCatalogue) ResetEffect(fx);

  for (int n = 1; n <= kGroups; ++n) {
    snprintf(NameBuffer[SubSlot(n)], kNameSize, "Submix %i", n);
    snprintf(NameBuffer[VcaSlot(n)], kNameSize, "VCA %i", n);
    MuteArray[SubSlot(n)] = SoloArray[SubSlot(n)] = 0;
  }
  for (int i = 0; i < kIndices; ++i) CueNameBuffer[i][0] = '\0';

  Fill(Volume, 0.0f);
  Fill(Ramp, 0.0f);
  Fill(Shape, 1.0f);
  Fill(Offset, 0.0f);
  Fill(Pan, 0.0f);
  Fill(IndexMin, 0.0f);
  Fill(IndexSec, 0.0f);
  Fill(IndexMsec, 0.0f);
  Fill(IndexActiveArray, 0);
  Fill(ChanActive, 0);
  Fill(SubAsn, 0);
  Fill(VcaAsn, 0);
  Fill(SubOn, 0);
  Fill(VcaOn, 0);
}

void ResetTracksTables() {
  for (int c = 1; c <= kChannels; ++c) {
    NameBuffer[c][0] = '\0';
    SoloArray[c] = MuteArray[c] = 0;
  }
}

void ResetPrefsTables() {
  Path[0] = MixDirName[0] = WavDirName[0] = LaunchCommand[0] = '\0';
  PreviewOn = 0;
  monoOn = 0;
  Fill(PreviewArray, 0.0f);
  Fill(XinArray, 0.0f);
  Fill(XoutArray, 0.0f);
  Fill(HeadTailArray, 0.0f);
  OutbitsStore = 24;
  PanlawStore = 0;  // "no pan law": a file without a "pan" line must not gain one
  DitherBits = 1;
  color = 97;
}

void ClearInternalArrays() {
  CNL = 1;
  ResetFaderTables();
  ResetTracksTables();
  ResetPrefsTables();
  CopyText(NameBuffer[0], "Master");
  CopyText(MixName, "MixFilename");
  CopyText(DeviceName, "default");
  Fill(SoloArray, 0);
  Fill(MuteArray, 0);
  IndexActiveArray[0] = 1;  // a new mix has one cue point
  PanlawStore = 3.0f;
}
