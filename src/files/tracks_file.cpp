// "tracks.txt": regular channel names with their solo and mute state, one line per channel.
// A line is "number name token"; the token follows the last space, so names may hold spaces.
#include "files/tracks_file.h"

#include <cstring>

#include "disk/small_file.h"
#include "files/lines.h"
#include "files/problems.h"
#include "files/textsink.h"
#include "model/tables.h"
#include "model/text.h"

void (*TracksReadHook)() = nullptr;

namespace {

const char kTracksFile[] = "tracks.txt";

bool LineIs(const TextLine& line, const char* word) {
  size_t n = static_cast<size_t>(line.end - line.begin);
  return strlen(word) == n && memcmp(line.begin, word, n) == 0;
}

// True when the line's first space-separated token is "end".
bool LineStartsWithEnd(const TextLine& line) {
  const char* p = line.begin;
  while (p < line.end && *p == ' ') ++p;
  const char* q = p;
  while (q < line.end && *q != ' ') ++q;
  return q - p == 3 && memcmp(p, "end", 3) == 0;
}

// Where parsing starts: after the first line that is exactly "begin", else at the top.
LineScan StartOfChannels(const char* text, size_t size) {
  LineScan scan = ScanLines(text, size);
  TextLine line;
  while (NextLine(scan, line))
    if (LineIs(line, "begin")) return scan;
  return ScanLines(text, size);
}

// Applies one channel line to channel k; false when the line has no name and token.
bool ApplyLine(const TextLine& line, int k) {
  const char* first = static_cast<const char*>(memchr(line.begin, ' ', line.end - line.begin));
  if (!first) return false;
  const char* last = line.end - 1;
  while (last > first && *last != ' ') --last;
  if (last == first) return false;
  CopyTextN(NameBuffer[k], first + 1, static_cast<size_t>(last - first - 1));
  TextLine token = {last + 1, line.end};
  if (LineIs(token, "++"))
    SoloArray[k] = 1;
  else if (!LineIs(token, "+"))
    MuteArray[k] = 1;
  return true;
}

}  // namespace

TextBuild BuildTracksText(char* text, size_t cap, size_t* len) {
  *len = 0;
  // The last channel written is the highest named one, muted or not, so no name is lost.
  int last = 1;
  for (int c = 1; c <= kChannels; ++c)
    if (NameBuffer[c][0] != '\0') last = c;

  TextSink out = SinkNewText(text, cap);
  for (int c = 1; c <= last; ++c) {
    // An unnamed channel below the last named one is written as the placeholder "----",
    // muted, without touching the tables: what the strips show stays what is held.
    bool unnamed = NameBuffer[c][0] == '\0';
    const char* name = unnamed ? "----" : NameBuffer[c];
    const char* token = SoloArray[c] == 1 ? "++" : MuteArray[c] == 1 || unnamed ? "off" : "+";
    SinkPrintf(out, "%i %.*s %s\n", c, static_cast<int>(strnlen(name, kNameSize - 1)), name, token);
  }
  SinkPuts(out, "end\n");
  return BuiltText(out, len);
}

namespace {
char tracksText[kTracksFileSize];
}  // namespace

const StoredFile kTracksStore = {kTracksFile, BuildTracksText, tracksText, sizeof tracksText, nullptr};

bool WriteTracksFile() { return StoreFile(kTracksStore); }

void ReadTracksText(const char* text, size_t size) {
  LineScan scan = StartOfChannels(text, size);
  TextLine line;
  int k = 1;
  while (NextLine(scan, line)) {
    if (line.begin == line.end) continue;  // blank lines carry nothing
    if (LineStartsWithEnd(line)) return ListEnding(kTracksFile, scan, true);
    const char* stop = "Channel line needs a number, a name and a state; the lines after it are not read";
    if (k > kChannels) stop = "More than 127 channels; the lines from here on are not read";
    if (k > kChannels || !ApplyLine(line, k)) return ListProblem(kTracksFile, scan.number, line.begin, line.end, stop);
    // The number is not read (the k-th line fills channel k), but the engine needs one.
    const char* p = line.begin;
    while (p < line.end && *p >= '0' && *p <= '9') ++p;
    if (p == line.begin || p == line.end || *p != ' ') ListProblem(kTracksFile, scan.number, line.begin, line.end, "Channel number missing");
    ++k;
  }
  ListEnding(kTracksFile, scan, false);
}

void ReadTracksFile() {
  static char text[kTracksFileSize];
  size_t size = 0;
  SmallRead r = ReadSmallFile(kTracksFile, text, sizeof text, &size);
  if (r == kSmallAbsent) return;
  if (r == kSmallRefused) {
    if (TracksReadHook) TracksReadHook();
    return;
  }
  if (size > 0) ResetTracksTables();  // an empty file is no mix to load
  ReadTracksText(text, size);
  if (TracksReadHook) TracksReadHook();
}
