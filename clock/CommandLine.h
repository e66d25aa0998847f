// The program's own command-line options, looked at before any window or display is needed.
// Options of one dash (-platform, -session, ...) belong to the toolkit and pass through.
#pragma once

#include <string>

struct CommandLine {
    enum class Action { Run, Help, Version, Holidays, Export, Usage };
    Action action = Action::Run;
    int fromYear = 0; // Holidays: the years asked for, inclusive
    int toYear = 0;
    std::string file; // Export: where to, "-" for standard output
    std::string program; // the executable's name, which names the profile
    std::string error; // Usage: what was wrong
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// Prints what the command line asks for and returns the exit status; Run is not for here.
int RunCommandLine(const CommandLine& command);
