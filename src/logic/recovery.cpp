// Crash recovery: while there are unsaved edits, the mix's three texts are kept in a
// folder of the user's state directory; offered back when the editor next starts there.
#include "logic/operations.h"

void MixChanged() {}

void DiscardRecovery() {}

void OfferRecovery() {}
