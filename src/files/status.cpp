// Status line text: formatting into tbuffer and handing it to the display hook.
// Messages longer than the buffer are cut, never overrun.
#include "files/status.h"

#include <cstdarg>
#include <cstdio>

#include "model/tables.h"

void (*ShowStatusHook)() = nullptr;

void SetStatus(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(tbuffer, sizeof tbuffer, fmt, ap);
  va_end(ap);
  if (ShowStatusHook) ShowStatusHook();
}

void ClearStatus() {
  tbuffer[0] = '\0';
  if (ShowStatusHook) ShowStatusHook();
}
