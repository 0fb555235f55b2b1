// Adapters that let a widget or menu item call a parameterless operation directly:
// widget->callback(Cb<Mix>). No user data, no casts.
#pragma once
#include <FL/Fl_Widget.H>

#include "logic/mix_runner.h"

template <void (*Op)()>
void Cb(Fl_Widget*, void*) {
  Op();
}

// For the strip operations that take their strip (or target) number.
template <void (*Op)(int), int N>
void CbN(Fl_Widget*, void*) {
  Op(N);
}

// For the Store and Recall menu items: refused while the engine mixes from those files.
template <auto Op>
void CbUnlessMixing(Fl_Widget*, void*) {
  if (!RefuseWhileMixing()) Op();
}
