#include "cli/run.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "cli/texts.h"
#include "sqd/cache.h"
#include "sqd/load_buffer.h"
#include "support/messages.h"
#include "teams/auto_name.h"
#include "teams/formation.h"
#include "teams/listing.h"
#include "teams/random.h"
#include "teams/team_script.h"
#include "teams/vek_script.h"

namespace rostrix {

namespace {

void closeScripts(CommandLine& line) {
    for (std::FILE* script : line.openedScripts) std::fclose(script);
    line.openedScripts.clear();
}

// Opens the output named by -o; false after the open-failure message.
bool openOutput(const CommandLine& line, const char* mode, std::FILE** output) {
    if (line.outputPath == nullptr) return true;
    std::FILE* file = std::fopen(line.outputPath, mode);
    if (file == nullptr) {
        messagef("fail to fopen %s in main : %s\n", line.outputPath, std::strerror(errno));
        return false;
    }
    *output = file;
    return true;
}

// Closes the output, standard output included. A stream that saw a write
// error or cannot be flushed or closed has lost output: false after saying
// so (unless `reported`, when the task has said it already).
bool closeOutput(const CommandLine& line, std::FILE* output, const StandardStreams& streams, bool reported) {
    int error = 0;
    errno = 0;
    if (std::fflush(output) != 0) error = errno != 0 ? errno : EIO;
    if (std::ferror(output) && error == 0) error = EIO;
    errno = 0;
    if (std::fclose(output) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    if (error == 0) return true;
    if (!reported) {
        // The message cannot go where the output just failed to go.
        std::FILE* to = msgStream == output ? streams.err : msgStream;
        std::fprintf(to, "fail to fclose %s in main : %s\n", line.outputPath != nullptr ? line.outputPath : "stdout",
                     std::strerror(error));
    }
    if (msgStream == output) msgStream = streams.err;
    return false;
}

}  // namespace

void resetSettings(std::FILE* messages) {
    msgStream = messages;
    verbose = 0;
    listUnits = 0;
    autoNameChars = 0;
    repositionFn = repositionInRow;
}

bool acquireRunResources() {
    if (ploadBuffer == nullptr && !allocateLoadBuffer()) {
        message("not enough memory for ploadBuffer\n");
        return false;
    }
    const char* failed = nullptr;
    if (!createRegistries(&failed)) {
        messagef("not enough memory for %s\n", failed);
        return false;
    }
    return true;
}

void releaseRunResources() {
    destroyRegistries();
    releaseLoadedFiles();
}

int runRostrix(int argc, char** argv, const StandardStreams& streams) {
    resetSettings(streams.err);
    if (argc <= 1) {
        printUsage(streams.out);
        return finishText(streams);
    }
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    if (!acquireRunResources()) return -1;

    CommandLine line;
    int exitStatus = 0;
    if (parseOptions(argc, argv, streams, line, &exitStatus) == ParseOutcome::Exit) {
        closeScripts(line);
        releaseRunResources();
        return exitStatus;
    }

    if (verbose) {
        message(kVersionBanner);
        message("\nStart task...");
    }
    std::FILE* output = streams.out;
    int taskStatus = 0;
    switch (line.taskCode) {
        case kTaskVekScript:
        case kTaskTeamScript:
            if (line.taskCode == kTaskVekScript) {
                progress("Build Team data\n");
                if (autoNameChars != 0) progress("[Automatic TeamName Enabled]\n");
            } else {
                progress("Management Team data\n");
            }
            if (!openOutput(line, "wb", &output)) {
                closeScripts(line);
                releaseRunResources();
                return -1;
            }
            taskStatus = line.taskCode == kTaskVekScript ? BuildTeamData(line.scriptStream, output)
                                                         : ManageTeamData(line.scriptStream, output);
            break;
        case kTaskList:
            progress("Dump Team data\n");
            if (!openOutput(line, "w", &output)) {
                closeScripts(line);
                releaseRunResources();
                return -1;
            }
            for (int i = line.firstPath; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
                DumpTeamData(argv[i], output);
            }
            break;
        default:
            message("Illegal task code\n");
            break;
    }

    const bool closed = closeOutput(line, output, streams, taskStatus != 0);
    closeScripts(line);
    releaseRunResources();
    return taskStatus != 0 || !closed ? 1 : 0;
}

}  // namespace rostrix
