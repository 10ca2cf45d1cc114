// Team-script assembly (-m): each line names a source save file and a team
// index; that team is copied whole, with its units stored once each, into a
// new save file. Every case runs in a scratch directory holding the source
// files, so that scripts name them by short relative paths; the new file is
// read back with the project's own reader.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/cache.h"
#include "sqd/image.h"
#include "sqd/layout.h"
#include "sqd/reader.h"
#include "support/le_bytes.h"
#include "support/messages.h"
#include "teams/listing.h"
#include "teams/team_script.h"

namespace rostrix {

namespace {

const std::string kFullName(25, 'N');
const std::string kFullPlayer(39, 'P');

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// a.sqd: units a0..a9 and every kind of team the copy must carry unchanged.
//  0 Ace   units 0, 1, 2 at cells 0, 4, 8
//  1 Bee   units 2 (shared with Ace) and 5, slot 1 empty
//  2 Cub   only slot 2, at position 200
//  3 Dot   in use, no unit
//  4 Eel   unit 7, status 0
//  5       a 25-byte name and a 39-byte player, unit 9
//  6..15   T06..T15, unit 8 each
SaveBuilder aSave() {
    SaveBuilder save;
    save.player("Alice");
    for (int i = 0; i < 10; ++i) save.unit(i, "a" + std::to_string(i), static_cast<std::uint8_t>(10 + i));
    save.team(0, "Ace", "pAce", 1).slot(0, 0, 0, 0).slot(0, 1, 1, 4).slot(0, 2, 2, 8);
    save.team(1, "Bee", "pBee", 2).slot(1, 0, 2, 3).slot(1, 2, 5, 5);
    save.team(2, "Cub", "pCub", 3).slot(2, 2, 6, 200);
    save.team(3, "Dot", "pDot", 4);
    save.team(4, "Eel", "pEel", 5).slot(4, 0, 7, 1).teamStatus(4, 0);
    save.team(5, kFullName, kFullPlayer, 6).slot(5, 0, 9, 2);
    for (int j = 6; j < kTeamCount; ++j) {
        const auto seed = static_cast<std::uint8_t>(j);
        save.team(j, "T" + twoDigits(j), "pT" + twoDigits(j), seed).slot(j, 0, 8, static_cast<std::uint8_t>(j % 9));
    }
    return save;
}

// b.sqd: Bat and Bow share unit b0; team 1 is an unused record.
SaveBuilder bSave() {
    SaveBuilder save;
    save.player("Bob");
    for (int i = 0; i < 5; ++i) save.unit(i, "b" + std::to_string(i), static_cast<std::uint8_t>(50 + i));
    save.team(0, "Bat", "pBat", 7).slot(0, 0, 4, 1).slot(0, 2, 0, 7);
    save.team(2, "Bow", "pBow", 8).slot(2, 0, 0, 2).slot(2, 1, 3, 5);
    return save;
}

// c.sqd: Cod uses unit c1 in two slots.
SaveBuilder cSave() {
    SaveBuilder save;
    save.player("Cy");
    for (int i = 0; i < 3; ++i) save.unit(i, "c" + std::to_string(i), static_cast<std::uint8_t>(90 + i));
    save.team(1, "Cod", "pCod", 9).slot(1, 0, 1, 0).slot(1, 1, 1, 3);
    return save;
}

// u.sqd: 32 units; teams 0..9 use three new units each (30 in all), team 10
// the last two, team 11 only units that teams 0..9 already use.
SaveBuilder uSave() {
    SaveBuilder save;
    for (int i = 0; i < kVekCount; ++i) save.unit(i, "u" + twoDigits(i), static_cast<std::uint8_t>(130 + i));
    for (int j = 0; j < 10; ++j) {
        save.team(j, "U" + twoDigits(j), "pU");
        for (int k = 0; k < kSlotCount; ++k) {
            save.slot(j, k, static_cast<std::uint8_t>(3 * j + k), static_cast<std::uint8_t>(k));
        }
    }
    save.team(10, "U10", "pU").slot(10, 0, 30, 0).slot(10, 1, 31, 1);
    save.team(11, "U11", "pU").slot(11, 0, 0, 0).slot(11, 1, 29, 1);
    return save;
}

// v.sqd: a team of three units that no other file provides.
SaveBuilder vSave() {
    SaveBuilder save;
    for (int i = 0; i < 3; ++i) save.unit(i, "v" + std::to_string(i), static_cast<std::uint8_t>(200 + i));
    save.team(0, "V00", "pV").slot(0, 0, 0, 0).slot(0, 1, 1, 1).slot(0, 2, 2, 2);
    return save;
}

std::vector<std::uint8_t> fileBytes(const std::vector<std::uint8_t>& file, std::size_t offset, std::size_t size) {
    const auto begin = file.begin() + static_cast<std::ptrdiff_t>(offset);
    return {begin, begin + static_cast<std::ptrdiff_t>(size)};
}

std::vector<std::uint8_t> unitRecord(const std::vector<std::uint8_t>& file, int i) {
    return fileBytes(file, kVekTableOffset + kVekRecordSize * static_cast<std::size_t>(i), kVekRecordSize);
}

std::vector<std::uint8_t> teamBlock(const std::vector<std::uint8_t>& file, int j) {
    return fileBytes(file, kTeamTableOffset + kTeamRecordSize * static_cast<std::size_t>(j) + kTeamBlockOffset,
                     kTeamBlockSize);
}

// A vacant unit record of a written file: zero but for 0xCD at bytes 4-32 and 36-47.
bool isVacantRecord(const std::vector<std::uint8_t>& record) {
    for (std::size_t n = 0; n < record.size(); ++n) {
        const bool marked = (n >= kVekNameOffset && n < kVekNameOffset + kVekNameSize) ||
                            (n >= kVekMarkOffset && n < kVekMarkOffset + kVekMarkSize);
        if (record[n] != (marked ? kVacantVekFill : 0)) return false;
    }
    return true;
}

// The -V line the writer prints for the file it wrote.
std::string checksumLine(const std::vector<std::uint8_t>& file) {
    char line[32];
    std::snprintf(line, sizeof line, "Checksum:%08lx\n", static_cast<unsigned long>(saveChecksum(file)));
    return line;
}

struct ImageDeleter {
    void operator()(SqdImage* image) const { freeSQDimage(image); }
};
using ImagePtr = std::unique_ptr<SqdImage, ImageDeleter>;

// What one run of the task left behind.
struct Assembled {
    int status;
    std::vector<std::uint8_t> bytes;  // the output file, empty when nothing was written
    ImagePtr image;                   // the output read back, when something was written

