// The four tasks end to end through the real executable: what -l and -k
// write is read back by -m and -b, and the save files these make list back
// to the same teams, units and bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/image.h"
#include "sqd/layout.h"
#include "support/le_bytes.h"

namespace rostrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSamples = ROSTRIX_SAMPLES_DIR;
const std::vector<std::string> kSamplePaths = {kSamples + "/knights.sqd", kSamples + "/ronin.sqd",
                                               kSamples + "/sky.sqd"};
const std::string kBanner = "Torvanel TEAM converter Version 1.7";
// The default player name as a listing prints it: up to its NUL.
const std::string kDefaultPlayer(reinterpret_cast<const char*>(defaultPlayerName), 10);

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

// The lines of a listing, without their newlines.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all = split(text, '\n');
    EXPECT_EQ(all.back(), "") << "listing does not end in a newline";
    all.pop_back();
    return all;
}

std::string join(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : separator) + parts[i];
    return text;
}

Bytes unitRecord(const Bytes& file, int i) {
    const auto from = file.begin() + static_cast<std::ptrdiff_t>(kVekTableOffset + kVekRecordSize * i);
    return Bytes(from, from + static_cast<std::ptrdiff_t>(kVekRecordSize));
}

Bytes teamBlock(const Bytes& file, int j) {
    const auto from = file.begin() + static_cast<std::ptrdiff_t>(kTeamTableOffset + kTeamRecordSize * j + kTeamBlockOffset);
    return Bytes(from, from + static_cast<std::ptrdiff_t>(kTeamBlockSize));
}

// Units are numbered in the made file in the order a team first uses them.
class UnitNumbering {
public:
    int place(const std::string& path, const std::string& index) {
        const auto key = std::make_pair(path, index);
        const auto found = places_.find(key);
        if (found != places_.end()) return found->second;
        order_.push_back(key);
        return places_[key] = static_cast<int>(order_.size()) - 1;
    }
    const std::vector<std::pair<std::string, std::string>>& order() const { return order_; }

private:
    std::map<std::pair<std::string, std::string>, int> places_;
    std::vector<std::pair<std::string, std::string>> order_;
};

void expectSavedFile(const Bytes& file) {
    ASSERT_EQ(file.size(), kSaveFileSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + kHeaderSize), "0.0.12");
    EXPECT_EQ(readLe32(file.data() + kChecksumOffset), saveChecksum(file));
    EXPECT_TRUE(std::equal(defaultPlayerName, defaultPlayerName + kPlayerNameSize, file.begin() + kPlayerNameOffset));
}

// Every unit of the made file is a byte-for-byte copy of the unit it names.
void expectUnitsCopied(const Bytes& made, const UnitNumbering& numbering) {
    std::map<std::string, Bytes> sources;
    for (const std::string& path : kSamplePaths) sources[path] = readFileBytes(path);
    for (std::size_t i = 0; i < numbering.order().size(); ++i) {
        const auto& [path, index] = numbering.order()[i];
        SCOPED_TRACE(path + " unit " + index);
        EXPECT_TRUE(unitRecord(made, static_cast<int>(i)) == unitRecord(sources.at(path), std::stoi(index)));
    }
}

