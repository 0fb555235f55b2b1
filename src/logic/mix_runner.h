// The engine as a child process watched from the event loop: started without a shell, its
// output in "brennic.log", its progress and its end on the status line, stoppable.
#pragma once

// True while the engine started by StartMix has not ended (an end found here is reported).
bool MixRunning();
// Starts program (a path FindEngine gave) with no arguments in the current directory,
// standard output and error to "brennic.log", and returns at once. The status line then
// counts "Mixing... N s" every second until the end is reported. With missing set, program
// (the command) was not found: that is reported as a start that failed.
void StartMix(const char* program, int missing = 0);
// Asks a running engine to stop: SIGTERM now, SIGKILL 3 s later if it is still there.
void StopMix();
// Stops a running engine and waits until it has ended.
void StopMixAndWait();
// While the engine runs: "Mix running" on the status line, and true.
bool RefuseWhileMixing();
// Mix pressed while the engine runs: says "Mix running" and asks whether to stop it.
void AskStopMix();
// Quitting: when the engine runs, asks whether to stop it; false when the user keeps it.
bool StopMixBeforeQuit();
