// tessaro --check: each mix's files read as Recall All reads them, with no display; every
// problem printed as "file:line: message", then a one-line summary per argument.
#pragma once
#include <string>
#include <vector>

// Checks the files in the current directory (only `only`, when not null) and returns the
// exit status: 0 no problems, 1 problems, 2 a file could not be read or there was none.
// shown is put before each file name printed (the directory as the user gave it).
int CheckMix(const char* shown, const char* only);
// Checks each directory or file named (none: the current directory), each with its own
// summary, and returns the worst status: 2 when any argument or file could not be read (even
// if another had problems), else 1 when any had problems, else 0. Arguments that name
// nothing usable are refused on standard error.
int CheckMixes(const std::vector<std::string>& args);
