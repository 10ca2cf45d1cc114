#include "sqd/reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/layout.h"
#include "sqd/load_buffer.h"

namespace rostrix {
namespace {

struct ImageDeleter {
    void operator()(SqdImage* image) const { freeSQDimage(image); }
};
using ImagePtr = std::unique_ptr<SqdImage, ImageDeleter>;

std::vector<std::uint8_t> bufferBytes() { return std::vector<std::uint8_t>(ploadBuffer, ploadBuffer + kLoadBufferSize); }

class SqdReader : public ::testing::Test {
protected:
    // Writes `bytes` as a file and reads it back through readSQDfile and
    // parseSQDfile, expecting both to succeed.
    ImagePtr readBack(const std::vector<std::uint8_t>& bytes, const std::string& name = "save.sqd") {
        path_ = dir.file(name);
        writeFileBytes(path_, bytes);
        EXPECT_EQ(readSQDfile(path_.c_str(), ploadBuffer), 0);
        return ImagePtr(parseSQDfile(path_.c_str(), ploadBuffer));
    }

    ToolState state;
    TempDir dir;
    std::string path_;
};

TEST_F(SqdReader, EmptyFileIsAnImageOfZeros) {
    std::memset(ploadBuffer, 0xAA, kLoadBufferSize);
    ImagePtr image = readBack({});
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(state.messages(), "");
    EXPECT_EQ(bufferBytes(), std::vector<std::uint8_t>(kLoadBufferSize, 0));

    EXPECT_STREQ(image->path, path_.c_str());
    EXPECT_EQ(std::string(image->playerName, kPlayerNameSize), std::string(kPlayerNameSize, '\0'));
    for (int i = 0; i < kVekCount; ++i) {
        const VekRecord& vek = image->vek[i];
        ASSERT_EQ(std::vector<std::uint8_t>(vek.data, vek.data + kVekRecordSize),
                  std::vector<std::uint8_t>(kVekRecordSize, 0));
        EXPECT_EQ(vek.sourceIndex, i);
        EXPECT_STREQ(vek.sourcePath, path_.c_str());
    }
    for (int j = 0; j < kTeamCount; ++j) {
        const TeamRecord& team = image->team[j];
        EXPECT_EQ(team.present, 0);
        EXPECT_FALSE(isPresentTeam(team));
        EXPECT_EQ(std::string(team.name, kTeamNameSize), std::string(kTeamNameSize, '\0'));
        for (int k = 0; k < kSlotCount; ++k) {
            // Unit-index byte 0: unit 0, cell 0.
            EXPECT_EQ(team.vek[k], &image->vek[0]);
            EXPECT_EQ(team.position[k], 0);
            EXPECT_EQ(team.placed[k], 0);
        }
    }
}

TEST_F(SqdReader, ShortAndOverlongFilesFillTheBufferFromTheirFirstBytes) {
    const struct {
        std::size_t length;
    } cases[] = {{1}, {1000}, {kSaveFileSize - 1}, {kLoadBufferSize}, {kLoadBufferSize + 5000}};
    for (const auto& c : cases) {
        std::vector<std::uint8_t> file(c.length);
        for (std::size_t n = 0; n < c.length; ++n) file[n] = static_cast<std::uint8_t>(n * 7 + 1);
        std::memset(ploadBuffer, 0xAA, kLoadBufferSize);
        ImagePtr image = readBack(file);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(state.messages(), "") << c.length;

        std::vector<std::uint8_t> expected(kLoadBufferSize, 0);
        std::copy_n(file.begin(), std::min(c.length, kLoadBufferSize), expected.begin());
        EXPECT_EQ(bufferBytes(), expected) << c.length;
        // The image takes unit 0 from the buffer, whatever the length.
        EXPECT_EQ(std::memcmp(image->vek[0].data, expected.data() + kVekTableOffset, kVekRecordSize), 0) << c.length;
    }
}

TEST_F(SqdReader, WrongHeaderChecksumAndGarbageAreReadAsTheyStand) {
    std::vector<std::uint8_t> file =
        SaveBuilder().unit(2, "Keel").team(0, "Vanguard", "Ash").slot(0, 1, 2, 5).bytes();
    std::memcpy(file.data(), "9.9.99", 6);
    file[kChecksumOffset] ^= 0x55;
    ImagePtr image = readBack(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(state.messages(), "");
    EXPECT_TRUE(isPresentTeam(image->team[0]));
    EXPECT_EQ(image->team[0].vek[1], &image->vek[2]);
    EXPECT_STREQ(image->team[0].name, "Vanguard");

    // Noise of every length: whatever the bytes, no slot points outside the
    // image's own 32 unit records, and an empty slot always has cell 255.
    std::uint32_t state32 = 12345;
    for (std::size_t length : {kSaveFileSize, std::size_t{240000}, kLoadBufferSize}) {
        std::vector<std::uint8_t> noise(length);
        for (auto& b : noise) {
            state32 = state32 * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(state32 >> 16);
        }
        ImagePtr garbage = readBack(noise);
        ASSERT_NE(garbage, nullptr);
        for (const TeamRecord& team : garbage->team) {
            for (int k = 0; k < kSlotCount; ++k) {
                if (team.vek[k] == nullptr) {
                    EXPECT_EQ(team.position[k], kEmptySlotByte);
                } else {
                    EXPECT_GE(team.vek[k], &garbage->vek[0]);
                    EXPECT_LE(team.vek[k], &garbage->vek[kVekCount - 1]);
                }
            }
        }
    }
    EXPECT_EQ(state.messages(), "");
}

TEST_F(SqdReader, SlotUnitByteDecidesTheUnitAndTheCell) {
    const struct {
        std::uint8_t unitByte;
        std::uint8_t positionByte;
        int unit;  // -1: empty slot
        std::uint8_t position;
    } cases[] = {
        {255, 4, -1, 255},   // empty, whatever the position byte holds
        {7, 200, 7, 200},    // the position is taken unchanged
        {40, 3, -1, 255},    // names no unit of the file
        {32, 1, -1, 255},
        {254, 0, -1, 255},
        {31, 8, 31, 8},
        {0, 0, 0, 0},
    };
    SaveBuilder builder;
    int n = 0;
    for (const auto& c : cases) {
        builder.team(n, "T", "P").slot(n, 0, c.unitByte, c.positionByte);
        ++n;
    }
    ImagePtr image = readBack(builder.bytes());
    ASSERT_NE(image, nullptr);
    n = 0;
    for (const auto& c : cases) {
        const TeamRecord& team = image->team[n++];
        SCOPED_TRACE(testing::Message() << "unit byte " << int{c.unitByte} << ", position byte " << int{c.positionByte});
        EXPECT_EQ(team.vek[0], c.unit < 0 ? nullptr : &image->vek[c.unit]);
        EXPECT_EQ(team.position[0], c.position);
        // The team's other slots are empty, so it is present only with a unit here.
        EXPECT_EQ(isPresentTeam(team), c.unit >= 0);
    }
}

TEST_F(SqdReader, StatusWordLowBitsMarkATeamPresent) {
    const std::uint32_t statuses[] = {0, 1, 2, 0x0100, 0x00010000, 0xFFFF0000};
    SaveBuilder builder;
    for (int j = 0; j < 6; ++j) builder.team(j, "T", "P").teamStatus(j, statuses[j]).slot(j, 0, 1, 1);
    ImagePtr image = readBack(builder.bytes());
    ASSERT_NE(image, nullptr);
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(image->team[j].present, statuses[j] & 0xFFFF) << statuses[j];
        EXPECT_EQ(isPresentTeam(image->team[j]), (statuses[j] & 0xFFFF) != 0) << statuses[j];
    }
}

TEST_F(SqdReader, SlotsWithTheSameUnitByteShareOneRecord) {
    ImagePtr image = readBack(SaveBuilder()
                                  .unit(3, "Wren")
                                  .team(0, "A", "P")
                                  .slot(0, 0, 3, 0)
                                  .slot(0, 2, 3, 8)
                                  .team(5, "B", "P")
                                  .slot(5, 1, 3, 4)
                                  .bytes());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->team[0].vek[0], &image->vek[3]);
    EXPECT_EQ(image->team[0].vek[2], &image->vek[3]);
    EXPECT_EQ(image->team[5].vek[1], &image->vek[3]);
    EXPECT_EQ(image->team[0].vek[1], nullptr);
}

TEST_F(SqdReader, FieldsAreCopiedByteForByteFilledOrNot) {
    const std::string teamName = "ABCDEFGHIJKLMNOPQRSTUVWXY";                // 25 bytes, no terminator
    const std::string teamPlayer = "abcdefghijklmnopqrstuvwxyz0123456789!#$";  // 39
    const std::string unitName = "\x83\x76\x83\x8C\x83\x43" "ABCDEFGHIJKLMNOPQRSTUVW";  // 29
    const std::string playerName = "0123456789012345678901234567";             // 28
    const std::string withInnerNul("AB\0CD", 5);
    ImagePtr image = readBack(SaveBuilder()
                                  .player(playerName)
                                  .unit(29, unitName, 4)
                                  .team(1, teamName, teamPlayer, 9)
                                  .slot(1, 0, 29, 0)
                                  .team(2, withInnerNul, withInnerNul)
                                  .bytes());
    ASSERT_NE(image, nullptr);
    const std::vector<std::uint8_t> file = readFileBytes(path_);

    EXPECT_EQ(std::string(image->playerName, kPlayerNameSize), playerName);
    EXPECT_EQ(std::string(image->team[1].name, kTeamNameSize), teamName);
    EXPECT_EQ(std::string(image->team[1].player, kTeamPlayerSize), teamPlayer);
    EXPECT_EQ(std::string(vekName(image->vek[29]), kVekNameSize), unitName);
    EXPECT_EQ(std::memcmp(image->vek[29].data, &file[kVekTableOffset + 29 * kVekRecordSize], kVekRecordSize), 0);
    EXPECT_EQ(std::memcmp(image->team[1].block, &file[kTeamTableOffset + kTeamRecordSize + kTeamBlockOffset],
                          kTeamBlockSize),
              0);
    // What follows a terminator inside a field stays in the image.
    EXPECT_EQ(std::string(image->team[2].name, 5), withInnerNul);
    EXPECT_EQ(std::string(image->team[2].player, 5), withInnerNul);

    // Printing bounds a full field to its width, and stops at a terminator.
    EXPECT_EQ(std::string(fieldText(image->team[1].name, kTeamNameSize).text), teamName);
    EXPECT_EQ(std::string(fieldText(image->team[1].player, kTeamPlayerSize).text), teamPlayer);
    EXPECT_EQ(std::string(fieldText(vekName(image->vek[29]), kVekNameSize).text), unitName);
    EXPECT_EQ(std::string(fieldText(image->team[2].name, kTeamNameSize).text), "AB");
}

TEST_F(SqdReader, FailedOpenReportsAndLeavesTheBufferAsTheLastReadLeftIt) {
    ImagePtr first = readBack(SaveBuilder().unit(0, "First", 3).byte(kRegionCOffset, 0x5A).bytes());
    ASSERT_NE(first, nullptr);
    const std::vector<std::uint8_t> before = bufferBytes();

    const std::string missing = dir.file("missing.sqd");
    EXPECT_EQ(readSQDfile(missing.c_str(), ploadBuffer), -1);
    EXPECT_EQ(state.messages(), "fail to open " + missing + " : No such file or directory\n");
    EXPECT_EQ(bufferBytes(), before);
}

TEST_F(SqdReader, PathOfTenTwentyFourBytesIsNeverOpened) {
    // Both files exist; the longer name's first 1023 bytes are the shorter
    // one, so a path cut to its field would read the wrong file.
    const std::string shortPath = pathOfLength(dir.path(), 1023);
    const std::string longPath = shortPath + "g";
    ASSERT_EQ(longPath.size(), 1024u);
    writeFileBytes(shortPath, SaveBuilder().player("short").bytes());
    writeFileBytes(longPath, SaveBuilder().player("long").bytes());

    ASSERT_EQ(readSQDfile(shortPath.c_str(), ploadBuffer), 0);
    ImagePtr image(parseSQDfile(shortPath.c_str(), ploadBuffer));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::string(image->path), shortPath);
    EXPECT_EQ(std::string(image->vek[31].sourcePath), shortPath);
    EXPECT_STREQ(image->playerName, "short");
    EXPECT_EQ(state.messages(), "");

    const std::vector<std::uint8_t> before = bufferBytes();
    EXPECT_EQ(readSQDfile(longPath.c_str(), ploadBuffer), -1);
    EXPECT_EQ(state.messages(), "fail to open " + longPath + " : File name too long\n");
    EXPECT_EQ(bufferBytes(), before);
}

TEST_F(SqdReader, ReadErrorIsReported) {
    // A directory opens for reading on this system, and then fails to read.
    const std::string folder = dir.path();
    EXPECT_EQ(readSQDfile(folder.c_str(), ploadBuffer), -1);
    EXPECT_EQ(state.messages(), "fail to read " + folder + " : Is a directory\n");
}

}  // namespace
}  // namespace rostrix
