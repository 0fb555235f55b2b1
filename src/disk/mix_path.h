// The command line of the editor: which mix directory an argument names (the directory
// itself or one of its three files), plus --help, --version and --check; and whether a
// program lies in the mix directory. No toolkit, no side effects.
#pragma once
#include <string>
#include <vector>

enum class StartAction {
  kEdit,     // start the editor (in dir when it is set)
  kHelp,     // print text to standard output, exit 0
  kVersion,  // print text to standard output, exit 0
  kRefuse,   // print text (one line) to standard error, exit 2
  kCheck,    // check the mixes named in checks (none: the current directory) without a display
};

struct StartPlan {
  StartAction action = StartAction::kEdit;
  std::string dir;               // the mix directory to work in; empty: stay where started
  std::string file;              // the mix file named, when a file was named
  std::string title = "Tessaro"; // the control window's title
  std::string text;              // help, version or error line, without the final newline
  std::vector<std::string> checks;  // --check: the directories and files named
};

// True for the arguments the editor takes itself; single-dash switches (-display, -geometry,
// ...) are left to the toolkit.
bool IsEditorArgument(const char* arg);

// Decides what to do with the arguments the toolkit did not take (an option the toolkit
// could not use arrives here too and is refused). Looks at the disk but changes nothing.
StartPlan PlanStart(const std::vector<std::string>& args);

// What one argument names: its directory (and file), or a refusal naming it.
StartPlan OpenMixPath(const std::string& arg);

// True when the current directory holds at least one of the three mix files.
bool MixFilesPresent();

// True when program (the path the engine is started by, as the search found it) is taken
// from the current directory: a relative path, or a directory inside it (links followed).
// A directory that cannot be reached holds nothing to run.
bool ProgramInMixDirectory(const char* program);

// The program the engine command names, found once as the exec would find it: a name with a
// slash as it is; a bare name in the search path's entries in turn (an empty one is the
// current directory), passing over what is not an executable regular file. Found, it is the
// program asked about and started by this path, so no other one runs in its place. Empty
// when there is none, *missing then saying why (ENOENT, or EACCES when one could not run).
std::string FindEngine(const char* command, int* missing);
