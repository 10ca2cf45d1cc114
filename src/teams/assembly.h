// The assembly frame that both -m and -b run: a fresh output image, a loop
// over the script's lines with the skipping and capacity rules, units interned
// so that each source unit is stored once, and at the end the written file or
// an abort that writes nothing. Each task plugs in its own line handling.
#pragma once

#include <cstdio>

#include "sqd/image.h"
#include "teams/script_line.h"

namespace rostrix {

struct AssemblyFrame {
    SqdImage* image;  // the output being assembled
    int teamCount;    // teams placed, 0..16; the next goes to team[teamCount]
    int vekCount;     // units placed, 0..32; the next goes to vek[vekCount]
};

enum class LineOutcome {
    Placed,   // the team at teamCount is complete
    Skipped,  // nothing of the line counts; the frame clears the record
    Aborted,  // the task ends without writing (the message is already out)
};

// A task's handling of one line: fills `team` (all zero on entry) from the
// first field and the fields that `rest` still holds.
using LineHandler = LineOutcome (*)(AssemblyFrame& frame, TeamRecord& team, const char* firstField,
                                    FieldCursor& rest);

struct AssemblyTask {
    const char* memoryMessage;  // written before the process ends for want of memory
    LineHandler handleLine;
};

// Runs `task` over the lines of `script` and writes the new save file to
// `out`. 0, also when the task was aborted or placed no team; -1 when the
// file could not be written ("task aborted.\n" has been written). Ends the
// process with status 1 when memory runs out.
int runAssembly(const AssemblyTask& task, std::FILE* script, std::FILE* out);

// Places `source` in the output image unless a unit from the same file and
// index is there already; its index in the image, or -1 after "Too many VEK
// data!\nTask aborted.\n" when all 32 places are taken.
int internVek(AssemblyFrame& frame, const VekRecord& source);

// Index (0..31) of the first unit of `image` with the same sourcePath and
// sourceIndex as `vek`, or -1.
int findVekBySource(const SqdImage* image, const VekRecord& vek);

}  // namespace rostrix
