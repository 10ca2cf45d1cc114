// Reading the command line from left to right. Options take effect as they
// are met: the settings of the other modules are written here, and a script
// named after -m or -b is opened at once.
#pragma once

#include <cstdio>
#include <vector>

namespace rostrix {

enum TaskCode : int {
    kTaskList = 0,      // -l, -k
    kTaskTeamScript = 1,  // -m
    kTaskVekScript = 2,   // -b
    kTaskNone = 255,      // none of them was given
};

// The process's standard streams, passed in so that a whole run can be
// driven in-process.
struct StandardStreams {
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
};

struct CommandLine {
    int taskCode = kTaskNone;
    const char* outputPath = nullptr;  // -o; null: standard output
    std::FILE* scriptStream = nullptr; // -m/-b script; standard input until one is named
    int firstPath = 0;                 // argv index after -l/-k
    std::vector<std::FILE*> openedScripts;  // every script opened, read or not
};

enum class ParseOutcome {
    Run,   // go on to the task
    Exit,  // the run ends now with *exitStatus
};

// Flushes a usage or version text written to standard output: 0, or 1 after
// saying on standard error that it was lost.
int finishText(const StandardStreams& streams);

// Parses argv[1..argc-1] into `line` and the modules' settings.
ParseOutcome parseOptions(int argc, char** argv, const StandardStreams& streams, CommandLine& line,
                          int* exitStatus);

}  // namespace rostrix
