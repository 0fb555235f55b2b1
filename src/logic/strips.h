// The strips of the fader page: which slot each stands for, and a loop over a column.
// Shared by the page display and the captures so both map strips to slots the same way.
#pragma once
#include "ui/widgets.h"

// Slot a strip (1..13) stands for on the current page, or -1 when it stands for nothing
// (the group strips of banks 9..12, or a number outside 1..13).
int StripSlot(int strip);

// Calls f(strip, slot) for strips 1..10, then 11 and 12 when shown, then the master
// when the column has one.
template <class F>
void EachStrip(bool with_master, F f) {
  int last = with_master ? kStripCount : 12;
  for (int s = 1; s <= last; ++s) {
    int slot = StripSlot(s);
    if (slot >= 0) f(s, slot);
  }
}
