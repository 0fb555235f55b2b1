// PLACEHOLDER until the preferences file lands.
#include "files/prefs_file.h"
void (*PrefsReadHook)() = nullptr;
bool WritePreferencesFile() { return true; }
void ReadPreferencesFile() {}
void ScrubPrefs(char*) {}
