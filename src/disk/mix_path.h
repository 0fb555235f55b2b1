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
  kCheck,    // check the mix in dir (only file, when set) without a display
};

struct StartPlan {
  StartAction action = StartAction::kEdit;
  std::string dir;               // the mix directory to work in; empty: stay where started
  std::string file;              // the mix file named, when a file was named
  std::string title = "Tessaro"; // the control window's title
  std::string text;              // help, version or error line, without the final newline
};

// True for the arguments the editor takes itself; single-dash switches (-display, -geometry,
// ...) are left to the toolkit.
bool IsEditorArgument(const char* arg);

// Decides what to do with the arguments the toolkit did not take (an option the toolkit
// could not use arrives here too and is refused). Looks at the disk but changes nothing.
StartPlan PlanStart(const std::vector<std::string>& args);

// True when the current directory holds at least one of the three mix files.
bool MixFilesPresent();

// True when program (the path the engine is started by, as the search found it) is taken
// from the current directory: a relative path, or a directory inside it (links followed).
// A directory that cannot be reached holds nothing to run.
bool ProgramInMixDirectory(const char* program);
