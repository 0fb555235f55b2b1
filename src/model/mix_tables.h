// The mix as data: every table that is part of the mix, with the word a user knows it by
// and how its elements map to slots and indices. Snapshots, comparisons and undo derive from it.
#pragma once
#include <cstddef>

// How an element's number maps to the mix.
enum TableShape {
  kBySlotIndex,     // element = slot * 512 + index (automation)
  kByIndex,         // element = index
  kBySlot,          // element = slot
  kByChannelGroup,  // element = (channel - 1) * 8 + (group - 1) (routing)
  kBySlotPosition,  // element = slot * 8 + position (effects)
  kWhole,           // one value or record for the whole mix
};

enum ValueKind { kFloatValue, kIntValue, kByteValue, kTextValue };

struct MixTable {
  const char* name;     // as the status line names it: "volume", "cue name"
  void* data;
  size_t size;          // bytes
  size_t element;       // bytes per element; a whole row for text tables
  TableShape shape;
  ValueKind kind;
  // Distance in bytes between an element and the same element one index later: the shift
  // that index edits move data by (0 when the table does not follow the index).
  size_t index_step;
};

extern const MixTable* const kMixTables;
extern const int kMixTableCount;

// Bytes of all mix tables together: the size of a snapshot.
size_t MixImageSize();
// Where table t starts in a snapshot.
size_t MixImageOffset(int t);
// Copies every mix table into image (MixImageSize() bytes), and back.
void SnapshotMix(unsigned char* image);
void RestoreMix(const unsigned char* image);

// Writes where element `element` of table t sits, as a user reads it ("index 5",
// "channel 3", "master"); empty for tables of the whole mix.
void DescribeElement(int t, size_t element, char* out, size_t size);
