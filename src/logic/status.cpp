// The status line: tbuffer shown in the control window's TextResponse.
// The file layer calls this through ShowStatusHook.
#include "logic/operations.h"
#include "model/tables.h"
#include "ui/widgets.h"

void ShowStatus() {
  if (TextResponse) TextResponse->value(tbuffer);
}
