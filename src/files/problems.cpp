// The readers' diagnostics: printed as they always were, and kept with file and line for the
// Problems window and --check.
#include "files/problems.h"

#include <cstdarg>
#include <cstdio>

#include "model/text.h"

Problem problems[kMaxProblems];
int problemCount = 0;
int problemTotal = 0;
void (*ProblemHook)(const Problem& p) = nullptr;
bool problemsEcho = true;

namespace {
bool keeping = false;
}  // namespace

void BeginProblems() {
  problemCount = 0;
  problemTotal = 0;
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
  Problem p;
  p.file = file;
  p.line = line;
  CopyText(p.message, message);  // one line, whole UTF-8 characters
  if (line_begin)
    CopyTextN(p.text, line_begin, static_cast<size_t>(line_end - line_begin));
  else
    p.text[0] = '\0';
  if (ProblemHook) ProblemHook(p);
  if (!keeping) return;
  ++problemTotal;
  if (problemCount < kMaxProblems) problems[problemCount++] = p;
}

char* FormatProblem(const Problem& p, char* out, size_t cap) {
  snprintf(out, cap, "%s:%i: %s", p.file, p.line, p.message);
  return out;
}
