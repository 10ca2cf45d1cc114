#include "teams/assembly.h"

#include <cstdlib>
#include <cstring>

#include "sqd/reader.h"
#include "sqd/writer.h"
#include "support/messages.h"

namespace rostrix {

namespace {

[[noreturn]] void outOfMemory(const AssemblyTask& task) {
    message(task.memoryMessage);
    std::exit(1);
}

bool isSkippedLine(const char* text) { return text[0] == '\n' || text[0] == '#' || text[0] == '\0'; }

}  // namespace

int findVekBySource(const SqdImage* image, const VekRecord& vek) {
    for (int i = 0; i < kVekCount; ++i) {
        const VekRecord& candidate = image->vek[i];
        if (candidate.sourceIndex == vek.sourceIndex && std::strcmp(candidate.sourcePath, vek.sourcePath) == 0) {
            return i;
        }
    }
    return -1;
}

int internVek(AssemblyFrame& frame, const VekRecord& source) {
    int i = findVekBySource(frame.image, source);
    if (i != -1) return i;
    if (frame.vekCount == kVekCount) {
        message("Too many VEK data!\nTask aborted.\n");
        return -1;
    }
    i = frame.vekCount++;
    frame.image->vek[i] = source;
    return i;
}

int runAssembly(const AssemblyTask& task, std::FILE* script, std::FILE* out) {
    SqdImage* image = allocateSQDimage();
    if (image == nullptr) outOfMemory(task);
    std::memcpy(image->playerName, defaultPlayerName, kPlayerNameSize);
    AssemblyFrame frame{image, 0, 0};
    LineReader reader = openLineReader(script);

    bool aborted = false;
    while (readScriptLine(reader)) {
        if (isSkippedLine(reader.text)) continue;
        FieldCursor fields{reader.text};
        const char* first = nextField(fields);
        if (first == nullptr) continue;
        if (frame.teamCount == kTeamCount || frame.vekCount == kVekCount) {
            message("Too many Team or VEK data!\nTask aborted.\n");
            aborted = true;
            break;
        }
        TeamRecord& team = image->team[frame.teamCount];
        const LineOutcome outcome = task.handleLine(frame, team, first, fields);
        if (outcome == LineOutcome::Aborted) {
            aborted = true;
            break;
        }
        if (outcome == LineOutcome::Skipped) {
            // A skipped line leaves no trace in the output.
            team = TeamRecord{};
            continue;
        }
        progressf("add Team %d:%s", frame.teamCount + 1, fieldText(team.name, kTeamNameSize).text);
        progressf("(%s)\n", fieldText(team.player, kTeamPlayerSize).text);
        ++frame.teamCount;
    }
    if (reader.outOfMemory) outOfMemory(task);
    const int readError = aborted ? 0 : reader.readError;
    closeLineReader(reader);

    int status = 0;
    if (readError != 0) {
        // A script cut short by a read error would make a file that silently
        // misses its later teams: write nothing and say so.
        messagef("fail to read script : %s\n", std::strerror(readError));
        message("task aborted.\n");
        status = -1;
    } else if (aborted || frame.teamCount == 0) {
        progress("no team data!\n");
    } else {
        if (frame.vekCount < kVekCount) blankVekSlots(&image->vek[frame.vekCount], kVekCount - frame.vekCount);
        if (saveSQDBLOCK(image, out) != 0) {
            message("task aborted.\n");
            status = -1;
        } else {
            progress("Completed\n");
        }
    }
    freeSQDimage(image);
    return status;
}

}  // namespace rostrix
