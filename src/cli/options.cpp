#include "cli/options.h"

#include <cerrno>
#include <cstring>

#include "cli/texts.h"
#include "support/messages.h"
#include "teams/auto_name.h"
#include "teams/formation.h"
#include "teams/listing.h"

namespace rostrix {

namespace {

bool is(const char* argument, const char* option) { return std::strcmp(argument, option) == 0; }

}  // namespace

int finishText(const StandardStreams& streams) {
    errno = 0;
    if (std::fflush(streams.out) == 0 && !std::ferror(streams.out)) return 0;
    std::fprintf(streams.err, "fail to fclose %s in main : %s\n", "stdout", std::strerror(errno != 0 ? errno : EIO));
    return 1;
}

ParseOutcome parseOptions(int argc, char** argv, const StandardStreams& streams, CommandLine& line,
                          int* exitStatus) {
    line.scriptStream = streams.in;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (is(argument, "-v")) {
            printVersion(streams.out);
            *exitStatus = finishText(streams);
            return ParseOutcome::Exit;
        }
        if (is(argument, "-h") || is(argument, "-?")) {
            printUsage(streams.out);
            *exitStatus = finishText(streams);
            return ParseOutcome::Exit;
        }
        if (is(argument, "-V")) {
            verbose = 1;
        } else if (is(argument, "-e")) {
            msgStream = streams.out;
        } else if (is(argument, "-a") || is(argument, "-a4")) {
            autoNameChars = 4;
        } else if (is(argument, "-a3")) {
            autoNameChars = 3;
        } else if (is(argument, "-a2")) {
            autoNameChars = 2;
        } else if (is(argument, "-o")) {
            // The next argument is the output path, whatever it looks like.
            line.outputPath = i + 1 < argc ? argv[++i] : nullptr;
        } else if (is(argument, "-l") || is(argument, "-k")) {
            listUnits = is(argument, "-k") ? 1 : 0;
            line.taskCode = kTaskList;
            line.firstPath = i + 1;
            return ParseOutcome::Run;
        } else if (is(argument, "-m") || is(argument, "-b")) {
            line.taskCode = is(argument, "-m") ? kTaskTeamScript : kTaskVekScript;
            if (i + 1 < argc) {
                const char* scriptPath = argv[++i];
                std::FILE* script = std::fopen(scriptPath, "r");
                if (script == nullptr) {
                    messagef("fail to fopen %s in main :%s\n", scriptPath, std::strerror(errno));
                    *exitStatus = -1;
                    return ParseOutcome::Exit;
                }
                // An earlier -m/-b script stays open, unread, to the end of the run.
                line.openedScripts.push_back(script);
                line.scriptStream = script;
            }
        } else if (is(argument, "-rv")) {
            repositionFn = repositionInColumn;
        } else if (is(argument, "-rh")) {
            repositionFn = repositionInRow;
        } else {
            messagef("[%s] is illegal argument. ignored.\n", argument);
        }
    }
    return ParseOutcome::Run;
}

}  // namespace rostrix