    // Units stored: the records before the first vacant one.
    int storedUnits() const {
        if (bytes.size() != kSaveFileSize) {
            ADD_FAILURE() << "no save file written";
            return -1;
        }
        int n = 0;
        while (n < kVekCount && !isVacantRecord(unitRecord(bytes, n))) ++n;
        for (int i = n; i < kVekCount; ++i) EXPECT_TRUE(isVacantRecord(unitRecord(bytes, i))) << "unit " << i;
        return n;
    }
    // Names of the teams placed, up to the last named one.
    std::vector<std::string> teamNames() const {
        std::vector<std::string> names;
        if (!image) return names;
        for (const TeamRecord& team : image->team) names.emplace_back(fieldText(team.name, kTeamNameSize).text);
        while (!names.empty() && names.back().empty()) names.pop_back();
        return names;
    }
    // For each slot of team j, the index of its unit in the output, or -1.
    std::array<int, kSlotCount> slotUnits(int j) const {
        std::array<int, kSlotCount> units{-2, -2, -2};
        if (!image) {
            ADD_FAILURE() << "no save file written";
            return units;
        }
        for (int k = 0; k < kSlotCount; ++k) {
            const VekRecord* vek = image->team[j].vek[k];
            units[static_cast<std::size_t>(k)] = vek == nullptr ? -1 : static_cast<int>(vek - image->vek);
        }
        return units;
    }
};

class TeamScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        addSource("a.sqd", aSave());
        addSource("b.sqd", bSave());
        addSource("c.sqd", cSave());
        // A name that begins with a space: such a line is no comment.
        addSource(" a.sqd", bSave());
    }
    void TearDown() override { std::filesystem::current_path(previousDir_); }

    void addSource(const std::string& name, const SaveBuilder& save) {
        sources_[name] = save.bytes();
        writeFileBytes(name, sources_[name]);
    }
    const std::vector<std::uint8_t>& source(const std::string& name) { return sources_.at(name); }

