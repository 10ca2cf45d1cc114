#include "teams/vek_script.h"

#include <cstring>

#include "sqd/cache.h"
#include "teams/assembly.h"
#include "teams/auto_name.h"
#include "teams/formation.h"

namespace rostrix {

namespace {

void clearSlotsFrom(TeamRecord& team, int k) {
    for (; k < kSlotCount; ++k) clearSlot(team, k);
}

LineOutcome composeTeamLine(AssemblyFrame& frame, TeamRecord& team, const char* playerColumn, FieldCursor& rest) {
    if (playerColumn[0] == '-') {
        // The default name fills 28 bytes; the rest of the field stays zero.
        std::memcpy(team.player, defaultPlayerName, kPlayerNameSize);
    } else {
        copyField(team.player, playerColumn, kTeamPlayerSize);
    }
    const char* nameColumn = nextField(rest);
    if (nameColumn == nullptr) return LineOutcome::Skipped;
    if (nameColumn[0] != '-') copyField(team.name, nameColumn, kTeamNameSize);

    bool blockTaken = false;
    for (int k = 0; k < kSlotCount; ++k) {
        const char* path = nextField(rest);
        const char* indexColumn = path != nullptr ? nextField(rest) : nullptr;
        if (indexColumn == nullptr) {
            clearSlotsFrom(team, k);
            break;
        }
        const int index = scriptNumber(indexColumn);
        if (index == -1) {
            // An empty slot; its cell column, if any, means nothing.
            clearSlot(team, k);
            nextField(rest);
            continue;
        }
        if (index < -1 || index >= kVekCount) {
            clearSlotsFrom(team, k);
            break;
        }
        // The file is loaded before the cell is read, so a group without a
        // cell still loads it.
        const VekRecord* unit = getVek(path, index);
        const char* positionColumn = nextField(rest);
        if (positionColumn == nullptr) {
            clearSlotsFrom(team, k);
            break;
        }
        const int position = scriptNumber(positionColumn);
        if (unit == nullptr || position < 0 || position >= kCellCount) {
            clearSlot(team, k);
            continue;
        }
        team.position[k] = static_cast<std::uint8_t>(position);
        if (!blockTaken) {
            std::memcpy(team.block, unit->data + kVekBlockOffset, kTeamBlockSize);
            blockTaken = true;
        }
        const int i = internVek(frame, *unit);
        if (i < 0) return LineOutcome::Aborted;
        team.vek[k] = &frame.image->vek[i];
    }
    repairFormation(team);
    if (team.name[0] == '\0' && autoNameChars != 0) makeAutoTeamName(team);
    return LineOutcome::Placed;
}

}  // namespace

int BuildTeamData(std::FILE* script, std::FILE* out) {
    static const AssemblyTask task{"not enough memory in BuildTeamData\n", composeTeamLine};
    return runAssembly(task, script, out);
}

}  // namespace rostrix
