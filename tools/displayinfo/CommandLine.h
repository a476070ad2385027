#pragma once
// displayinfo's command line: its options, its help text and the checks of
// what it was given.
#include <string>
#include <vector>

// A file that cannot be loaded and output that cannot be written share status 1.
enum ExitStatus { kRan = 0, kLoadFailed = 1, kWriteFailed = 1, kBadUsage = 2, kRequestFailed = 3 };

// --machine and --system-root hold the environment's value where the option
// was not given and the variable stands in for it.
struct Options {
    std::string machine;
    std::string format = "mof";
    std::string logLevel = "warning";
    std::string plugin;
    std::string capture;
    bool captureGiven = false;
    std::string systemRoot;
    std::vector<std::string> classes;
};

struct ParseOutcome {
    bool run = false;  // false: exit with status after writing text
    int status = kRan;
    // --help or --version: the text for standard output; bad usage: the
    // message for standard error, without the program's prefix.
    std::string text;
};

// Parses the arguments. machineDescriptions tells whether this build
// replays machine descriptions (and reads the live machine below a root):
// --machine and --system-root exist only where it does.
ParseOutcome ParseCommandLine(int argc, const char* const* argv, bool machineDescriptions,
                              Options& options);
