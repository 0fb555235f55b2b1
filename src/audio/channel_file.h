// Which audio file a channel names, and a fingerprint of its candidates for noticing changes.
// Submixes, VCA groups and the master have none.
#pragma once
#include <cstddef>
#include <cstdint>

enum ChannelFile {
  kNoChannelFile,     // not a channel, or no name: nothing to show
  kChannelFileFound,  // path filled
  kChannelFileBad,    // path filled with the best candidate, reason says why it will not do
};

// The channel's name when that is the path of a readable audio file (absolute, or relative
// to wavdir, the wave-file directory; empty: the current directory), else the name with
// ".wav", ".aif", ".aiff" or ".flac" added, in wavdir.
ChannelFile ChannelAudioFile(int slot, const char* name, const char* wavdir, char* path, size_t cap,
                             char* reason, size_t reason_size);

// A fingerprint of every candidate file of the name (which exist, and their versions): when
// it changes, the channel's file may be another one, or another version.
uint64_t ChannelFilesStamp(const char* name, const char* wavdir);
