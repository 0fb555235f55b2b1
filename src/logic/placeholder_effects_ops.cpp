// PLACEHOLDER effects operations until they land.
#include "logic/operations.h"
void UpdateEffectsWindows() {}
void UpdateEffects() {}
