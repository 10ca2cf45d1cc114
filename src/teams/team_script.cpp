#include "teams/team_script.h"

#include "sqd/cache.h"
#include "teams/assembly.h"

namespace rostrix {

namespace {

LineOutcome copyTeamLine(AssemblyFrame& frame, TeamRecord& team, const char* path, FieldCursor& rest) {
    // The file is loaded (and reported) even when the line turns out to have
    // no team index, so that `path` alone preloads a source.
    const SqdImage* source = getSQDfile(path);
    const char* indexField = nextField(rest);
    if (indexField == nullptr || source == nullptr) return LineOutcome::Skipped;
    const int t = scriptNumber(indexField);
    if (t < 0 || t >= kTeamCount) return LineOutcome::Skipped;

    const TeamRecord& sourceTeam = source->team[t];
    team = sourceTeam;
    for (int k = 0; k < kSlotCount; ++k) {
        if (sourceTeam.vek[k] == nullptr) continue;
        const int i = internVek(frame, *sourceTeam.vek[k]);
        if (i < 0) return LineOutcome::Aborted;
        team.vek[k] = &frame.image->vek[i];
    }
    return LineOutcome::Placed;
}

}  // namespace

int ManageTeamData(std::FILE* script, std::FILE* out) {
    static const AssemblyTask task{"not enough memory in ManageTeamData\n", copyTeamLine};
    return runAssembly(task, script, out);
}

}  // namespace rostrix
