#include "teams/vek_script.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/cache.h"
#include "sqd/reader.h"
#include "support/messages.h"
#include "teams/auto_name.h"
#include "teams/formation.h"
#include "teams/random.h"

namespace rostrix {
namespace {

struct ImageDeleter {
    void operator()(SqdImage* image) const { freeSQDimage(image); }
};
using ImagePtr = std::unique_ptr<SqdImage, ImageDeleter>;

const std::string kDefaultPlayer(reinterpret_cast<const char*>(defaultPlayerName), kPlayerNameSize);
// The default player name as a listing or report prints it: up to its NUL.
const std::string kDefaultPlayerText = "\x83\x76\x83\x8C\x83\x43\x83\x84\x81\x5B";

std::string tabbed(const std::vector<std::string>& columns) {
    std::string line;
    for (const std::string& column : columns) line += (line.empty() ? "" : "\t") + column;
    return line + "\n";
}

// Where each named unit of the two source saves comes from.
struct UnitOrigin {
    char file;  // 'A' or 'B'
    int index;
};
const std::map<std::string, UnitOrigin> kUnits = {
    {"Apple", {'A', 0}}, {"Alpha", {'A', 3}}, {"Amber", {'A', 5}}, {"Bravo", {'B', 0}}, {"Berry", {'B', 7}}};

// Two source saves in a scratch directory, A (units Apple 0, Alpha 3, Amber
// 5, and one team of its own) and B (units Bravo 0, Berry 7); BuildTeamData
// run in-process, its file read back.
class VekScript : public ::testing::Test {
protected:
    void SetUp() override {
        paths['A'] = dir.file("a.sqd");
        paths['B'] = dir.file("b.sqd");
        paths['X'] = dir.file("missing.sqd");
        // A second spelling of A's path.
        paths['S'] = dir.path() + "//a.sqd";
        SaveBuilder a;
        a.unit(0, "Apple", 10).unit(3, "Alpha", 13).unit(5, "Amber", 15);
        a.team(0, "Guard", "Ann", 1).slot(0, 0, 3, 4);
        a.writeTo(paths['A']);
        sources['A'] = a.bytes();
        SaveBuilder b;
        b.unit(0, "Bravo", 20).unit(7, "Berry", 27);
        b.writeTo(paths['B']);
        sources['B'] = b.bytes();
    }

    // Runs -b over `script`; the written file is in `written` and, when it
    // is a whole save file, parsed in `output`.
    int build(const std::string& script) {
        ScriptStream in(script);
        const std::string outPath = dir.file("out.sqd");
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        EXPECT_NE(out, nullptr);
        const int status = BuildTeamData(in.stream(), out);
        std::fclose(out);
        written = readFileBytes(outPath);
        output.reset();
        if (written.size() == kSaveFileSize) {
            std::vector<unsigned char> buffer(kLoadBufferSize);
            EXPECT_EQ(readSQDfile(outPath.c_str(), buffer.data()), 0);
            output.reset(parseSQDfile(outPath.c_str(), buffer.data()));
        }
        return status;
    }

    // The source bytes of a unit record, or of its `size` bytes from `offset`.
    std::vector<std::uint8_t> sourceUnit(const std::string& name, std::size_t offset = 0,
                                         std::size_t size = kVekRecordSize) const {
        const UnitOrigin origin = kUnits.at(name);
        const std::size_t start = kVekTableOffset + kVekRecordSize * static_cast<std::size_t>(origin.index) + offset;
        const std::uint8_t* bytes = sources.at(origin.file).data() + start;
        return {bytes, bytes + size};
    }

