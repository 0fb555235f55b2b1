// The seven window builders, the control window's show/hide operations, and the
// keyboard fixes installed once at start-up.
#pragma once

class Fl_Double_Window;

Fl_Double_Window* make_window1();  // effects
Fl_Double_Window* make_window2();  // faders
Fl_Double_Window* make_window3();  // preferences
// control (shown; with the command line, by the toolkit's rules for its own options)
Fl_Double_Window* make_window4(const char* title = "Tessaro", int argc = 0, char** argv = nullptr);
Fl_Double_Window* make_window5();  // submix matrix
Fl_Double_Window* make_window6();  // VCA matrix
Fl_Double_Window* make_window7();  // reverb
// The Timeline window, hidden; Ctrl+t / Ctrl+Shift+t show and hide it from every window.
Fl_Double_Window* make_timeline_window();
// The Problems window, hidden; a recall that found problems shows it, Ctrl+l shows it again.
Fl_Double_Window* make_problems_window();

void ShowFaders();
void HideFaders();
void ShowEffects();
void HideEffects();
void ShowReverb();
void HideReverb();
void ShowSubs();
void HideSubs();
void ShowVCAs();
void HideVCAs();
void ShowPrefs();
void HidePrefs();
void ShowTimeline();
void HideTimeline();

// Start-up: resets the tables, builds all the windows (showing the control window under
// the given title, with the toolkit's options from the command line) and fills them from
// the tables.
void BuildEditor(const char* title = "Tessaro", int argc = 0, char** argv = nullptr);

// Up/Down on a focused spinner and Ctrl shortcuts while a text field has focus.
void InstallKeyFixes();
