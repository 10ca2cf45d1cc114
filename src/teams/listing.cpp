#include "teams/listing.h"

#include "sqd/load_buffer.h"
#include "sqd/reader.h"
#include "support/messages.h"

namespace rostrix {

int listUnits = 0;

void writeTeamScriptLine(std::FILE* out, const char* path, int t, const TeamRecord& team) {
    std::fprintf(out, "%s\t%d\t", path, t);
    for (int k = 0; k < kSlotCount; ++k) {
        if (team.vek[k] != nullptr) {
            std::fprintf(out, "%d\t%d\t", static_cast<int>(team.vek[k]->sourceIndex), static_cast<int>(team.position[k]));
        } else {
            std::fputs("-1\t-1\t", out);
        }
    }
    std::fprintf(out, "%s\t", fieldText(team.player, kTeamPlayerSize).text);
    std::fputs(fieldText(team.name, kTeamNameSize).text, out);
    for (int k = 0; k < kSlotCount; ++k) {
        std::fputc('\t', out);
        if (team.vek[k] != nullptr) std::fputs(fieldText(vekName(*team.vek[k]), kVekNameSize).text, out);
    }
    std::fputc('\n', out);
}

void writeUnitLines(std::FILE* out, const char* path, const TeamRecord& team) {
    for (int k = 0; k < kSlotCount; ++k) {
        const VekRecord* vek = team.vek[k];
        if (vek == nullptr) continue;
        std::fprintf(out, "%s\t%d\t%d\t%s\n", path, static_cast<int>(vek->sourceIndex),
                     static_cast<int>(team.position[k]), fieldText(vekName(*vek), kVekNameSize).text);
    }
}

void DumpTeamData(const char* path, std::FILE* out) {
    SqdImage* image = nullptr;
    if (readSQDfile(path, ploadBuffer) == 0) image = parseSQDfile(path, ploadBuffer);
    if (image == nullptr) {
        progressf("Fail to dump %s\n", path);
        return;
    }
    progressf("File:[%s]\n", path);
    for (int t = 0; t < kTeamCount; ++t) {
        const TeamRecord& team = image->team[t];
        if (!isPresentTeam(team)) continue;
        progressf("Dump team %d\n", t + 1);
        if (listUnits) {
            writeUnitLines(out, path, team);
        } else {
            writeTeamScriptLine(out, path, t, team);
        }
    }
    progress("Completed\n");
    freeSQDimage(image);
}

}  // namespace rostrix
