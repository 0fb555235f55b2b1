// Copies of unsaved mixes kept against a crash: one folder per mix directory in the user's
// state folder, in it one folder per editor session, and the rule of which copy to offer.
#pragma once
#include <sys/types.h>

#include <cstddef>

// The lock file of a session folder, which its editor holds while it runs.
enum SessionLock { kLockHeld, kLockFree, kLockMissing };
// A directory folder's birth time against the mix directory's: unknown when either lacks
// one (a file system that does not report it, a folder of an earlier version).
enum BirthMatch { kBirthUnknown, kBirthSame, kBirthDiffers };

// Whether a directory folder is the mix directory's: the same inode and, where both birth
// times are known, the same birth time; where not, the same path as well. A new directory
// that took a removed one's inode is not it; the device may change between mounts.
bool SameDirectory(bool same_inode, BirthMatch birth, bool same_path);

// What is known of one session's copy when an editor starts in a mix directory.
struct KeptCopy {
  bool folder_safe;   // the folders holding it are real folders of this user, not links
  bool same_inode;    // its directory folder names the mix directory's inode,
  BirthMatch birth;   // birth time,
  bool same_path;     // and path
  bool same_host;     // written by an editor on this host
  SessionLock lock;
  bool pid_running;   // a process with the writer's pid runs here
  int differing;      // kept texts whose bytes differ from the mix's file on disk
};

enum CopyFate {
  kCopyLeave,   // not this directory's (SameDirectory), unsafe to touch, or its editor still runs
  kCopyOffer,   // a dead session kept edits the files lack
  kCopyRemove,  // a dead session's copy the files already hold
};

CopyFate DecideCopy(const KeptCopy& copy);

// The mix directory the editor works in: the current directory, known by what it is.
struct MixDirectory {
  dev_t dev;
  ino_t ino;
  const char* path;  // as last known; may be empty
  long long birth_ns;  // when it was made, from statx; 0 when the file system does not say
};

// The birth time of path in nanoseconds (see MixDirectory::birth_ns).
long long BirthTime(const char* path);

// The state folder: $XDG_STATE_HOME/tessaro, or ~/.local/state/tessaro when that is unset
// or not absolute. False when there is none (no HOME) or the path does not fit.
bool StateFolder(char* out, size_t size);

// Null when path is a real folder of this user (made, mode 0700, when make is set and it
// is missing); else why not, as a phrase for the status line.
const char* SafeFolder(const char* path, bool make);

// One copy offered: its session folder and when its newest text was kept.
struct OfferedCopy {
  char folder[4096];
  long long kept_ns;
};

// Looks at every session folder of the state folder: removes the dead ones the mix's files
// (in the current directory) already hold, and offers the dead ones that hold more. Returns
// how many are offered in all; offers gets the newest max of them, newest first.
int ReviewKeptCopies(const MixDirectory& dir, OfferedCopy* offers, int max);

// This editor's own session folder, made on first use (with the folders above it and the
// held lock): in the directory folder that is dir's (SameDirectory), whatever its name. The
// folder appears with its lock held: no other editor ever sees it unlocked. Null when
// ready; else why not.
const char* OpenOwnSession(const MixDirectory& dir, char* folder, size_t size);

// Writes the three texts of the tables into the folder, all three or none, each replacing
// the name by rename (never written through a link or into another name of the same file);
// lines of the current directory's files are carried over as a store would. The tables are
// left exactly as they were. Null when written, else why not.
const char* WriteRecovery(const char* folder);

// Removes a session folder: its kept texts, temporaries, lock and the folder itself.
void RemoveRecovery(const char* folder);

// Null when every kept text of the folder can be read whole; else why not ("faders.txt is
// missing", ...). Recover reads nothing unless this holds.
const char* CheckKeptTexts(const char* folder);

// Takes line 1 of a kept "faders.txt" as the mix name as it is, whatever its length.
bool AdoptKeptMixName(const char* folder);
