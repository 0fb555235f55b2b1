// What the readers found wrong in a file: each diagnostic kept as (file, line, message, the
// line's text) beside the standard-output line it has always printed.
#pragma once
#include <cstddef>

constexpr int kMaxProblems = 200;        // kept for the window; more are counted only
constexpr size_t kProblemTextSize = 128;  // message and line text, each cut to fit

struct Problem {
  const char* file;  // "faders.txt", ...
  int line;          // 1-based
  char message[kProblemTextSize];
  char text[kProblemTextSize];
};

extern Problem problems[kMaxProblems];
extern int problemCount;  // kept in problems[], at most kMaxProblems
extern int problemTotal;  // found since BeginProblems, kept or not

// Starts a new list: problems reported from now on are kept until the next start.
void BeginProblems();
// Stops keeping them (reports still print); the list stays as it is.
void EndProblems();

// A reader's diagnostic: prints prefix + message + "\n" on standard output, as the readers
// always have, and keeps (file, line, message, the text from line_begin to line_end) when a
// list is open. line_begin may be null (no line text).
void ReportProblem(const char* file, int line, const char* line_begin, const char* line_end,
                   const char* prefix, const char* fmt, ...) __attribute__((format(printf, 6, 7)));

// Called for each problem kept or not (--check prints them); null by default.
extern void (*ProblemHook)(const Problem& p);
// False silences the standard-output lines (--check prints its own form).
extern bool problemsEcho;

// "file:line: message" into out (cap bytes); returns out.
char* FormatProblem(const Problem& p, char* out, size_t cap);