// -l of the samples, fed unchanged to -m on standard input, with the save
// file on standard output: the made file holds the same teams in script
// order, each unit once, renumbered, and lists back to the same lines.
TEST(CliRoundTrip, TeamListingRemadeByTeamScript) {
    std::vector<std::string> listArgs = {"-l"};
    listArgs.insert(listArgs.end(), kSamplePaths.begin(), kSamplePaths.end());
    const ToolRun listing = runTool(listArgs);
    ASSERT_EQ(listing.err, "");
    ASSERT_EQ(listing.status, 0);
    const std::vector<std::string> listed = lines(listing.out);
    ASSERT_EQ(listed.size(), 9u);

    const ToolRun made = runTool({"-m"}, listing.out);
    EXPECT_EQ(made.err, "");
    EXPECT_EQ(made.status, 0);
    const Bytes file(made.out.begin(), made.out.end());
    expectSavedFile(file);
    if (HasFatalFailure()) return;
    TempDir scratch;
    const std::string madePath = scratch.file("made.sqd");
    writeFileBytes(madePath, file);

    UnitNumbering numbering;
    std::string expected;
    for (std::size_t t = 0; t < listed.size(); ++t) {
        std::vector<std::string> columns = split(listed[t], '\t');
        ASSERT_EQ(columns.size(), 13u) << listed[t];
        const std::string source = columns[0];
        // The team is copied whole, block included.
        EXPECT_TRUE(teamBlock(file, static_cast<int>(t)) == teamBlock(readFileBytes(source), std::stoi(columns[1])))
            << listed[t];
        columns[0] = madePath;
        columns[1] = std::to_string(t);
        for (int k = 0; k < kSlotCount; ++k) {
            std::string& index = columns[2 + 2 * k];
            if (index != "-1") index = std::to_string(numbering.place(source, index));
        }
        expected += join(columns, "\t") + "\n";
    }
    EXPECT_EQ(numbering.order().size(), 19u);
    expectUnitsCopied(file, numbering);

    const ToolRun relisted = runTool({"-l", madePath});
    EXPECT_EQ(relisted.err, "");
    EXPECT_EQ(relisted.out, expected);
}

// A save file at both limits, 16 teams and 32 units, each team using its
// units in falling order: its listing remakes it whole with the units
// renumbered; the same listing twice is one team too many, and the task
// leaves the output it opened empty.
TEST(CliRoundTrip, FullFileAtBothLimits) {
    TempDir scratch;
    const std::string full = scratch.file("full.sqd");
    SaveBuilder builder;
    builder.player("Full");
    for (int i = 0; i < kVekCount; ++i) builder.unit(i, "Unit" + std::to_string(i), static_cast<std::uint8_t>(i));
    for (int j = 0; j < kTeamCount; ++j) {
        builder.team(j, "Team" + std::to_string(j), "Owner", static_cast<std::uint8_t>(j));
        builder.slot(j, 0, static_cast<std::uint8_t>(31 - 2 * j), static_cast<std::uint8_t>(j % 9));
        builder.slot(j, 2, static_cast<std::uint8_t>(30 - 2 * j), static_cast<std::uint8_t>(8 - j % 9));
    }
    builder.writeTo(full);

    const auto line = [](const std::string& path, int j, int first, int second) {
        return path + "\t" + std::to_string(j) + "\t" + std::to_string(first) + "\t" + std::to_string(j % 9) +
               "\t-1\t-1\t" + std::to_string(second) + "\t" + std::to_string(8 - j % 9) + "\tOwner\tTeam" +
               std::to_string(j) + "\tUnit" + std::to_string(31 - 2 * j) + "\t\tUnit" + std::to_string(30 - 2 * j) +
               "\n";
    };
    const std::string made = scratch.file("made.sqd");
    std::string sourceListing;
    std::string madeListing;
    for (int j = 0; j < kTeamCount; ++j) {
        sourceListing += line(full, j, 31 - 2 * j, 30 - 2 * j);
        madeListing += line(made, j, 2 * j, 2 * j + 1);
    }
    const ToolRun listing = runTool({"-l", full});
    ASSERT_EQ(listing.out, sourceListing);

    const ToolRun remade = runTool({"-o", made, "-m"}, listing.out);
    EXPECT_EQ(remade.out, "");
    EXPECT_EQ(remade.err, "");
    EXPECT_EQ(remade.status, 0);
    EXPECT_EQ(runTool({"-l", made}).out, madeListing);

    const std::string twice = scratch.file("twice.sqd");
    const ToolRun refused = runTool({"-o", twice, "-m"}, listing.out + listing.out);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "Too many Team or VEK data!\nTask aborted.\n");
    EXPECT_EQ(refused.status, 0);
    EXPECT_TRUE(readFileBytes(twice).empty());
}

