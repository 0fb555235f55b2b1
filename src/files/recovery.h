// The recovery of an unsaved mix: the three files' texts, as Store All would write them,
// kept in a folder of the user's state directory, one folder per mix directory.
#pragma once
#include <cstddef>

// The recovery folder of the mix directory mix_dir (absolute):
// $XDG_STATE_HOME/tessaro/NAME, or ~/.local/state/tessaro/NAME when that is unset or not
// absolute. NAME is the directory's last component and a hash of its whole path. False
// when there is no state directory (no HOME) or the path does not fit.
bool RecoveryFolder(const char* mix_dir, char* out, size_t size);

// Writes the three texts of the tables into the folder (made if missing) with the safe
// writer, all three or none; lines of the current directory's files are carried over as a
// store would. The tables are left exactly as they were. False when a text could not be
// built or written.
bool WriteRecovery(const char* folder);

// Removes the recovery files (with their backups and stale temporary files) and the folder.
void RemoveRecovery(const char* folder);

// The folder holds all three files, and each is newer than every one of the mix's files
// in the current directory (missing ones count as older).
bool RecoveryIsNewer(const char* folder);
