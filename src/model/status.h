// The status line: its text (tbuffer), the one setter every layer uses, and the hook that
// shows it. Below the files and the windows, so neither needs the other to report.
#pragma once

constexpr int kStatusSize = 256;
extern char tbuffer[kStatusSize];

// Formats the message into tbuffer (cut to fit) and shows it.
void SetStatus(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Empties the status line.
void ClearStatus();
// Shows tbuffer again (after a window that shows it was built or refilled).
void ShowStatus();
// Shows tbuffer wherever the status line lives; installed by the windows, may be null.
extern void (*ShowStatusHook)();
