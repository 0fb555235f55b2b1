// Command-line front of tones.cpp, for tools/make_demo_audio.sh and the end-to-end tests:
// make_tones FILE SECONDS FREQ BEAT [CHANNELS [RATE [BITS [START]]]]   (BITS 16, 24, 32, float)
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tones.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: make_tones FILE SECONDS FREQ BEAT [CHANNELS [RATE [BITS [START]]]]\n");
    return 2;
  }
  int channels = argc > 5 ? atoi(argv[5]) : 1;
  int rate = argc > 6 ? atoi(argv[6]) : 48000;
  const char* bits = argc > 7 ? argv[7] : "16";
  int subtype = strcmp(bits, "24") == 0 ? SF_FORMAT_PCM_24 : strcmp(bits, "32") == 0 ? SF_FORMAT_PCM_32
                : strcmp(bits, "float") == 0 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16;
  const char* dot = strrchr(argv[1], '.');
  int major = dot && strcmp(dot, ".flac") == 0 ? SF_FORMAT_FLAC : dot && strncmp(dot, ".aif", 4) == 0 ? SF_FORMAT_AIFF
              : SF_FORMAT_WAV;
  if (!WriteTone(argv[1], major | subtype, rate, channels, atof(argv[2]), atof(argv[3]), atof(argv[4]),
                 argc > 8 ? atof(argv[8]) : 0)) {
    fprintf(stderr, "make_tones: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
