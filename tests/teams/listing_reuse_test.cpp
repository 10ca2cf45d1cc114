// The listing parses every file of a run into one reused image and writes its
// lines without printf: a later file must show nothing of an earlier one, and
// every number must read as printf's %d would write it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/image.h"
#include "teams/listing.h"

namespace rostrix {

namespace {

// Every team present with three units whose names fill their field.
SaveBuilder fullSave() {
    SaveBuilder save;
    for (int i = 0; i < kVekCount; ++i) save.unit(i, std::string(29, static_cast<char>('a' + i % 26)), 1);
    for (int j = 0; j < kTeamCount; ++j) {
        save.team(j, std::string(25, 'N'), std::string(39, 'P'));
        for (int k = 0; k < kSlotCount; ++k) save.slot(j, k, static_cast<std::uint8_t>((j + k) % kVekCount), 8);
    }
    return save;
}

std::string decimal(long long value) { return std::to_string(value); }

}  // namespace

TEST(ListingReuse, EachFileListsOnlyItsOwnTeams) {
    ToolState state;
    TempDir dir;
    const std::string full = dir.file("full.sqd");
    const std::string sparse = dir.file("sparse.sqd");
    fullSave().writeTo(full);
    // One team, in a record the full file also uses, with shorter texts and
    // a unit whose name the full file had filled.
    SaveBuilder().unit(2, "Ab").team(5, "T", "P").slot(5, 1, 2, 4).writeTo(sparse);
    for (int units = 0; units <= 1; ++units) {
        SCOPED_TRACE(units);
        listUnits = units;
        CapturedStream fullAlone;
        DumpTeamData(full.c_str(), fullAlone.stream());
        CapturedStream both;
        DumpTeamData(full.c_str(), both.stream());
        DumpTeamData(sparse.c_str(), both.stream());
        const std::string sparseLines = units ? sparse + "\t2\t4\tAb\n" : sparse + "\t5\t-1\t-1\t2\t4\t-1\t-1\tP\tT\t\tAb\t\n";
        EXPECT_EQ(both.text(), fullAlone.text() + sparseLines);
    }
    EXPECT_EQ(state.messages(), "");
}

TEST(ListingReuse, NumbersReadAsPrintfWritesThem) {
    const int indexes[] = {0, 9, 10, 31, 99, 100, 255, 1000000, INT_MAX, -1, -10, INT_MIN};
    const std::uint8_t cells[] = {0, 9, 10, 99, 100, 255};
    VekRecord vek{};
    TeamRecord team{};
    team.vek[0] = &vek;
    team.position[1] = team.position[2] = kEmptySlotByte;
    for (const int index : indexes) {
        for (const std::uint8_t cell : cells) {
            SCOPED_TRACE(decimal(index) + " " + decimal(cell));
            vek.sourceIndex = index;
            team.position[0] = cell;
            CapturedStream units;
            writeUnitLines(units.stream(), "f", team);
            EXPECT_EQ(units.text(), "f\t" + decimal(index) + "\t" + decimal(cell) + "\t\n");
            CapturedStream line;
            writeTeamScriptLine(line.stream(), "f", index, team);
            EXPECT_EQ(line.text(), "f\t" + decimal(index) + "\t" + decimal(index) + "\t" + decimal(cell) +
                                       "\t-1\t-1\t-1\t-1\t\t\t\t\t\n");
        }
    }
}

}  // namespace rostrix
