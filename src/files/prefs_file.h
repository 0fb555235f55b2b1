// "prefs.txt": render preferences, one key per line, unknown lines carried over.
#pragma once
#include <cstddef>

#include "disk/stored_file.h"

// Builds the text a store writes (the preferences, the old file's unknown lines, "end")
// into text, cap bytes. Reads the old file, writes none.
TextBuild BuildPrefsText(char* text, size_t cap, size_t* len);
// The file for a store, with its own text buffer.
extern const StoredFile kPrefsStore;

// Writes the file from the tables (carrying over unknown lines of the old one) and sets
// the status line. True when the file was written.
bool WritePreferencesFile();
// Reads the file into the tables; silent when it cannot be opened. Calls PrefsReadHook
// afterwards whenever the file was read.
void ReadPreferencesFile();
// Reads size bytes of the file's text into the tables, listing every line it refuses or
// cannot read fully, a missing "end" and text after it. The engine judges the file with it.
void ReadPrefsText(const char* text, size_t size);
// Reduces the text of the previous file, in place, to the lines to carry over.
void ScrubPrefs(char* text);
// Refresh run after a read (the preferences window); installed by the windows.
extern void (*PrefsReadHook)();
