// "tracks.txt": channel names with their solo and mute state, one line per channel.
#pragma once

// Writes the file from the tables and sets the status line. True when it was written.
bool WriteTracksFile();
// Reads the file into the tables; silent when it cannot be opened. Calls TracksReadHook
// afterwards whenever the file was opened.
void ReadTracksFile();
// Refresh run after a read (names, solos, mutes); installed by the windows.
extern void (*TracksReadHook)();
