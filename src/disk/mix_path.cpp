// The command line of the editor: a mix directory or one of its three files, --help and
// --version. Refusals are one line naming the argument and the reason.
#include "disk/mix_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kMixFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};

const char kUsage[] =
    "Usage: tessaro [OPTION]... [DIRECTORY | FILE]\n"
    "Edit the mix in DIRECTORY, or in the directory of FILE (faders.txt, prefs.txt or\n"
    "tracks.txt): the editor works there and recalls the mix at start-up when its files\n"
    "exist. With no argument it works in the current directory and reads nothing.\n"
    "\n"
    "  --check    read the mix (or only FILE; several may follow) as Recall All would,\n"
    "             without a display; print each problem as 'file:line: message', then a\n"
    "             summary; exit 0 with no problems, 1 with problems, 2 when a file or\n"
    "             argument cannot be read (the worst of all arguments)\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "  --         take the next argument as the directory or file, even if it starts with -\n"
    "\n"
    "Toolkit options, accepted as well:";

StartPlan Refuse(const std::string& why) {
  StartPlan plan;
  plan.action = StartAction::kRefuse;
  plan.text = "tessaro: " + why;
  return plan;
}

bool IsMixFileName(const std::string& name) {
  for (const char* f : kMixFiles)
    if (name == f) return true;
  return false;
}

// The last component of a directory, after resolving it ("." names the directory itself).
std::string LastComponent(const std::string& dir) {
  std::string path = dir;
  if (char* real = realpath(dir.c_str(), nullptr)) {
    path = real;
    free(real);
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  return (slash == std::string::npos || path.size() == 1) ? path : path.substr(slash + 1);
}

}  // namespace

StartPlan OpenMixPath(const std::string& arg) {
  struct stat st;
  if (stat(arg.c_str(), &st) != 0) return Refuse("'" + arg + "': " + strerror(errno));
  StartPlan plan;
  if (S_ISDIR(st.st_mode)) {
    plan.dir = arg;
  } else {
    size_t slash = arg.rfind('/');
    std::string name = slash == std::string::npos ? arg : arg.substr(slash + 1);
    if (!S_ISREG(st.st_mode) || !IsMixFileName(name))
      return Refuse("'" + arg + "' is neither a directory nor faders.txt, prefs.txt or tracks.txt");
    plan.dir = slash == std::string::npos ? "." : slash == 0 ? "/" : arg.substr(0, slash);
    plan.file = name;
  }
  plan.title = "Tessaro - " + LastComponent(plan.dir);
  return plan;
}

bool IsEditorArgument(const char* arg) { return arg[0] != '-' || arg[1] == '-' || arg[1] == '\0'; }

StartPlan PlanStart(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  std::string unknown;
  bool help = false, version = false, check = false, options_over = false;
  for (const std::string& a : args) {
    if (options_over || a.size() < 2 || a[0] != '-')
      paths.push_back(a);
    else if (a == "--")
      options_over = true;
    else if (a == "--help")
      help = true;
    else if (a == "--version")
      version = true;
    else if (a == "--check")
      check = true;
    else if (unknown.empty())
      unknown = a;
  }
  StartPlan plan;
  if (help) {
    plan.action = StartAction::kHelp;
    plan.text = kUsage;
  } else if (version) {
    plan.action = StartAction::kVersion;
    plan.text = "Tessaro " TESSARO_VERSION;
  } else if (!unknown.empty()) {
    plan = Refuse("unknown or incomplete option '" + unknown + "' (see --help)");
  } else if (check) {
    plan.action = StartAction::kCheck;
    plan.checks = paths;
  } else if (paths.size() > 1) {
    plan = Refuse("too many arguments: give one mix directory or file (see --help)");
  } else if (paths.size() == 1) {
    plan = OpenMixPath(paths[0]);
  }
  return plan;
}

bool MixFilesPresent() {
  struct stat st;
  for (const char* f : kMixFiles)
    if (lstat(f, &st) == 0) return true;
  return false;
}

bool ProgramInMixDirectory(const char* program) {
  if (program[0] != '/') return true;
  const char* slash = strrchr(program, '/');
  std::string dir(program, slash == program ? 1 : static_cast<size_t>(slash - program));
  struct stat here, at, up;
  int fd = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool inside = stat(".", &here) != 0;  // unsure: treat as inside
  // Up from the program's directory to the root, looking for the current directory.
  while (!inside && fstat(fd, &at) == 0) {
    inside = at.st_dev == here.st_dev && at.st_ino == here.st_ino;
    int parent = openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
    bool root = parent < 0 || fstat(parent, &up) != 0 || (up.st_dev == at.st_dev && up.st_ino == at.st_ino);
    close(fd);
    fd = parent;
    if (root) break;
  }
  if (fd >= 0) close(fd);
  return inside;
}

std::string FindEngine(const char* command, int* missing) {
  *missing = 0;
  if (strchr(command, '/')) return command;
  const char* path = getenv("PATH");
  const std::string entries = path ? path : "/bin:/usr/bin";
  *missing = ENOENT;
  for (size_t at = 0; at <= entries.size();) {
    size_t end = std::min(entries.find(':', at), entries.size());
    std::string candidate = (end == at ? std::string(".") : entries.substr(at, end - at)) + "/" + command;
    struct stat st;
    if (stat(candidate.c_str(), &st) != 0) {
      if (errno == EACCES) *missing = EACCES;
    } else if (S_ISREG(st.st_mode) && faccessat(AT_FDCWD, candidate.c_str(), X_OK, AT_EACCESS) == 0) {
      *missing = 0;
      return candidate;
    } else {
      *missing = EACCES;
    }
    at = end + 1;
  }
  return "";
}
