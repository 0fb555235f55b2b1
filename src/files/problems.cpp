// The readers' diagnostics: the lines they always printed, printed as before, and every problem
// listed once per line, with file and line, for the Problems window, --check and the engine.
#include "files/problems.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "model/text.h"

Problem problems[kMaxProblems];
int problemCount = 0;
int problemTotal = 0;
size_t problemTextBytes = 0;
void (*ProblemHook)(const Problem& p) = nullptr;
bool problemsEcho = true;

namespace {
bool keeping = false;
// The line listed last: one line with many problems is listed once.
const char* lastFile = nullptr;
int lastLine = 0;
}  // namespace

void BeginProblems() {
  problemCount = 0;
  problemTotal = 0;
  problemTextBytes = 0;
  lastFile = nullptr;
  keeping = true;
}

void EndProblems() { keeping = false; }

void ReportProblem(const char* file, int line, const char* line_begin, const char* line_end,
                   const char* prefix, const char* fmt, ...) {
  char message[kProblemTextSize];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(message, sizeof message, fmt, ap);
  va_end(ap);
  if (problemsEcho) {
    printf("%s%s\n", prefix, message);
    fflush(stdout);
  }
  ListProblem(file, line, line_begin, line_end, message);
}

void ListProblem(const char* file, int line, const char* line_begin, const char* line_end, const char* message) {
  if (lastFile && line == lastLine && strcmp(file, lastFile) == 0) return;
  lastFile = file;
  lastLine = line;
  Problem p;
  p.file = file;
  p.line = line;
  CopyText(p.message, message);  // one line, whole UTF-8 characters
  // Only what fits is looked at: a long line costs no more than a short one.
  size_t len = line_begin ? static_cast<size_t>(line_end - line_begin) : 0;
  if (len > kProblemTextSize) len = kProblemTextSize;
  CopyTextN(p.text, line_begin, len);
  if (ProblemHook) ProblemHook(p);
  if (!keeping) return;
  problemTextBytes += len;
  ++problemTotal;
  if (problemCount < kMaxProblems) problems[problemCount++] = p;
}

void RefuseRecord(const char* file, const Record& r, const char* message) {
  ListProblem(file, r.number, r.line.begin, r.line.end, message);
}

void ListEnding(const char* file, LineScan& scan, bool ended) {
  if (!ended) return ListProblem(file, scan.number + 1, nullptr, nullptr, "No \"end\" line");
  TextLine line;
  while (NextLine(scan, line)) {
    const char* p = line.begin;
    while (p < line.end && (*p == ' ' || *p == '\t')) ++p;
    if (p < line.end) ListProblem(file, scan.number, line.begin, line.end, "Text after \"end\" is not read");
  }
}

char* FormatProblem(const Problem& p, char* out, size_t cap) {
  snprintf(out, cap, "%s:%i: %s", p.file, p.line, p.message);
  return out;
}
