// The status line text and its setter; the display is a hook the windows install.
// Messages longer than the buffer are cut, never overrun.
#include "model/status.h"

#include <cstdarg>
#include <cstdio>

char tbuffer[kStatusSize] = "Tessaro " TESSARO_VERSION " by the Tessaro developers";
void (*ShowStatusHook)() = nullptr;

void ShowStatus() {
  if (ShowStatusHook) ShowStatusHook();
}

void SetStatus(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(tbuffer, sizeof tbuffer, fmt, ap);
  va_end(ap);
  ShowStatus();
}

void ClearStatus() {
  tbuffer[0] = '\0';
  ShowStatus();
}
