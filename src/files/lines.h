// The one tokenizer of the line formats: lines of a text, tab-separated fields of a line,
// numbers read from fields the way atof/atoi would, and the one loop over a file's records.
#pragma once
#include <cstddef>
#include <cstring>
#include <type_traits>

// One line without its line feed; a carriage return before the line feed is dropped too.
struct TextLine {
  const char* begin;
  const char* end;
};

struct LineScan {
  const char* pos;
  const char* end;
  int number;  // lines handed out so far: the 1-based number of the latest line
};

// Scans the NUL-terminated text (or the first len bytes of it).
LineScan ScanLines(const char* text);
LineScan ScanLines(const char* text, size_t len);
// Gives the next line; false at the end of the text.
bool NextLine(LineScan& scan, TextLine& line);

constexpr int kMaxFields = 16;

// Fields of a line: runs of tabs count as one separator and leading tabs are skipped.
// A line with more than kMaxFields fields keeps the rest of the line in the last one.
struct Fields {
  int count;
  const char* start[kMaxFields];
  const char* stop[kMaxFields];
  const char* lineEnd;
};

void SplitTabs(const TextLine& line, Fields& fields);
// Splits at single spaces instead (runs of spaces count as one).
void SplitSpaces(const TextLine& line, Fields& fields);
// NextLine, then the line split at sep as SplitTabs / SplitSpaces would, in one pass.
bool NextSplitLine(LineScan& scan, char sep, TextLine& line, Fields& fields);

size_t FieldLen(const Fields& fields, int k);
// True when field k exists and equals word exactly. Inline: readers try many keys per line,
// and with a literal word the length is known at compile time.
inline bool FieldIs(const Fields& fields, int k, const char* word) {
  if (k < 0 || k >= fields.count) return false;
  size_t n = static_cast<size_t>(fields.stop[k] - fields.start[k]);
  return strlen(word) == n && memcmp(fields.start[k], word, n) == 0;
}
// The leading number of field k as atof / atoi read it; 0 when the field is missing.
// Integers saturate at the int range.
double FieldNum(const Fields& fields, int k);
int FieldInt(const Fields& fields, int k);
// True when field k exists and is wholly a number within the float range (what a writer
// prints): the fields a reader would otherwise take as 0, as their leading digits, or as an
// infinity, fail.
bool FieldIsNumber(const Fields& fields, int k);
// True when field k is a whole number as writers print one: digits, a leading minus at most.
bool FieldIsWhole(const Fields& fields, int k);
// True when fields first .. first + count - 1 all are numbers.
bool NumbersAt(const Fields& fields, int first, int count);
// Number conversions of a bounded piece of text, with the same rules.
double TextNum(const char* p, size_t len);
int TextInt(const char* p, size_t len);
// Text of field k to the end of the line (empty when the field is missing).
const char* RestFrom(const Fields& fields, int k, size_t* len);

// One record: the whole line, its fields and its 1-based line number in the text.
struct Record {
  TextLine line;
  Fields fields;
  int number;
};

// The loop every reader of the line formats shares: calls record(r) for every line with a
// field until a line whose first field is "end". Fields are split at tabs, or at spaces with
// sep ' '. A record function returning bool stops the loop by returning false. Returns true
// when the "end" line was reached.
template <class F>
bool ForEachRecord(LineScan& scan, F record, char sep = '\t') {
  Record r;
  while (NextSplitLine(scan, sep, r.line, r.fields)) {
    r.number = scan.number;
    if (r.fields.count == 0) continue;
    if (FieldIs(r.fields, 0, "end")) return true;
    if constexpr (std::is_same_v<decltype(record(r)), bool>) {
      if (!record(r)) return false;
    } else {
      record(r);
    }
  }
  return false;
}

// The mix-name line of "faders.txt" is its first line, whatever it holds (empty included);
// it is never a record, so a mix named "end" or "t" cannot end or open anything. Takes it
// from a scan at the start of the text.
TextLine TakeMixNameLine(LineScan& scan);