// Every order of the pieces: a random rotation, either way round, can give
// any of them.
std::set<std::string> autoNames(const std::vector<std::string>& pieces) {
    std::vector<std::size_t> order(pieces.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::set<std::string> names;
    do {
        std::string name;
        for (std::size_t i : order) name += pieces[i];
        names.insert(name);
    } while (std::next_permutation(order.begin(), order.end()));
    return names;
}

// -k of the samples, three unit lines to a vek-script line, built by -b -a2
// from standard input into -o's file: each team holds those units on those
// cells (a shared cell repaired within its row), is named from their first
// four bytes, and takes its block from its first unit.
TEST(CliRoundTrip, UnitListingBuiltByVekScript) {
    std::vector<std::string> listArgs = {"-k"};
    listArgs.insert(listArgs.end(), kSamplePaths.begin(), kSamplePaths.end());
    const ToolRun units = runTool(listArgs);
    ASSERT_EQ(units.err, "");
    const std::vector<std::string> unitLines = lines(units.out);
    ASSERT_EQ(unitLines.size(), 21u);

    std::string script = "# three units of the samples to a team\n";
    std::vector<std::vector<std::vector<std::string>>> teams;
    for (std::size_t i = 0; i < unitLines.size(); i += 3) {
        std::vector<std::string> groups;
        teams.emplace_back();
        for (std::size_t j = i; j < i + 3 && j < unitLines.size(); ++j) {
            const std::vector<std::string> columns = split(unitLines[j], '\t');
            ASSERT_EQ(columns.size(), 4u) << unitLines[j];
            teams.back().push_back(columns);
            groups.push_back(join({columns[0], columns[1], columns[2]}, "\t"));
        }
        script += "-\t-\t" + join(groups, "\t") + "\n";
    }
    ASSERT_EQ(teams.size(), 7u);
    // The fifth line puts two units of ronin.sqd on cell 4; row-keeping moves
    // the second to the next free cell of its row.
    ASSERT_EQ(teams[4][0][2], "4");
    ASSERT_EQ(teams[4][1][2], "4");
    ASSERT_EQ(teams[4][2][2], "3");
    teams[4][1][2] = "5";

    TempDir scratch;
    const std::string builtPath = scratch.file("built.sqd");
    const ToolRun built = runTool({"-a2", "-o", builtPath, "-b"}, script);
    EXPECT_EQ(built.out, "");
    EXPECT_EQ(built.err, "");
    EXPECT_EQ(built.status, 0);
    const Bytes file = readFileBytes(builtPath);
    expectSavedFile(file);
    if (HasFatalFailure()) return;

    const ToolRun relisted = runTool({"-l", builtPath});
    EXPECT_EQ(relisted.err, "");
    const std::vector<std::string> listed = lines(relisted.out);
    ASSERT_EQ(listed.size(), teams.size());
    UnitNumbering numbering;
    for (std::size_t t = 0; t < teams.size(); ++t) {
        SCOPED_TRACE(listed[t]);
        std::vector<std::string> expected = {builtPath, std::to_string(t)};
        std::vector<std::string> names;
        std::vector<std::string> pieces;
        for (const std::vector<std::string>& unit : teams[t]) {
            expected.push_back(std::to_string(numbering.place(unit[0], unit[1])));
            expected.push_back(unit[2]);
            names.push_back(unit[3]);
            pieces.push_back(unit[3].substr(0, 4));
        }
        for (std::size_t k = teams[t].size(); k < kSlotCount; ++k) {
            expected.insert(expected.end(), {"-1", "-1"});
            names.push_back("");
        }
        expected.push_back(kDefaultPlayer);
        expected.push_back("(automatic name)");
        expected.insert(expected.end(), names.begin(), names.end());

        std::vector<std::string> columns = split(listed[t], '\t');
        ASSERT_EQ(columns.size(), 13u);
        const std::set<std::string> allowed = autoNames(pieces);
        EXPECT_TRUE(allowed.count(columns[9]) == 1) << "name " << columns[9];
        columns[9] = "(automatic name)";
        EXPECT_EQ(columns, expected);

        const Bytes source = readFileBytes(teams[t][0][0]);
        const Bytes firstUnit = unitRecord(source, std::stoi(teams[t][0][1]));
        EXPECT_TRUE(std::equal(firstUnit.begin() + kVekBlockOffset, firstUnit.begin() + kVekBlockOffset + kTeamBlockSize,
                               teamBlock(file, static_cast<int>(t)).begin()));
    }
    EXPECT_EQ(numbering.order().size(), 19u);
    expectUnitsCopied(file, numbering);
}

// With -e and no -o the messages and the save file share standard output,
// each where it was written: the checksum line, the file's bytes, then
// "Completed".
TEST(CliEchoedMessages, SaveFileBetweenMessages) {
    const std::string sky = kSamples + "/sky.sqd";
    const ToolRun run = runTool({"-e", "-V", "-m"}, sky + "\t1\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    const std::string before = kBanner + "\nStart task...Management Team data\nFile:[" + sky +
                               "]\n"
                               "Read team 1 : Wings(Skyler)\nRead team 2 : Dragoons(Skyler)\nRead team 3 : Scouts(Skyler)\n"
                               "add Team 1:Dragoons(Skyler)\nSave SQD file...\nChecksum:";
    const std::string after = "Completed\n";
    const std::size_t checksumLine = 9;  // eight hex digits and a newline
    ASSERT_EQ(run.out.size(), before.size() + checksumLine + kSaveFileSize + after.size());
    EXPECT_EQ(run.out.substr(0, before.size()), before);
    EXPECT_EQ(run.out.substr(run.out.size() - after.size()), after);

    const auto fileStart = run.out.begin() + static_cast<std::ptrdiff_t>(before.size() + checksumLine);
    const Bytes file(fileStart, fileStart + static_cast<std::ptrdiff_t>(kSaveFileSize));
    expectSavedFile(file);
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%08lx\n", static_cast<unsigned long>(saveChecksum(file)));
    EXPECT_EQ(run.out.substr(before.size(), checksumLine), checksum);

    TempDir scratch;
    writeFileBytes(scratch.file("made.sqd"), file);
    const ToolRun listed = runTool({"-l", scratch.file("made.sqd")});
    EXPECT_EQ(listed.out, scratch.file("made.sqd") +
                              "\t0\t0\t1\t1\t4\t2\t7\tSkyler\tDragoons\t\x93\x56\x8B\xF3\x8B\x52\x8E\x6D\tWyvern\tGriffin\n");
}

// A listing echoed the same way: each team's lines follow its own message.
TEST(CliEchoedMessages, UnitLinesBetweenMessages) {
    const std::string sky = kSamples + "/sky.sqd";
    const ToolRun run = runTool({"-V", "-e", "-k", sky});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner + "\nStart task...Dump Team data\nFile:[" + sky + "]\n" +
                           "Dump team 1\n" + sky + "\t0\t3\tFalcon\n" + sky + "\t1\t4\tGriffin\n" + sky +
                           "\t3\t5\tPegasus\n"
                           "Dump team 2\n" +
                           sky + "\t4\t1\t\x93\x56\x8B\xF3\x8B\x52\x8E\x6D\n" + sky + "\t2\t4\tWyvern\n" + sky +
                           "\t1\t7\tGriffin\n"
                           "Dump team 3\n" +
                           sky + "\t5\t2\tRoc\nCompleted\n");
}

}  // namespace
}  // namespace rostrix
