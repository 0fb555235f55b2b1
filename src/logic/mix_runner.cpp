// Runs the engine as a child process while the windows stay live: a one-second timer counts
// on the status line and reaps it; its output goes to "brennic.log"; it can be stopped.
#include "logic/mix_runner.h"

#include <FL/Fl.H>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "model/status.h"
#include "model/text.h"
#include "ui/question.h"

namespace {

const char kLog[] = "brennic.log";
constexpr double kKillAfter = 3.0;  // seconds from SIGTERM to SIGKILL

pid_t enginePid = -1;  // also the engine's process group
double startedAt = 0;
bool stopAsked = false;
char statusAtTick[kStatusSize];  // the status line as the last tick left it

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Tick(void*);
void KillHard(void*);

void Signal(int sig) {
  if (kill(-enginePid, sig) != 0) kill(enginePid, sig);
}

void ReportEnd(int status) {
  if (stopAsked)
    SetStatus("Mix failed: brennic stopped, see %s", kLog);
  else if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
    SetStatus("Mix Complete");
  else
    SetStatus("Mix failed: brennic exit status %i, see %s",
              WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), kLog);
}

// Collects the engine if it has ended (waiting for it with options 0) and reports the end.
// True when it has ended.
bool Reap(int options) {
  if (enginePid <= 0) return true;
  int status = 0;
  pid_t r;
  do r = waitpid(enginePid, &status, options);
  while (r < 0 && errno == EINTR);
  if (r == 0) return false;
  enginePid = -1;
  Fl::remove_timeout(Tick);
  Fl::remove_timeout(KillHard);
  if (r < 0)
    SetStatus("Mix failed: brennic was lost (%s), see %s", strerror(errno), kLog);
  else
    ReportEnd(status);
  return true;
}

// The count, unless a message came up since the last tick: that one stays for a full second.
void ShowCount() {
  if (tbuffer[0] == '\0' || strcmp(tbuffer, statusAtTick) == 0)
    SetStatus("Mixing... %i s", static_cast<int>(Now() - startedAt + 0.5));
  CopyText(statusAtTick, tbuffer);
}

void Tick(void*) {
  if (Reap(WNOHANG)) return;
  ShowCount();
  Fl::repeat_timeout(1.0, Tick);
}

void KillHard(void*) {
  if (enginePid > 0) Signal(SIGKILL);
}

// In the child: the engine's own process group, no inherited descriptors but the three
// standard ones, and the signal defaults the editor changed. Reports a failed exec through
// `report` (closed by a successful one).
[[noreturn]] void ExecEngine(const char* program, int log, int report) {
  setpgid(0, 0);
  signal(SIGXFSZ, SIG_DFL);
  dup2(log, STDOUT_FILENO);
  dup2(log, STDERR_FILENO);
  int in = open("/dev/null", O_RDONLY);
  if (in > 0) dup2(in, STDIN_FILENO);
  for (int fd = 0; fd < 3; ++fd) fcntl(fd, F_SETFD, 0);
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  char* argv[] = {const_cast<char*>(program), nullptr};
  execv(program, argv);
  int err = errno;
  if (err == ENOEXEC) {  // no "#!" line: a script for the shell, as execvp would run it
    char* shell[] = {const_cast<char*>("/bin/sh"), const_cast<char*>(program), nullptr};
    execv(shell[0], shell);
  }
  ssize_t told = write(report, &err, sizeof err);
  _exit(told == static_cast<ssize_t>(sizeof err) ? 127 : 126);
}

void CouldNotStart(const char* program, int why) {
  SetStatus("Mix failed: could not start %s: %s", program, strerror(why));
}

// Opens brennic.log for the engine: created when missing, never through a link, and emptied
// only when it is a regular file with no other name, since a shared mix directory may hold
// anything by that name. Non-blocking, so a FIFO without a reader fails instead of hanging.
// -1 with *why set when it cannot be used.
int OpenLog(const char** why) {
  int fd = open(kLog, O_WRONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    *why = errno == ELOOP ? "it is a symbolic link" : strerror(errno);
    return -1;
  }
  struct stat st = {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
    *why = S_ISREG(st.st_mode) ? "it has other links" : "not a regular file";
  } else if (ftruncate(fd, 0) != 0) {
    *why = strerror(errno);
  } else {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  close(fd);
  return -1;
}

}  // namespace

bool MixRunning() { return enginePid > 0 && !Reap(WNOHANG); }

void StartMix(const char* program, int missing) {
  if (MixRunning()) return;
  if (missing) {
    CouldNotStart(program, missing);
    return;
  }
  const char* why = "";
  int log = OpenLog(&why);
  if (log < 0) {
    SetStatus("Mix not started: could not write %s: %s", kLog, why);
    return;
  }
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    SetStatus("Mix failed: could not start %s: %s", program, strerror(errno));
    close(log);
    return;
  }
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid == 0) ExecEngine(program, log, report[1]);
  int forkError = errno;
  close(report[1]);
  close(log);
  int execError = 0;
  ssize_t n = 0;
  if (pid > 0) {
    setpgid(pid, pid);
    do n = read(report[0], &execError, sizeof execError);
    while (n < 0 && errno == EINTR);
  }
  close(report[0]);
  if (pid < 0 || n == static_cast<ssize_t>(sizeof execError)) {
    if (pid > 0) waitpid(pid, nullptr, 0);
    CouldNotStart(program, pid < 0 ? forkError : execError);
    return;
  }
  enginePid = pid;
  startedAt = Now();
  stopAsked = false;
  SetStatus("Mixing... 0 s");
  CopyText(statusAtTick, tbuffer);
  Fl::add_timeout(1.0, Tick);
}

void StopMix() {
  if (!MixRunning() || stopAsked) return;
  stopAsked = true;
  Signal(SIGTERM);
  Fl::add_timeout(kKillAfter, KillHard);
}

void StopMixAndWait() {
  if (!MixRunning()) return;
  StopMix();
  double deadline = Now() + kKillAfter;
  while (!Reap(WNOHANG)) {
    if (Now() >= deadline) {
      KillHard(nullptr);
      Reap(0);
      return;
    }
    usleep(20000);
  }
}

bool RefuseWhileMixing() {
  if (!MixRunning()) return false;
  SetStatus("Mix running");
  return true;
}

void AskStopMix() {
  if (!RefuseWhileMixing()) return;
  if (Ask(kStopMix, "The engine is still mixing. Stop it?") == 1) StopMix();
}

bool StopMixBeforeQuit() {
  if (!MixRunning()) return true;
  if (Ask(kStopMixAndQuit, "The engine is still mixing. Stop it and quit?") != 1) return false;
  StopMixAndWait();
  return true;
}
