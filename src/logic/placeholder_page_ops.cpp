// PLACEHOLDER fader page operations until they land.
#include "logic/operations.h"
#include "model/numeric.h"
#include "ui/widgets.h"
int PageBankBase() { return (TruncInt(Bank->value()) - 1) * 10; }
int PageIndex() { int i = TruncInt(TimeIndex->value() - 1); return i < 0 ? 0 : i > 511 ? 511 : i; }
int PageGroupSlot() { return TruncInt(Bank->value()) + 127; }
void StageVolZodirUpdate() {} void UpdateDisplayNumbers() {} void UpdateNames() {} void UpdateSolos() {}
void UpdateMutes() {} void UpdateVolumes() {} void UpdateOffset() {} void UpdateRamp() {} void UpdateShape() {}
void UpdatePan() {} void UpdateChannelActive() {} void UpdateMixName() {}
