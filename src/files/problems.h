// The one collector of what the readers found wrong: each line they refuse or cannot read
// fully, once, as (file, line, message, the line's text), beside the lines they always printed.
#pragma once
#include <cstddef>

#include "files/lines.h"

constexpr int kMaxProblems = 200;        // kept for the window; more are counted only
constexpr size_t kProblemTextSize = 128;  // message and line text, each cut to fit

// Messages several readers give.
constexpr const char* kSlotRefused = "Channel number out of range or not specified!";
constexpr const char* kBadFields = "Fields missing, extra or not numbers";

struct Problem {
  const char* file;  // "faders.txt", ...
  int line;          // 1-based
  char message[kProblemTextSize];
  char text[kProblemTextSize];
};

extern Problem problems[kMaxProblems];
extern int problemCount;  // kept in problems[], at most kMaxProblems
extern int problemTotal;  // lines with problems since BeginProblems, kept or not
// Bytes of line text the list has taken since BeginProblems: at most kProblemTextSize per
// kept problem, however long the lines, so a list costs time linear in the file.
extern size_t problemTextBytes;

// Starts a new list: problems reported from now on are kept until the next start.
void BeginProblems();
// Stops keeping them (reports still print); the list stays as it is.
void EndProblems();

// A reader's diagnostic: prints prefix + message + "\n" on standard output, as the readers
// always have, and lists it as ListProblem does. line_begin may be null (no line text).
void ReportProblem(const char* file, int line, const char* line_begin, const char* line_end,
                   const char* prefix, const char* fmt, ...) __attribute__((format(printf, 6, 7)));
// A line a reader refuses or cannot read fully, with nothing on standard output: kept as
// (file, line, message, the line's text) when a list is open, and handed to ProblemHook.
// A line is listed once: a further problem of the line just listed only counts there.
void ListProblem(const char* file, int line, const char* line_begin, const char* line_end, const char* message);
// The same for a record of a reader's loop.
void RefuseRecord(const char* file, const Record& r, const char* message);
// After a reader's loop over the scan (ended: it stopped at "end"): lists a missing "end"
// line, or each line after it that holds text, which no reader reads and no store keeps.
void ListEnding(const char* file, LineScan& scan, bool ended);

// Called for each problem kept or not (--check prints them); null by default.
extern void (*ProblemHook)(const Problem& p);
// False silences the standard-output lines (--check prints its own form).
extern bool problemsEcho;

// "file:line: message" into out (cap bytes); returns out.
char* FormatProblem(const Problem& p, char* out, size_t cap);
