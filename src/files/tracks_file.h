// "tracks.txt": channel names with their solo and mute state, one line per channel.
#pragma once
#include <cstddef>

#include "disk/stored_file.h"

// Builds the text a store writes into text, cap bytes; writes no file and changes no table.
// Each unnamed channel below the last named one is written as "----", muted.
TextBuild BuildTracksText(char* text, size_t cap, size_t* len);
// The file for a store, with its own text buffer.
extern const StoredFile kTracksStore;

// Writes the file from the tables and sets the status line. True when it was written.
bool WriteTracksFile();
// Reads the file into the tables; silent when it cannot be opened. Calls TracksReadHook
// afterwards whenever the file was opened.
void ReadTracksFile();
// Reads size bytes of the file's text into the tables, listing a line that stops the reading
// (malformed, or beyond channel 127), a line without its channel number, a missing "end" and
// text after it. The engine judges the file with it.
void ReadTracksText(const char* text, size_t size);
// Refresh run after a read (names, solos, mutes); installed by the windows.
extern void (*TracksReadHook)();
