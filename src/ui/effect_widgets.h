// The two widget kinds of the effects and reverb windows: a lit round on/off switch and a
// horizontal slider that stores on release. Both windows build theirs through these.
#pragma once
#include <FL/Fl_Button.H>
#include <FL/Fl_Value_Slider.H>

Fl_Button* EffectSwitch(int x, int y, int h, const char* label, Fl_Callback* cb);
Fl_Value_Slider* EffectSlider(int x, int y, const char* label, double low, double high, double step,
                              double value, Fl_Callback* cb);