    // Runs the task on `script`, writing to out.sqd, and reads the result back.
    Assembled run(const std::string& script) {
        ScriptStream in(script);
        std::FILE* out = std::fopen("out.sqd", "wb");
        if (out == nullptr) throw std::runtime_error("cannot create out.sqd");
        Assembled result{ManageTeamData(in.stream(), out), {}, nullptr};
        std::fclose(out);
        result.bytes = readFileBytes("out.sqd");
        if (!result.bytes.empty()) {
            std::vector<unsigned char> buffer(kLoadBufferSize);
            EXPECT_EQ(readSQDfile("out.sqd", buffer.data()), 0);
            result.image.reset(parseSQDfile("out.sqd", buffer.data()));
        }
        return result;
    }

    // What the loader reports under -V for a.sqd and b.sqd.
    static std::string aReport() {
        std::string report = "File:[a.sqd]\nRead team 1 : Ace(pAce)\nRead team 2 : Bee(pBee)\nRead team 3 : Cub(pCub)\n"
                             "Read team 6 : " + kFullName + "(" + kFullPlayer + ")\n";
        for (int j = 6; j < kTeamCount; ++j) {
            report += "Read team " + std::to_string(j + 1) + " : T" + twoDigits(j) + "(pT" + twoDigits(j) + ")\n";
        }
        return report;
    }
    static std::string bReport() { return "File:[b.sqd]\nRead team 1 : Bat(pBat)\nRead team 3 : Bow(pBow)\n"; }

    TempDir dir_;
    std::filesystem::path previousDir_;
    std::map<std::string, std::vector<std::uint8_t>> sources_;
};

}  // namespace

TEST_F(TeamScriptTest, ListingFedUnchangedPlacesTeamsInLineOrder) {
    ToolState state;
    CapturedStream listing;
    DumpTeamData("b.sqd", listing.stream());
    DumpTeamData("c.sqd", listing.stream());
    const std::string script = listing.text();
    ASSERT_EQ(script,
              "b.sqd\t0\t4\t1\t-1\t-1\t0\t7\tpBat\tBat\tb4\t\tb0\n"
              "b.sqd\t2\t0\t2\t3\t5\t-1\t-1\tpBow\tBow\tb0\tb3\t\n"
              "c.sqd\t1\t1\t0\t1\t3\t-1\t-1\tpCod\tCod\tc1\tc1\t\n");

    const Assembled out = run(script);
    ASSERT_EQ(out.status, 0);
    EXPECT_EQ(state.messages(), "");
    ASSERT_EQ(out.bytes.size(), kSaveFileSize);

    // Units are renumbered in order of first use; b0 and c1 are stored once.
    CapturedStream relisted;
    DumpTeamData("out.sqd", relisted.stream());
    EXPECT_EQ(relisted.text(),
              "out.sqd\t0\t0\t1\t-1\t-1\t1\t7\tpBat\tBat\tb4\t\tb0\n"
              "out.sqd\t1\t1\t2\t2\t5\t-1\t-1\tpBow\tBow\tb0\tb3\t\n"
              "out.sqd\t2\t3\t0\t3\t3\t-1\t-1\tpCod\tCod\tc1\tc1\t\n");
    ASSERT_EQ(out.storedUnits(), 4);
    EXPECT_EQ(unitRecord(out.bytes, 0), unitRecord(source("b.sqd"), 4));
    EXPECT_EQ(unitRecord(out.bytes, 1), unitRecord(source("b.sqd"), 0));
    EXPECT_EQ(unitRecord(out.bytes, 2), unitRecord(source("b.sqd"), 3));
    EXPECT_EQ(unitRecord(out.bytes, 3), unitRecord(source("c.sqd"), 1));
    EXPECT_EQ(teamBlock(out.bytes, 2), teamBlock(source("c.sqd"), 1));
    // The new file's player is always the default, whatever the sources say.
    EXPECT_EQ(std::memcmp(out.image->playerName, defaultPlayerName, kPlayerNameSize), 0);
}

