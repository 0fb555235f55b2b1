// PLACEHOLDER routing and preferences operations until they land.
#include "logic/operations.h"
void UpdateSubmix() {}
void UpdateVCA() {}
void UpdatePreferences() {}
