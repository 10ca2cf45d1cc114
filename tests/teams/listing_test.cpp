// The listing (-l and -k) byte for byte: which teams are listed, the 13
// columns of a team-script line, the unit lines, the -V messages and the
// files that cannot be listed.
#include <gtest/gtest.h>

#include <string>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/layout.h"
#include "support/messages.h"
#include "teams/listing.h"

namespace rostrix {

namespace {

// One save file with every case the listing tells apart:
//  team 0  three filled slots
//  team 1  in use, no unit                     -> not listed
//  team 2  only slot 2 filled, position 200
//  team 3  units, status 0                     -> not listed
//  team 4  units, status 0x10000 (low word 0)  -> not listed
//  team 6  units, status 1
//  team 15 names that fill their fields
// Unit 10 and team 6 hold text after a NUL, which is never printed.
SaveBuilder mixedSave() {
    SaveBuilder save;
    save.player("Owner");
    save.unit(3, "Pike", 1).unit(7, "Lance", 2).unit(31, "Bow", 3).unit(5, "Scout", 4);
    save.unit(9, std::string(29, 'U'), 5).unit(10, std::string_view("Ax\0hidden", 9), 6);
    save.team(0, "Alpha", "Ann").slot(0, 0, 3, 0).slot(0, 1, 7, 4).slot(0, 2, 31, 8);
    save.team(1, "Empty", "Nobody");
    save.team(2, "Tail", "Tia").slot(2, 2, 5, 200);
    save.team(3, "Gone", "Gil").slot(3, 0, 3, 1).teamStatus(3, 0);
    save.team(4, "High", "Hal").slot(4, 1, 7, 2).teamStatus(4, 0x10000);
    save.team(6, std::string_view("Odd\0hidden", 10), "").slot(6, 0, 5, 6).teamStatus(6, 1);
    save.team(15, std::string(25, 'N'), std::string(39, 'P')).slot(15, 0, 9, 3).slot(15, 1, 10, 5);
    // The bytes after a full-width player name must not leak into the line.
    save.byte(kTeamTableOffset + kTeamRecordSize * 15 + kTeamPlayerOffset + kTeamPlayerSize, 'Z');
    return save;
}

const std::string kNameN(25, 'N');
const std::string kPlayerP(39, 'P');
const std::string kUnitU(29, 'U');

std::string mixedTeamLines(const std::string& path) {
    return path + "\t0\t3\t0\t7\t4\t31\t8\tAnn\tAlpha\tPike\tLance\tBow\n" +
           path + "\t2\t-1\t-1\t-1\t-1\t5\t200\tTia\tTail\t\t\tScout\n" +
           path + "\t6\t5\t6\t-1\t-1\t-1\t-1\t\tOdd\tScout\t\t\n" +
           path + "\t15\t9\t3\t10\t5\t-1\t-1\t" + kPlayerP + "\t" + kNameN + "\t" + kUnitU + "\tAx\t\n";
}

std::string mixedUnitLines(const std::string& path) {
    return path + "\t3\t0\tPike\n" + path + "\t7\t4\tLance\n" + path + "\t31\t8\tBow\n" +
           path + "\t5\t200\tScout\n" +
           path + "\t5\t6\tScout\n" +
           path + "\t9\t3\t" + kUnitU + "\n" + path + "\t10\t5\tAx\n";
}

std::string listed(const std::string& path) {
    CapturedStream out;
    DumpTeamData(path.c_str(), out.stream());
    return out.text();
}

}  // namespace

TEST(ListingTest, TeamScriptLinesByteForByte) {
    ToolState state;
    TempDir dir;
    // The path is printed exactly as given, "/./" and all.
    const std::string path = dir.path() + "/./mixed.sqd";
    mixedSave().writeTo(path);
    EXPECT_EQ(listed(path), mixedTeamLines(path));
    EXPECT_EQ(state.messages(), "");
}

TEST(ListingTest, UnitLinesInSlotOrder) {
    ToolState state;
    listUnits = 1;
    TempDir dir;
    const std::string path = dir.file("mixed.sqd");
    mixedSave().writeTo(path);
    EXPECT_EQ(listed(path), mixedUnitLines(path));
    EXPECT_EQ(state.messages(), "");
}

TEST(ListingTest, VerboseMessagesCountTeamsFromOne) {
    ToolState state;
    verbose = 1;
    TempDir dir;
    const std::string path = dir.file("mixed.sqd");
    mixedSave().writeTo(path);
    EXPECT_EQ(listed(path), mixedTeamLines(path));
    EXPECT_EQ(state.messages(),
              "File:[" + path + "]\nDump team 1\nDump team 3\nDump team 7\nDump team 16\nCompleted\n");
}

TEST(ListingTest, MessagesAndLinesOnOneStreamInterleave) {
    ToolState state;
    verbose = 1;
    listUnits = 1;
    TempDir dir;
    const std::string path = dir.file("two.sqd");
    SaveBuilder().unit(0, "Ant").unit(1, "Bee").team(0, "T", "P").slot(0, 0, 0, 1).slot(0, 2, 1, 2)
        .team(4, "U", "Q").slot(4, 1, 1, 7).writeTo(path);
    CapturedStream out;
    msgStream = out.stream();
    DumpTeamData(path.c_str(), out.stream());
    EXPECT_EQ(out.text(), "File:[" + path + "]\nDump team 1\n" + path + "\t0\t1\tAnt\n" + path + "\t1\t2\tBee\n" +
                              "Dump team 5\n" + path + "\t1\t7\tBee\nCompleted\n");
}

TEST(ListingTest, FileWithoutPresentTeamListsNothing) {
    ToolState state;
    verbose = 1;
    TempDir dir;
    const std::string path = dir.file("none.sqd");
    // In use without units, and units without the in-use mark.
    SaveBuilder().unit(0, "Ant").team(0, "A", "B").team(1, "C", "D").slot(1, 0, 0, 0).teamStatus(1, 0).writeTo(path);
    for (int units = 0; units <= 1; ++units) {
        listUnits = units;
        EXPECT_EQ(listed(path), "");
    }
    EXPECT_EQ(state.messages(), "File:[" + path + "]\nCompleted\nFile:[" + path + "]\nCompleted\n");
}

TEST(ListingTest, SameFileTwiceIsListedTwice) {
    ToolState state;
    TempDir dir;
    const std::string path = dir.file("mixed.sqd");
    mixedSave().writeTo(path);
    CapturedStream out;
    DumpTeamData(path.c_str(), out.stream());
    DumpTeamData(path.c_str(), out.stream());
    EXPECT_EQ(out.text(), mixedTeamLines(path) + mixedTeamLines(path));
}

TEST(ListingTest, FileThatCannotBeOpenedIsSkipped) {
    for (int verboseRun = 0; verboseRun <= 1; ++verboseRun) {
        SCOPED_TRACE(verboseRun);
        ToolState state;
        verbose = verboseRun;
        TempDir dir;
        const std::string missing = dir.file("missing.sqd");
        const std::string good = dir.file("mixed.sqd");
        mixedSave().writeTo(good);
        CapturedStream out;
        DumpTeamData(missing.c_str(), out.stream());
        DumpTeamData(good.c_str(), out.stream());
        // A failure lists nothing and does not disturb the next file.
        EXPECT_EQ(out.text(), mixedTeamLines(good));
        const std::string failure = "fail to open " + missing + " : No such file or directory\n";
        if (verboseRun) {
            EXPECT_EQ(state.messages(), failure + "Fail to dump " + missing + "\nFile:[" + good +
                                            "]\nDump team 1\nDump team 3\nDump team 7\nDump team 16\nCompleted\n");
        } else {
            EXPECT_EQ(state.messages(), failure);
        }
    }
}

}  // namespace rostrix
