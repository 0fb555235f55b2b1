// The editor's temporary files: named for what they become and whose they are, and swept
// when the writer that left them is no longer running.
#pragma once
#include <sys/stat.h>

#include <cstddef>

// This host's name, reduced to characters that are safe in a file name.
const char* HostName();
// Letters, digits, '.', '-' and '_': what names of the editor's own files keep as it is.
bool PlainNameChar(char c);
// Whether a process with this pid may be running on this host; a number that cannot be a
// pid, and another user's process, count as running, so nothing of it is removed. A
// process killed but not yet waited for by its parent does not.
bool ProcessRunning(long pid);
// A regular file of this user with no other name: the only kind of leftover the editor
// renames or removes (never a planted link, another's file, or another name of one).
bool OwnFile(const struct stat& st);

// Creates, exclusively and with mode 0600, this process's temporary file for dir/name:
// "dir/.NAME.tessaro-HOST-PID.tmp". Returns its descriptor and puts its path in path, or -1
// with errno set. A file of that name can only be left by a dead process that had our pid,
// so it is replaced.
int CreateTempFor(const char* dir, const char* name, char* path, size_t cap);

// The path of the temporary file that process pid of this host makes for dir/name; false
// when it does not fit cap.
bool TempPathOf(const char* dir, const char* name, long pid, char* path, size_t cap);

// The pid of the writer whose temporary file for name the directory entry is, when that
// writer is of this host and no longer running (our own pid counts as a dead namesake's:
// called only while this process has no temporary file of that name); else -1.
long DeadWriterOf(const char* entry, const char* name);

// Removes from dir the temporary files for name and for its backup "name~" left by writers
// on this host that are no longer running, where they are our own files (OwnFile). Another
// living editor's are never touched.
void SweepStaleTemps(const char* dir, const char* name);

// Creates, exclusively and with mode 0600, a file for a copy of name in the temporary
// directory ($TMPDIR, else /tmp): "tessaro-NAME-PID-XXXXXX". Never swept: after a crash it
// may be the only whole copy. Returns its descriptor and path, or -1.
int CreateCopyOutside(const char* name, char* path, size_t cap);
