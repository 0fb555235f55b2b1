// The status line text (tbuffer) and the hook that shows it in the control window.
// The file layer sets messages here without knowing about any window.
#pragma once

// Formats the message into tbuffer (cut to fit) and shows it.
void SetStatus(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Empties the status line.
void ClearStatus();
// Shows tbuffer wherever the status line lives; installed by the windows, may be null.
extern void (*ShowStatusHook)();
