// The questions the editor asks, each in a modal window of its own: its answers, and which
// answer Return gives and which Escape (or closing the window) gives, said for every one.
#pragma once

struct Question {
  const char* title;
  const char* answers[3];  // by number, shown right to left; null when there are fewer
  int onReturn;            // the answer that keeps everything: nothing lost, nothing replaced
  int onEscape;
};

extern const Question kUnsavedEdits;    // quitting: Cancel, Store All and quit, Quit without storing
extern const Question kChangedOnDisk;   // a store over changed files: Cancel, Recall All, Overwrite
extern const Question kRunEngine;       // an engine from the mix directory: Cancel, Run
extern const Question kRecoverEdits;    // at start: Later, Recover, Discard
extern const Question kStopMix;         // Mix while mixing: Keep mixing, Stop the mix
extern const Question kStopMixAndQuit;  // quitting while mixing: Cancel, Stop and quit

// Asks q with the text (printf format) and waits for the answer; gives its number.
int Ask(const Question& q, const char* format, ...) __attribute__((format(printf, 2, 3)));