    // The name of the unit in slot k of output team j, "" when empty.
    std::string slotUnit(int j, int k) const {
        const VekRecord* vek = output->team[j].vek[k];
        if (vek == nullptr) return "";
        return fieldText(vekName(*vek), kVekNameSize).text;
    }
    // Its place in the output's unit table, -1 when empty.
    int slotIndex(int j, int k) const {
        const VekRecord* vek = output->team[j].vek[k];
        return vek == nullptr ? -1 : static_cast<int>(vek - output->vek);
    }
    std::vector<std::uint8_t> outputUnit(int i) const {
        return {output->vek[i].data, output->vek[i].data + kVekRecordSize};
    }
    std::vector<std::uint8_t> block(int j) const {
        return {output->team[j].block, output->team[j].block + kTeamBlockSize};
    }
    static std::string field(const char* bytes, std::size_t width) { return std::string(bytes, width); }
    bool vacant(int i) const {
        return output->vek[i].data[kVekNameOffset] == kVacantVekFill &&
               output->vek[i].data[kVekMarkOffset + kVekMarkSize - 1] == kVacantVekFill;
    }

    // The files the cache has loaded, in load order, as the letters of paths.
    std::string loadedFiles() const {
        std::string letters;
        for (int i = 0; i < recordCount(SqdArray); ++i) {
            SqdImage* image;
            std::memcpy(&image, getRecord(SqdArray, i), sizeof image);
            char letter = '?';
            for (const auto& [key, path] : paths) {
                if (path == image->path) letter = key;
            }
            letters += letter;
        }
        return letters;
    }