TEST_F(TeamScriptTest, SkipsCommentsAndBlankLines) {
    // Lines before 2047 bytes end here, so a reader that cut long lines into
    // pieces would take "b.sqd\t0" as a line of its own.
    const std::string head = "a.sqd\t1\t";
    const std::string longLine = head + std::string(2047 - head.size(), 'x') + "b.sqd\t0\n";
    struct Case {
        const char* name;
        std::string script;
        std::vector<std::string> teams;
    } const cases[] = {
        {"comment", "#a.sqd\t1\na.sqd\t0\n", {"Ace"}},
        {"blank", "\na.sqd\t0\n", {"Ace"}},
        {"CRLF blank and CRLF line", "\r\na.sqd\t0\r\n", {"Ace"}},
        {"tabs and carriage returns only", "\t\t\n\t\r\n\r\r\n", {}},
        {"NUL first", std::string("\0a.sqd\t1\na.sqd\t0\n", 17), {"Ace"}},
        {"leading space is part of the path", " a.sqd\t2\n", {"Bow"}},
        {"leading tabs", "\t\ta.sqd\t1\n", {"Bee"}},
        {"NUL ends the line", std::string("a.sqd\0\t1\na.sqd\t2\0\t1\n", 20), {"Cub"}},
        {"later columns ignored", "a.sqd\t1\t9\t9\tjunk\n", {"Bee"}},
        {"a long line is one line", longLine, {"Bee"}},
        {"no final newline", "a.sqd\t0\na.sqd\t1", {"Ace", "Bee"}},
        {"line order", "a.sqd\t2\nb.sqd\t0\n#b.sqd\t2\na.sqd\t0\n", {"Cub", "Bat", "Ace"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolState state;
        const Assembled out = run(c.script);
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(state.messages(), "");
        EXPECT_EQ(out.teamNames(), c.teams);
        EXPECT_EQ(out.bytes.empty(), c.teams.empty());
    }
}

TEST_F(TeamScriptTest, ConvertsTheTeamIndex) {
    struct Case {
        const char* field;
        const char* team;  // nullptr: the line is skipped silently
    } const cases[] = {
        {"0", "Ace"},          {"15", "T15"},       {"word", "Ace"},   {"3abc", "Dot"},
        {"+3", "Dot"},         {" 3", "Dot"},       {"-0", "Ace"},     {"4294967297", "Bee"},
        {"-1", nullptr},       {"16", nullptr},     {"-", "Ace"},      {"2147483648", nullptr},
        {"4294967311", "T15"}, {"4294967312", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        ToolState state;
        const Assembled out = run(std::string("a.sqd\t") + c.field + "\n");
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(state.messages(), "");
        if (c.team == nullptr) {
            EXPECT_TRUE(out.bytes.empty());
        } else {
            EXPECT_EQ(out.teamNames(), std::vector<std::string>{c.team});
        }
    }
}

TEST_F(TeamScriptTest, PathWithoutIndexLoadsTheFileOnly) {
    ToolState state;
    verbose = 1;
    const Assembled out = run("a.sqd\n");
    EXPECT_EQ(out.status, 0);
    EXPECT_TRUE(out.bytes.empty());
    EXPECT_EQ(state.messages(), aReport() + "no team data!\n");
    ASSERT_EQ(recordCount(SqdArray), 1);
    EXPECT_EQ(recordCount(TeamArray), 14);
}

TEST_F(TeamScriptTest, VerboseMessagesFollowTheLoader) {
    ToolState state;
    verbose = 1;
    // The first line only loads a.sqd; its later lines do not load it again.
    const Assembled out = run("a.sqd\na.sqd\t0\nb.sqd\t2\na.sqd\t5\n");
    ASSERT_EQ(out.status, 0);
    ASSERT_FALSE(out.bytes.empty());
    EXPECT_EQ(state.messages(), aReport() + "add Team 1:Ace(pAce)\n" + bReport() + "add Team 2:Bow(pBow)\n" +
                                    "add Team 3:" + kFullName + "(" + kFullPlayer + ")\n" + "Save SQD file...\n" +
                                    checksumLine(out.bytes) + "Completed\n");
}

TEST_F(TeamScriptTest, InternsEachSourceUnitOnce) {
    struct Case {
        const char* name;
        std::string script;
        std::vector<std::array<int, kSlotCount>> slots;  // per placed team
        std::vector<std::pair<std::string, int>> units;  // origin of each stored unit
        int filesLoaded;
    } const cases[] = {
        {"the same line twice", "a.sqd\t0\na.sqd\t0\n", {{0, 1, 2}, {0, 1, 2}},
         {{"a.sqd", 0}, {"a.sqd", 1}, {"a.sqd", 2}}, 1},
        {"two teams sharing a unit", "a.sqd\t0\na.sqd\t1\n", {{0, 1, 2}, {2, -1, 3}},
         {{"a.sqd", 0}, {"a.sqd", 1}, {"a.sqd", 2}, {"a.sqd", 5}}, 1},
        {"one unit in two slots", "c.sqd\t1\n", {{0, 0, -1}}, {{"c.sqd", 1}}, 1},
        {"two spellings of one path", "a.sqd\t0\n./a.sqd\t0\n", {{0, 1, 2}, {3, 4, 5}},
         {{"a.sqd", 0}, {"a.sqd", 1}, {"a.sqd", 2}, {"a.sqd", 0}, {"a.sqd", 1}, {"a.sqd", 2}}, 2},
        {"same index in two files", "b.sqd\t2\n a.sqd\t2\n", {{0, 1, -1}, {2, 3, -1}},
         {{"b.sqd", 0}, {"b.sqd", 3}, {" a.sqd", 0}, {" a.sqd", 3}}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolState state;
        const Assembled out = run(c.script);
        ASSERT_EQ(out.status, 0);
        EXPECT_EQ(state.messages(), "");
        ASSERT_TRUE(out.image);
        for (std::size_t j = 0; j < c.slots.size(); ++j) {
            EXPECT_EQ(out.slotUnits(static_cast<int>(j)), c.slots[j]) << "team " << j;
        }
        ASSERT_EQ(out.storedUnits(), static_cast<int>(c.units.size()));
        for (std::size_t i = 0; i < c.units.size(); ++i) {
            const auto& [file, index] = c.units[i];
            EXPECT_EQ(unitRecord(out.bytes, static_cast<int>(i)), unitRecord(source(file), index)) << "unit " << i;
        }
        EXPECT_EQ(recordCount(SqdArray), c.filesLoaded);
    }
}

TEST_F(TeamScriptTest, CopiesAbsentAndEmptyTeamsAsTheyAre) {
    ToolState state;
    verbose = 1;
    const Assembled out = run("a.sqd\t3\na.sqd\t4\nb.sqd\t1\na.sqd\t2\n");
    ASSERT_EQ(out.status, 0);
    ASSERT_TRUE(out.image);
    EXPECT_EQ(state.messages(), aReport() + "add Team 1:Dot(pDot)\nadd Team 2:Eel(pEel)\n" + bReport() +
                                    "add Team 3:()\nadd Team 4:Cub(pCub)\nSave SQD file...\n" +
                                    checksumLine(out.bytes) + "Completed\n");
    // Dot keeps its name and block but has no unit, so the file marks it unused.
    EXPECT_EQ(out.teamNames(), (std::vector<std::string>{"Dot", "Eel", "", "Cub"}));
    EXPECT_EQ(out.image->team[0].present, 0);
    EXPECT_EQ(out.slotUnits(0), (std::array<int, kSlotCount>{-1, -1, -1}));
    EXPECT_EQ(teamBlock(out.bytes, 0), teamBlock(source("a.sqd"), 3));
    // Eel is copied with its unit although a.sqd marks it absent.
    EXPECT_EQ(out.image->team[1].present, kTeamStatusInUse);
    EXPECT_EQ(out.slotUnits(1), (std::array<int, kSlotCount>{0, -1, -1}));
    EXPECT_EQ(out.image->team[1].position[0], 1);
    EXPECT_EQ(teamBlock(out.bytes, 2), teamBlock(source("b.sqd"), 1));
    // Positions are not repaired.
    EXPECT_EQ(out.slotUnits(3), (std::array<int, kSlotCount>{-1, -1, 1}));
    EXPECT_EQ(out.image->team[3].position[2], 200);
    ASSERT_EQ(out.storedUnits(), 2);
    EXPECT_EQ(unitRecord(out.bytes, 0), unitRecord(source("a.sqd"), 7));
    EXPECT_EQ(unitRecord(out.bytes, 1), unitRecord(source("a.sqd"), 6));
}

TEST_F(TeamScriptTest, EmptyScriptWritesNothing) {
    const char* const scripts[] = {"", "# only a comment\n", "\n\r\n\t\n#\n", "a.sqd\t-1\na.sqd\t16\na.sqd\n"};
    for (const char* script : scripts) {
        for (int verboseRun = 0; verboseRun <= 1; ++verboseRun) {
            SCOPED_TRACE(std::string(script) + (verboseRun ? " -V" : ""));
            ToolState state;
            verbose = verboseRun;
            const Assembled out = run(script);
            EXPECT_EQ(out.status, 0);
            EXPECT_TRUE(out.bytes.empty());
            const std::string loaded = std::strstr(script, "a.sqd") != nullptr ? aReport() : "";
            EXPECT_EQ(state.messages(), verboseRun ? loaded + "no team data!\n" : "");
        }
    }
}

TEST_F(TeamScriptTest, UnloadableSourceIsSkippedAndTriedAgain) {
    ToolState state;
    const Assembled out = run("missing.sqd\t0\na.sqd\t0\nmissing.sqd\t1\nmissing.sqd\n");
    EXPECT_EQ(out.status, 0);
    const std::string failure = "fail to open missing.sqd : No such file or directory\n";
    EXPECT_EQ(state.messages(), failure + failure + failure);
    EXPECT_EQ(out.teamNames(), std::vector<std::string>{"Ace"});
    EXPECT_EQ(out.storedUnits(), 3);
    EXPECT_EQ(recordCount(SqdArray), 1);
}

TEST_F(TeamScriptTest, SixteenTeamsAtMost) {
    std::string sixteen;
    for (int n = 0; n < kTeamCount; ++n) sixteen += "a.sqd\t0\n";

    {
        SCOPED_TRACE("comments and blanks after the 16th team");
        ToolState state;
        const Assembled out = run(sixteen + "# more\n\n\r\n\t\n");
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(state.messages(), "");
        EXPECT_EQ(out.teamNames(), std::vector<std::string>(kTeamCount, "Ace"));
        EXPECT_EQ(out.slotUnits(15), (std::array<int, kSlotCount>{0, 1, 2}));
        EXPECT_EQ(out.storedUnits(), 3);
    }
    // Any 17th line with a field aborts before it is looked at: a bad index,
    // a missing file (never opened) or no index at all. The rest is unread.
    const char* const extras[] = {"a.sqd\t0\n", "a.sqd\t99\n", "a.sqd\n", "missing.sqd\t0\n", "\tx\n"};
    for (const char* extra : extras) {
        for (int verboseRun = 0; verboseRun <= 1; ++verboseRun) {
            SCOPED_TRACE(std::string(extra) + (verboseRun ? " -V" : ""));
            ToolState state;
            verbose = verboseRun;
            const Assembled out = run(sixteen + "#\n" + extra + "missing2.sqd\t0\n");
            EXPECT_EQ(out.status, 0);
            EXPECT_TRUE(out.bytes.empty());
            const std::string abort = "Too many Team or VEK data!\nTask aborted.\n";
            if (verboseRun) {
                std::string expected = aReport();
                for (int n = 1; n <= kTeamCount; ++n) expected += "add Team " + std::to_string(n) + ":Ace(pAce)\n";
                EXPECT_EQ(state.messages(), expected + abort + "no team data!\n");
            } else {
                EXPECT_EQ(state.messages(), abort);
            }
        }
    }
}

TEST_F(TeamScriptTest, ThirtyTwoUnitsAtMost) {
    addSource("u.sqd", uSave());
    addSource("v.sqd", vSave());
    std::string thirty;
    for (int j = 0; j < 10; ++j) thirty += "u.sqd\t" + std::to_string(j) + "\n";

    {
        SCOPED_TRACE("the 32nd unit placed by the last line");
        ToolState state;
        const Assembled out = run(thirty + "u.sqd\t10\n#\n\n");
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(state.messages(), "");
        ASSERT_TRUE(out.image);
        EXPECT_EQ(out.teamNames().size(), 11u);
        // All 32 records hold units; none is blanked.
        EXPECT_EQ(out.storedUnits(), kVekCount);
        for (int i = 0; i < kVekCount; ++i) EXPECT_EQ(unitRecord(out.bytes, i), unitRecord(source("u.sqd"), i)) << i;
        EXPECT_EQ(out.slotUnits(10), (std::array<int, kSlotCount>{30, 31, -1}));
    }
    const char* const full = "Too many Team or VEK data!\nTask aborted.\n";
    struct Case {
        const char* name;
        std::string script;
        const char* abort;
    } const cases[] = {
        // Even a team that needs no new unit finds no room once 32 are stored.
        {"a line after the 32nd unit", thirty + "u.sqd\t10\nu.sqd\t11\n", full},
        {"a bad index after the 32nd unit", thirty + "u.sqd\t10\nu.sqd\t-1\n", full},
        // Two of v's three units fit; the third aborts the task.
        {"three new units at 30", thirty + "v.sqd\t0\nu.sqd\t10\n", "Too many VEK data!\nTask aborted.\n"},
    };
    for (const Case& c : cases) {
        for (int verboseRun = 0; verboseRun <= 1; ++verboseRun) {
            SCOPED_TRACE(std::string(c.name) + (verboseRun ? " -V" : ""));
            ToolState state;
            verbose = verboseRun;
            const Assembled out = run(c.script);
            EXPECT_EQ(out.status, 0);
            EXPECT_TRUE(out.bytes.empty());
            if (verboseRun) {
                const std::string messages = state.messages();
                const std::string tail = std::string(c.abort) + "no team data!\n";
                ASSERT_GE(messages.size(), tail.size());
                EXPECT_EQ(messages.substr(messages.size() - tail.size()), tail);
                EXPECT_EQ(messages.find("Save SQD file"), std::string::npos);
            } else {
                EXPECT_EQ(state.messages(), c.abort);
            }
        }
    }
}

TEST_F(TeamScriptTest, OpaqueRegionsComeFromTheLastSourceRead) {
    const std::pair<std::size_t, std::size_t> opaque[] = {
        {kRegionAOffset, kRegionASize}, {kRegionBOffset, kRegionBSize}, {kRegionCOffset, kRegionCSize}};
    // x.sqd and y.sqd differ only in regions A, B and C.
    auto regionSave = [&](std::uint8_t fill) {
        SaveBuilder save = bSave();
        for (const auto& [offset, size] : opaque) {
            for (std::size_t n = 0; n < size; ++n) save.byte(offset + n, static_cast<std::uint8_t>(fill + n * 7));
        }
        return save;
    };
    addSource("x.sqd", regionSave(0x11));
    addSource("y.sqd", regionSave(0x5A));
    auto regions = [&](const std::vector<std::uint8_t>& file) {
        std::vector<std::uint8_t> bytes;
        for (const auto& [offset, size] : opaque) {
            const std::vector<std::uint8_t> region = fileBytes(file, offset, size);
            bytes.insert(bytes.end(), region.begin(), region.end());
        }
        return bytes;
    };
    struct Case {
        std::string script;
        const char* lastRead;
    } const cases[] = {
        {"x.sqd\t0\ny.sqd\t0\n", "y.sqd"},
        {"y.sqd\t0\nx.sqd\t2\n", "x.sqd"},
        // A file already loaded is not read again, and one that fails to open
        // leaves the buffer as it was.
        {"x.sqd\t0\ny.sqd\t2\nx.sqd\t2\nmissing.sqd\t0\n", "y.sqd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ToolState state;
        const Assembled out = run(c.script);
        ASSERT_EQ(out.status, 0);
        ASSERT_EQ(out.bytes.size(), kSaveFileSize);
        EXPECT_TRUE(regions(out.bytes) == regions(source(c.lastRead)));
        EXPECT_EQ(readLe32(out.bytes.data() + kChecksumOffset), saveChecksum(out.bytes));
    }
}

TEST_F(TeamScriptTest, FailedWriteIsReported) {
    ToolState state;
    ScriptStream in("a.sqd\t0\n");
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(ManageTeamData(in.stream(), full), -1);
    std::fclose(full);
    EXPECT_EQ(state.messages(), "fail to fwrite in saveSQDBLOCK : No space left on device\ntask aborted.\n");
}

TEST_F(TeamScriptTest, ScriptReadErrorWritesNothing) {
    ToolState state;
    // Reading a directory as a script fails at the first read.
    std::FILE* script = std::fopen(".", "r");
    ASSERT_NE(script, nullptr);
    std::FILE* out = std::fopen("out.sqd", "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(ManageTeamData(script, out), -1);
    std::fclose(out);
    std::fclose(script);
    EXPECT_EQ(state.messages(), "fail to read script : Is a directory\ntask aborted.\n");
    EXPECT_TRUE(readFileBytes("out.sqd").empty());
}

}  // namespace rostrix