    TempDir dir;
    ToolState state;
    std::map<char, std::string> paths;
    std::map<char, std::vector<std::uint8_t>> sources;
    std::vector<std::uint8_t> written;
    ImagePtr output;
};

TEST_F(VekScript, WorkedLineComposesOneTeamAndRepairsItsCells) {
    const struct {
        RepositionFn strategy;
        int movedTo;
    } strategies[] = {{repositionInRow, 5}, {repositionInColumn, 7}};
    for (const auto& s : strategies) {
        SCOPED_TRACE(s.movedTo);
        repositionFn = s.strategy;
        ASSERT_EQ(build(tabbed({"-", "-", paths['A'], "3", "4", paths['B'], "0", "4", paths['A'], "-1", "-1"})), 0);
        ASSERT_TRUE(output);
        const TeamRecord& team = output->team[0];
        EXPECT_EQ(team.present, kTeamStatusInUse);
        // The default player fills 28 bytes, and the last 11 stay zero.
        EXPECT_EQ(field(team.player, kPlayerNameSize), kDefaultPlayer);
        EXPECT_EQ(field(team.player + kPlayerNameSize, kTeamPlayerSize - kPlayerNameSize), std::string(11, '\0'));
        EXPECT_EQ(field(team.name, kTeamNameSize), std::string(kTeamNameSize, '\0'));
        EXPECT_EQ(slotUnit(0, 0), "Alpha");
        EXPECT_EQ(slotUnit(0, 1), "Bravo");
        EXPECT_EQ(slotUnit(0, 2), "");
        EXPECT_EQ(team.position[0], 4);
        EXPECT_EQ(team.position[1], s.movedTo);
        EXPECT_EQ(team.position[2], kEmptySlotByte);
        EXPECT_EQ(block(0), sourceUnit("Alpha", kVekBlockOffset, kTeamBlockSize));
        // Alpha then Bravo take the first two places, whole; the rest are vacant.
        EXPECT_EQ(slotIndex(0, 0), 0);
        EXPECT_EQ(slotIndex(0, 1), 1);
        EXPECT_EQ(outputUnit(0), sourceUnit("Alpha"));
        EXPECT_EQ(outputUnit(1), sourceUnit("Bravo"));
        for (int i = 2; i < kVekCount; ++i) EXPECT_TRUE(vacant(i)) << "unit " << i;
        for (int j = 1; j < kTeamCount; ++j) EXPECT_EQ(output->team[j].present, 0) << "team " << j;
        EXPECT_EQ(state.messages(), "");
    }
}

TEST_F(VekScript, HyphenAndHyphenPlacesAnEmptyTeam) {
    verbose = 1;
    autoNameChars = 2;
    ASSERT_EQ(build("-\t-\n-\tSecond\t" + paths['B'] + "\t0\t1\n"), 0);
    ASSERT_TRUE(output);
    const TeamRecord& empty = output->team[0];
    // It takes its place but the file marks it absent; its name stays empty
    // even with automatic naming.
    EXPECT_EQ(empty.present, 0);
    EXPECT_EQ(field(empty.player, kPlayerNameSize), kDefaultPlayer);
    EXPECT_EQ(field(empty.name, kTeamNameSize), std::string(kTeamNameSize, '\0'));
    EXPECT_EQ(block(0), std::vector<std::uint8_t>(kTeamBlockSize, 0));
    for (int k = 0; k < kSlotCount; ++k) EXPECT_EQ(slotIndex(0, k), -1);
    EXPECT_EQ(field(output->team[1].name, 6), "Second");
    EXPECT_EQ(slotUnit(1, 0), "Bravo");
    EXPECT_NE(state.messages().find("add Team 1:(" + kDefaultPlayerText + ")\nFile:["), std::string::npos)
        << state.messages();
}

TEST_F(VekScript, PlayerAndNameColumns) {
    const std::string longPlayer(45, 'P');
    const std::string longName(30, 'N');
    ASSERT_EQ(build(tabbed({"-x", "-y", paths['A'], "3", "4"}) + tabbed({"Ann", "Guard", paths['A'], "3", "4"}) +
                    tabbed({longPlayer, longName, paths['A'], "3", "4"})),
              0);
    ASSERT_TRUE(output);
    // A column that begins with a hyphen is the default, whatever follows.
    EXPECT_EQ(field(output->team[0].player, kPlayerNameSize), kDefaultPlayer);
    EXPECT_EQ(field(output->team[0].name, kTeamNameSize), std::string(kTeamNameSize, '\0'));
    EXPECT_EQ(field(output->team[1].player, kTeamPlayerSize), "Ann" + std::string(36, '\0'));
    EXPECT_EQ(field(output->team[1].name, kTeamNameSize), "Guard" + std::string(20, '\0'));
    // Long columns fill their fields with no terminator.
    EXPECT_EQ(field(output->team[2].player, kTeamPlayerSize), std::string(kTeamPlayerSize, 'P'));
    EXPECT_EQ(field(output->team[2].name, kTeamNameSize), std::string(kTeamNameSize, 'N'));
}

struct ExpectedSlot {
    const char* unit;  // nullptr: empty
    int cell;
};
inline constexpr ExpectedSlot kNone{nullptr, 0};

struct SlotRuleCase {
    const char* label;
    // The columns after "-", "-"; "A", "B", "X" (a missing file), "L" (A's
    // path padded to 1024 bytes) and "K" (padded to 1023) stand for paths.
    std::vector<std::string> columns;
    ExpectedSlot slots[kSlotCount];
    const char* loaded;     // files in the cache afterwards, in load order
    const char* failedPath; // the path whose load fails with a message, or nullptr
    const char* reason;     // that message's reason
};

void PrintTo(const SlotRuleCase& c, std::ostream* os) { *os << c.label; }

class VekScriptSlotRules : public VekScript, public ::testing::WithParamInterface<SlotRuleCase> {
protected:
    // A's path with extra slashes after the directory, `length` bytes long.
    std::string paddedPathA(std::size_t length) const {
        const std::string tail = "a.sqd";
        return dir.path() + std::string(length - dir.path().size() - tail.size(), '/') + tail;
    }
};

TEST_P(VekScriptSlotRules, FillsEmptiesOrStopsSlots) {
    const SlotRuleCase& c = GetParam();
    paths['L'] = paddedPathA(kPathFieldSize);
    paths['K'] = paddedPathA(kPathFieldSize - 1);
    std::vector<std::string> columns = {"-", "-"};
    for (const std::string& column : c.columns) {
        columns.push_back(column.size() == 1 && paths.count(column[0]) ? paths[column[0]] : column);
    }
    ASSERT_EQ(build(tabbed(columns)), 0);
    ASSERT_TRUE(output);

    const char* firstFilled = nullptr;
    for (int k = 0; k < kSlotCount; ++k) {
        const ExpectedSlot& slot = c.slots[k];
        if (slot.unit == nullptr) {
            EXPECT_EQ(slotUnit(0, k), "") << "slot " << k;
            EXPECT_EQ(output->team[0].position[k], kEmptySlotByte) << "slot " << k;
            continue;
        }
        if (firstFilled == nullptr) firstFilled = slot.unit;
        EXPECT_EQ(slotUnit(0, k), slot.unit) << "slot " << k;
        EXPECT_EQ(output->team[0].position[k], slot.cell) << "slot " << k;
    }
    // The block comes from the first filled slot, whichever that is.
    if (firstFilled == nullptr) {
        EXPECT_EQ(block(0), std::vector<std::uint8_t>(kTeamBlockSize, 0));
    } else {
        EXPECT_EQ(block(0), sourceUnit(firstFilled, kVekBlockOffset, kTeamBlockSize));
    }
    EXPECT_EQ(loadedFiles(), c.loaded);
    const std::string expectedMessages =
        c.failedPath == nullptr ? "" : "fail to open " + paths[c.failedPath[0]] + " : " + c.reason + "\n";
    EXPECT_EQ(state.messages(), expectedMessages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VekScriptSlotRules,
    ::testing::Values(
        SlotRuleCase{"no slot columns", {}, {kNone, kNone, kNone}, "", nullptr, nullptr},
        SlotRuleCase{"path without index", {"A"}, {kNone, kNone, kNone}, "", nullptr, nullptr},
        SlotRuleCase{"index without position loads the file", {"A", "3"}, {kNone, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"one whole group", {"A", "3", "4"}, {{"Alpha", 4}, kNone, kNone}, "A", nullptr, nullptr},
        SlotRuleCase{"second path without index", {"A", "3", "4", "B"}, {{"Alpha", 4}, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"second group without position", {"A", "3", "4", "B", "0"}, {{"Alpha", 4}, kNone, kNone}, "AB",
                     nullptr, nullptr},
        SlotRuleCase{"third group without position",
                     {"B", "7", "4", "B", "0", "2", "A", "5"},
                     {{"Berry", 4}, {"Bravo", 2}, kNone},
                     "BA",
                     nullptr,
                     nullptr},
        SlotRuleCase{"index -1 with a position loads nothing",
                     {"X", "-1", "4", "B", "0", "2"},
                     {kNone, {"Bravo", 2}, kNone},
                     "B",
                     nullptr,
                     nullptr},
        SlotRuleCase{"index -1 without a position", {"X", "-1"}, {kNone, kNone, kNone}, "", nullptr, nullptr},
        SlotRuleCase{"index -1 in the third slot",
                     {"A", "3", "4", "B", "0", "2", "X", "-1", "-1"},
                     {{"Alpha", 4}, {"Bravo", 2}, kNone},
                     "AB",
                     nullptr,
                     nullptr},
        SlotRuleCase{"index 32 stops the later slots",
                     {"A", "3", "4", "B", "32", "1", "B", "0", "2"},
                     {{"Alpha", 4}, kNone, kNone},
                     "A",
                     nullptr,
                     nullptr},
        SlotRuleCase{"index -2 stops the later slots",
                     {"A", "3", "4", "B", "-2", "1", "B", "0", "2"},
                     {{"Alpha", 4}, kNone, kNone},
                     "A",
                     nullptr,
                     nullptr},
        SlotRuleCase{"index 32 in the first slot", {"A", "32", "4", "B", "0", "2"}, {kNone, kNone, kNone}, "", nullptr,
                     nullptr},
        SlotRuleCase{"position 9 empties one slot",
                     {"A", "3", "9", "B", "0", "2"},
                     {kNone, {"Bravo", 2}, kNone},
                     "AB",
                     nullptr,
                     nullptr},
        SlotRuleCase{"position -1 empties one slot",
                     {"A", "3", "-1", "B", "0", "2", "A", "5", "8"},
                     {kNone, {"Bravo", 2}, {"Amber", 8}},
                     "AB",
                     nullptr,
                     nullptr},
        SlotRuleCase{"unloadable path empties one slot",
                     {"X", "3", "4", "B", "0", "2"},
                     {kNone, {"Bravo", 2}, kNone},
                     "B",
                     "X",
                     "No such file or directory"},
        SlotRuleCase{"path of 1024 bytes is refused",
                     {"L", "3", "4", "B", "0", "2"},
                     {kNone, {"Bravo", 2}, kNone},
                     "B",
                     "L",
                     "File name too long"},
        SlotRuleCase{"path of 1023 bytes loads", {"K", "3", "4"}, {{"Alpha", 4}, kNone, kNone}, "K", nullptr, nullptr},
        SlotRuleCase{"index of letters is unit 0", {"A", "x3", "4"}, {{"Apple", 4}, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"index 5 then letters is unit 5", {"A", "5abc", "4"}, {{"Amber", 4}, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"index wraps modulo 2^32", {"A", "4294967299", "4"}, {{"Alpha", 4}, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"position of letters is cell 0", {"A", "3", "c"}, {{"Alpha", 0}, kNone, kNone}, "A", nullptr,
                     nullptr},
        SlotRuleCase{"negative position wraps modulo 2^32",
                     {"A", "3", "-4294967295"},
                     {{"Alpha", 1}, kNone, kNone},
                     "A",
                     nullptr,
                     nullptr},
        SlotRuleCase{"columns after the eleventh are ignored",
                     {"A", "3", "0", "B", "0", "1", "A", "5", "2", "B", "7", "3"},
                     {{"Alpha", 0}, {"Bravo", 1}, {"Amber", 2}},
                     "AB",
                     nullptr,
                     nullptr}),
    [](const ::testing::TestParamInfo<SlotRuleCase>& info) {
        std::string name;
        for (const char* p = info.param.label; *p != '\0'; ++p) {
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        }
        return name;
    });

TEST_F(VekScript, LineWithoutNameColumnLeavesNoTrace) {
    verbose = 1;
    ASSERT_EQ(build(tabbed({"-", "Kept", paths['A'], "3", "4"}) + "LonePlayer\n"), 0);
    ASSERT_TRUE(output);
    // The record the abandoned line began stays all zero in the file.
    const std::uint8_t* second = written.data() + kTeamTableOffset + kTeamRecordSize;
    EXPECT_EQ(std::vector<std::uint8_t>(second + kTeamNameOffset, second + kTeamPlayerOffset + kTeamPlayerSize),
              std::vector<std::uint8_t>(kTeamNameSize + kTeamPlayerSize, 0));
    EXPECT_EQ(state.messages().find("add Team 2"), std::string::npos);

    // Alone, it places no team and nothing is written.
    ASSERT_EQ(build("LonePlayer\n"), 0);
    EXPECT_TRUE(written.empty());
    EXPECT_NE(state.messages().find("no team data!\n"), std::string::npos);
}

TEST_F(VekScript, LongLinesAreReadWhole) {
    const std::string player(3000, 'P');
    ASSERT_EQ(build(tabbed({player, "-", paths['A'], "3", "4"}) + tabbed({"-", "-", paths['B'], "0", "1"})), 0);
    ASSERT_TRUE(output);
    EXPECT_EQ(field(output->team[0].player, kTeamPlayerSize), std::string(kTeamPlayerSize, 'P'));
    EXPECT_EQ(slotUnit(0, 0), "Alpha");
    EXPECT_EQ(slotUnit(1, 0), "Bravo");
    EXPECT_EQ(field(output->team[2].player, kTeamPlayerSize), std::string(kTeamPlayerSize, '\0'));
}

TEST_F(VekScript, FailedWriteReturnsMinusOne) {
    ScriptStream in(tabbed({"-", "-", paths['A'], "3", "4"}));
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(BuildTeamData(in.stream(), full), -1);
    std::fclose(full);
    EXPECT_EQ(state.messages(), "fail to fwrite in saveSQDBLOCK : No space left on device\ntask aborted.\n");
}

// The draws of automatic names, as the model generator makes them.
struct NameDraws : ModelGenerator {
    // Whether the next name starts at `start` and runs rising (direction above 50).
    bool nextNameIs(int start, bool rising) {
        const int s = this->start();
        const int d = direction();
        return s == start && (d > 50) == rising;
    }
};

TEST_F(VekScript, AutomaticNamesUnderAFixedSeed) {
    verbose = 1;
    autoNameChars = 2;
    // A seed whose first name starts at slot 1 and falls, and whose second
    // starts at slot 2 and rises; a named team in between draws nothing.
    std::uint32_t seed = 1;
    for (;; ++seed) {
        ASSERT_LT(seed, 10'000'000u) << "no seed found";
        NameDraws g{seed};
        if (g.nextNameIs(1, false) && g.nextNameIs(2, true)) break;
    }
    NameDraws after{seed};
    after.nextNameIs(1, false);
    after.nextNameIs(2, true);
    seedRandom(seed);
    ASSERT_EQ(build(tabbed({"-", "-", paths['A'], "3", "4", paths['B'], "0", "4"}) +
                    tabbed({"-", "Keep", paths['A'], "5", "1"}) +
                    tabbed({"-", "-", paths['B'], "7", "0", paths['A'], "0", "1", paths['A'], "5", "2"})),
              0);
    ASSERT_TRUE(output);
    // Pieces Alph, Brav and an empty third: from slot 1 falling, Brav Alph.
    EXPECT_EQ(field(output->team[0].name, kTeamNameSize), "BravAlph" + std::string(17, '\0'));
    EXPECT_EQ(field(output->team[1].name, 4), "Keep");
    // Pieces Berr, Appl, Ambe: from slot 2 rising, Ambe Berr Appl.
    EXPECT_EQ(field(output->team[2].name, kTeamNameSize), "AmbeBerrAppl" + std::string(13, '\0'));
    EXPECT_EQ(nextRandom(), after.next()) << "two names make four draws";
    // The report shows the name made after the repair.
    const std::string text = state.messages();
    EXPECT_NE(text.find("add Team 1:BravAlph(" + kDefaultPlayerText + ")\n"), std::string::npos) << text;
    EXPECT_NE(text.find("add Team 3:AmbeBerrAppl(" + kDefaultPlayerText + ")\n"), std::string::npos) << text;
    EXPECT_EQ(output->team[0].position[1], 5);
}

TEST_F(VekScript, UnitsAreStoredOncePerFileSpelling) {
    verbose = 1;
    ASSERT_EQ(build(tabbed({"-", "-", paths['A'], "3", "4", paths['A'], "3", "5"}) +
                    tabbed({"-", "-", paths['B'], "0", "0", paths['A'], "3", "1"}) +
                    tabbed({"-", "-", paths['S'], "3", "2"})),
              0);
    ASSERT_TRUE(output);
    // One line naming a unit twice, and a later line naming it again.
    EXPECT_EQ(slotIndex(0, 0), 0);
    EXPECT_EQ(slotIndex(0, 1), 0);
    EXPECT_EQ(slotIndex(1, 0), 1);
    EXPECT_EQ(slotIndex(1, 1), 0);
    // Another spelling of A's path is another file: loaded and stored again.
    EXPECT_EQ(slotIndex(2, 0), 2);
    EXPECT_EQ(outputUnit(0), sourceUnit("Alpha"));
    EXPECT_EQ(outputUnit(1), sourceUnit("Bravo"));
    EXPECT_EQ(outputUnit(2), sourceUnit("Alpha"));
    EXPECT_TRUE(vacant(3));
    EXPECT_EQ(loadedFiles(), "ABS");
    const std::string text = state.messages();
    const std::string fileA = "File:[" + paths['A'] + "]\n";
    EXPECT_EQ(text.find(fileA), text.rfind(fileA)) << "A is read once";
}

struct TeamLimitCase {
    const char* label;
    std::string after;  // what follows sixteen counted lines
    bool aborts;
};

// Shown by its label; the struct's padding is no value to print.
void PrintTo(const TeamLimitCase& c, std::ostream* os) { *os << c.label; }

class VekScriptTeamLimit : public VekScript, public ::testing::WithParamInterface<TeamLimitCase> {};

TEST_P(VekScriptTeamLimit, SeventeenthLineWithAColumnAborts) {
    const TeamLimitCase& c = GetParam();
    verbose = 1;
    std::string script;
    for (int j = 0; j < kTeamCount; ++j) script += tabbed({"-", "T" + std::to_string(j), paths['A'], "3", "4"});
    ASSERT_EQ(build(script + c.after), 0);
    if (c.aborts) {
        EXPECT_TRUE(written.empty());
        const std::string tail = "add Team 16:T15(" + kDefaultPlayerText +
                                 ")\nToo many Team or VEK data!\nTask aborted.\nno team data!\n";
        EXPECT_TRUE(state.messages().ends_with(tail)) << state.messages();
    } else {
        ASSERT_TRUE(output);
        EXPECT_EQ(field(output->team[15].name, 3), "T15");
        EXPECT_TRUE(state.messages().ends_with("Completed\n"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, VekScriptTeamLimit,
                         ::testing::Values(TeamLimitCase{"one column", "x\n", true},
                                           TeamLimitCase{"a whole line", "-\t-\n", true},
                                           TeamLimitCase{"comment", "#\t-\n", false},
                                           TeamLimitCase{"blank line", "\n", false},
                                           TeamLimitCase{"separators alone", "\t\t\r\n", false},
                                           TeamLimitCase{"first byte NUL", std::string("\0x\t-\n", 5), false}),
                         [](const ::testing::TestParamInfo<TeamLimitCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

TEST_F(VekScript, ThirtyTwoUnitsFillTheTable) {
    // Ten lines of three units of A and one of two: 32 distinct units.
    std::string full;
    for (int i = 0; i < kVekCount; i += 3) {
        std::vector<std::string> columns = {"-", "-"};
        for (int k = 0; k < kSlotCount && i + k < kVekCount; ++k) {
            columns.insert(columns.end(), {paths['A'], std::to_string(i + k), std::to_string(k)});
        }
        full += tabbed(columns);
    }
    verbose = 1;
    const struct {
        const char* label;
        std::string script;
        const char* tail;  // of the messages; nullptr when the file is written
    } cases[] = {
        {"exactly 32", full, nullptr},
        // Any further line aborts, even one that names only a stored unit.
        {"a line after 32", full + tabbed({"-", "-", paths['A'], "3", "0"}),
         "Too many Team or VEK data!\nTask aborted.\nno team data!\n"},
        {"a 33rd unit in a line",
         full.substr(0, full.rfind(paths['A'] + "\t30")) +
             tabbed({paths['A'], "30", "0", paths['A'], "31", "1", paths['B'], "0", "2"}),
         "Too many VEK data!\nTask aborted.\nno team data!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(build(c.script), 0);
        if (c.tail == nullptr) {
            ASSERT_TRUE(output);
            for (int i = 0; i < kVekCount; ++i) EXPECT_FALSE(vacant(i)) << "unit " << i;
            EXPECT_EQ(outputUnit(3), sourceUnit("Alpha"));
        } else {
            EXPECT_TRUE(written.empty());
            EXPECT_TRUE(state.messages().ends_with(c.tail)) << state.messages();
        }
    }
}

TEST_F(VekScript, VerboseReportsInOrder) {
    verbose = 1;
    ASSERT_EQ(build(tabbed({"-", "-", paths['A'], "3", "4", paths['B'], "0", "4", paths['A'], "-1", "-1"}) +
                    tabbed({"Bob", "Named", paths['X'], "0", "0"})),
              0);
    ASSERT_TRUE(output);
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "Checksum:%08lx\n",
                  static_cast<unsigned long>(saveChecksum(written)));
    EXPECT_EQ(state.messages(), "File:[" + paths['A'] + "]\n" + "Read team 1 : Guard(Ann)\n" + "File:[" +
                                    paths['B'] + "]\n" + "add Team 1:(" + kDefaultPlayerText + ")\n" +
                                    "fail to open " + paths['X'] + " : No such file or directory\n" +
                                    "Fail to load " + paths['X'] + "\n" + "add Team 2:Named(Bob)\n" +
                                    "Save SQD file...\n" + checksum + "Completed\n");
}

}  // namespace
}  // namespace rostrix
