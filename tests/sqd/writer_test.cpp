#include "sqd/writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/load_buffer.h"
#include "support/messages.h"
#include "sqd/reader.h"

namespace rostrix {
namespace {

// The file format, written out here as plain numbers so that the tests do not
// lean on the layout the writer itself uses.
constexpr std::size_t kFileSize = 253082;
constexpr std::size_t kUnitSize = 6672;
constexpr std::size_t kTeamSize = 832;
std::size_t unitAt(int i) { return 6 + kUnitSize * static_cast<std::size_t>(i); }
std::size_t teamAt(int j) { return 239350 + kTeamSize * static_cast<std::size_t>(j); }

using Bytes = std::vector<std::uint8_t>;
using Date = std::array<std::uint8_t, 6>;

struct ImageDeleter {
    void operator()(SqdImage* image) const { freeSQDimage(image); }
};
using ImagePtr = std::unique_ptr<SqdImage, ImageDeleter>;

ImagePtr newImage() {
    ImagePtr image(allocateSQDimage());
    if (!image) throw std::runtime_error("no image");
    for (TeamRecord& team : image->team) {
        for (int k = 0; k < 3; ++k) clearSlot(team, k);
    }
    return image;
}

std::time_t localNoon(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

Bytes slice(const Bytes& file, std::size_t offset, std::size_t length) {
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
                 file.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

void fillPattern(unsigned char* p, std::size_t n, unsigned seed) {
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<unsigned char>(seed * 29u + i * 11u + 1u);
}

// The 832 bytes a team record of the file must hold: `units[k]` is slot k's
// unit index, or -1 for an empty slot.
Bytes expectedTeam(const TeamRecord& team, std::array<int, 3> units, const Date& date) {
    Bytes record(kTeamSize, 0);
    bool hasUnit = false;
    for (int k = 0; k < 3; ++k) {
        std::uint8_t* index = &record[688 + 48 * static_cast<std::size_t>(k)];
        if (units[k] < 0) {
            std::memset(index, 0xFF, 8);  // index and position
        } else {
            hasUnit = true;
            index[0] = static_cast<std::uint8_t>(units[k]);
            index[4] = team.position[k];
        }
    }
    if (hasUnit) {
        record[0] = 2;
        std::copy(date.begin(), date.end(), record.begin() + 800);
    }
    std::memcpy(&record[16], team.block, 576);
    std::memcpy(&record[592], team.name, 25);
    std::memcpy(&record[617], team.player, 39);
    return record;
}

class SqdWriter : public ::testing::Test {
protected:
    // Writes `image` to a file and returns the file's bytes, read back before
    // the stream is closed: the writer must have flushed them itself.
    Bytes save(SqdImage* image, std::time_t now, int expectedStatus = 0) {
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        if (out == nullptr) throw std::runtime_error("cannot create " + outPath);
        EXPECT_EQ(saveSQDBLOCKat(image, out, now), expectedStatus);
        Bytes written = readFileBytes(outPath);
        std::fclose(out);
        return written;
    }

    // Reads a file into ploadBuffer as a source file would be.
    void readSource(const Bytes& bytes, const std::string& name) {
        const std::string path = dir.file(name);
        writeFileBytes(path, bytes);
        ASSERT_EQ(readSQDfile(path.c_str(), ploadBuffer), 0);
    }

    ImagePtr parseOutput() {
        EXPECT_EQ(readSQDfile(outPath.c_str(), ploadBuffer), 0);
        return ImagePtr(parseSQDfile(outPath.c_str(), ploadBuffer));
    }

    ToolState state;
    TempDir dir;
    std::string outPath = dir.file("out.sqd");
    const std::time_t jan5 = localNoon(2025, 1, 5);
};

TEST_F(SqdWriter, WritesHeaderAndChecksumAndReportsThemUnderVerbose) {
    verbose = 1;
    ImagePtr image = newImage();
    fillPattern(image->vek[0].data, kUnitSize, 1);
    std::memcpy(image->playerName, defaultPlayerName, sizeof image->playerName);
    std::strcpy(image->team[0].name, "Dawn");
    image->team[0].vek[1] = &image->vek[0];
    image->team[0].position[1] = 4;

    const Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "0.0.12");
    const std::uint32_t sum = saveChecksum(file);
    const Bytes stored = slice(file, 253078, 4);
    EXPECT_EQ(stored, (Bytes{static_cast<std::uint8_t>(sum), static_cast<std::uint8_t>(sum >> 8),
                             static_cast<std::uint8_t>(sum >> 16), static_cast<std::uint8_t>(sum >> 24)}));
    char report[32];
    std::snprintf(report, sizeof report, "Checksum:%08lx\n", static_cast<unsigned long>(sum));
    EXPECT_EQ(state.messages(), std::string("Save SQD file...\n") + report);
    // The buffer keeps the complete file.
    EXPECT_EQ(Bytes(ploadBuffer, ploadBuffer + kFileSize), file);

    // The project's own reader takes it back.
    ImagePtr back = parseOutput();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::memcmp(back->playerName, defaultPlayerName, 28), 0);
    EXPECT_STREQ(back->team[0].name, "Dawn");
    EXPECT_TRUE(isPresentTeam(back->team[0]));
    EXPECT_EQ(back->team[0].vek[1], &back->vek[0]);
    EXPECT_EQ(back->team[0].position[1], 4);
    EXPECT_EQ(std::memcmp(back->vek[0].data, image->vek[0].data, kUnitSize), 0);
}

TEST_F(SqdWriter, CopiesEveryUnitByteForByteInImageOrder) {
    // All 32 records in use: each is written as it stands, none blanked.
    SaveBuilder source;
    for (int i = 0; i < 32; ++i) source.unit(i, "Unit" + std::to_string(i), static_cast<std::uint8_t>(i + 1));
    const Bytes sourceBytes = source.bytes();
    readSource(sourceBytes, "source.sqd");
    ImagePtr parsed(parseSQDfile(dir.file("source.sqd").c_str(), ploadBuffer));
    ASSERT_NE(parsed, nullptr);

    ImagePtr image = newImage();
    for (int i = 0; i < 32; ++i) image->vek[i] = parsed->vek[31 - i];
    const Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(slice(file, unitAt(i), kUnitSize), slice(sourceBytes, unitAt(31 - i), kUnitSize)) << "unit " << i;
    }
}

TEST_F(SqdWriter, VacantRecordsCarryTheMarkAndNothingElse) {
    ImagePtr image = newImage();
    for (int i = 0; i < 3; ++i) std::memset(image->vek[i].data, 0x11 * (i + 1), kUnitSize);
    blankVekSlots(&image->vek[3], 29);
    const Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);

    for (int i = 0; i < 32; ++i) {
        Bytes expected(kUnitSize, i < 3 ? static_cast<std::uint8_t>(0x11 * (i + 1)) : 0);
        if (i >= 3) {
            std::fill(expected.begin() + 4, expected.begin() + 33, 0xCD);
            std::fill(expected.begin() + 36, expected.begin() + 48, 0xCD);
        }
        EXPECT_EQ(slice(file, unitAt(i), kUnitSize), expected) << "unit " << i;
    }
}

TEST_F(SqdWriter, TeamStatusAndDateFollowTheSlotsAlone) {
    ImagePtr image = newImage();
    fillPattern(image->vek[4].data, kUnitSize, 4);

    // No unit, though the image marks it present: status, date and slots stay blank.
    TeamRecord& empty = image->team[0];
    empty.present = 1;
    fillPattern(empty.block, sizeof empty.block, 7);
    copyField(empty.name, "Empty", sizeof empty.name);
    copyField(empty.player, "Nobody", sizeof empty.player);
    // Its only unit in slot 2, though the image does not mark it present.
    TeamRecord& rear = image->team[1];
    rear.present = 0;
    fillPattern(rear.block, sizeof rear.block, 8);
    std::memcpy(rear.name, "ABCDEFGHIJKLMNOPQRSTUVWXY", 25);  // full field
    copyField(rear.player, "\x83\x76\x83\x8C", sizeof rear.player);
    rear.vek[2] = &image->vek[4];
    rear.position[2] = 6;

    const Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    const Date date{0x7D, 0x00, 0x01, 0x00, 0x05, 0x00};
    EXPECT_EQ(slice(file, teamAt(0), kTeamSize), expectedTeam(empty, {-1, -1, -1}, date));
    EXPECT_EQ(slice(file, teamAt(1), kTeamSize), expectedTeam(rear, {-1, -1, 4}, date));
    EXPECT_EQ(slice(file, teamAt(1) + 784, 8), (Bytes{4, 0, 0, 0, 6, 0, 0, 0}));
    for (int j = 2; j < 16; ++j) {
        EXPECT_EQ(slice(file, teamAt(j), kTeamSize), expectedTeam(image->team[j], {-1, -1, -1}, date)) << j;
    }

    ImagePtr back = parseOutput();
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(isPresentTeam(back->team[0]));
    EXPECT_EQ(back->team[0].present, 0);
    ASSERT_TRUE(isPresentTeam(back->team[1]));
    EXPECT_EQ(back->team[1].vek[0], nullptr);
    EXPECT_EQ(back->team[1].vek[1], nullptr);
    EXPECT_EQ(back->team[1].vek[2], &back->vek[4]);
    EXPECT_EQ(back->team[1].position[2], 6);
    EXPECT_EQ(std::memcmp(back->team[1].block, rear.block, sizeof rear.block), 0);
    EXPECT_EQ(std::memcmp(back->team[1].name, rear.name, 25), 0);
}

TEST_F(SqdWriter, SlotIndexIsTheRecordsPlaceInTheImage) {
    ImagePtr image = newImage();
    // Left over from the files the units came from.
    for (int i = 0; i < 32; ++i) image->vek[i].sourceIndex = 90 + i;
    image->vek[5].sourceIndex = 17;
    image->vek[0].sourceIndex = 300;
    image->vek[31].sourceIndex = -1;

    TeamRecord& a = image->team[0];
    a.vek[0] = &image->vek[5];
    a.position[0] = 0;
    a.vek[1] = &image->vek[5];
    a.position[1] = 200;  // out of the grid: written as it stands
    a.vek[2] = &image->vek[0];
    a.position[2] = 8;
    TeamRecord& b = image->team[7];
    b.vek[0] = &image->vek[31];
    b.position[0] = 1;

    const Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(slice(file, teamAt(0) + 688, 8), (Bytes{5, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(slice(file, teamAt(0) + 736, 8), (Bytes{5, 0, 0, 0, 0xC8, 0, 0, 0}));
    EXPECT_EQ(slice(file, teamAt(0) + 784, 8), (Bytes{0, 0, 0, 0, 8, 0, 0, 0}));
    EXPECT_EQ(slice(file, teamAt(7) + 688, 8), (Bytes{31, 0, 0, 0, 1, 0, 0, 0}));
    for (int i = 0; i < 32; ++i) EXPECT_EQ(image->vek[i].sourceIndex, i);
}

TEST_F(SqdWriter, StampsTheLocalDateOnEveryTeamWithAUnit) {
    const struct {
        int year, month, day;
        Date bytes;
    } cases[] = {
        {2025, 1, 5, {0x7D, 0x00, 0x01, 0x00, 0x05, 0x00}},
        {1999, 12, 31, {0x63, 0x00, 0x0C, 0x00, 0x1F, 0x00}},
        {2156, 2, 29, {0x00, 0x01, 0x02, 0x00, 0x1D, 0x00}},  // 256 years since 1900
    };
    for (const auto& c : cases) {
        ImagePtr image = newImage();
        image->team[2].vek[0] = &image->vek[1];
        image->team[2].position[0] = 3;
        image->team[9].vek[1] = &image->vek[2];
        image->team[9].position[1] = 4;
        const Bytes file = save(image.get(), localNoon(c.year, c.month, c.day));
        ASSERT_EQ(file.size(), kFileSize);
        const Bytes want(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(slice(file, teamAt(2) + 800, 6), want) << c.year;
        EXPECT_EQ(slice(file, teamAt(9) + 800, 6), want) << c.year;
        EXPECT_EQ(slice(file, teamAt(3) + 800, 6), Bytes(6, 0)) << c.year;
    }
}

TEST_F(SqdWriter, SaveWithTheClockStampsToday) {
    ImagePtr image = newImage();
    image->team[0].vek[0] = &image->vek[0];
    image->team[0].position[0] = 0;
    auto dateBytes = [](std::time_t t) {
        const std::tm* tm = std::localtime(&t);
        const int y = tm->tm_year;
        const int m = tm->tm_mon + 1;
        const int d = tm->tm_mday;
        return Bytes{static_cast<std::uint8_t>(y % 256), static_cast<std::uint8_t>(y / 256),
                     static_cast<std::uint8_t>(m), 0, static_cast<std::uint8_t>(d), 0};
    };
    const Bytes before = dateBytes(std::time(nullptr));
    std::FILE* out = std::fopen(outPath.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(saveSQDBLOCK(image.get(), out), 0);
    std::fclose(out);
    const Bytes after = dateBytes(std::time(nullptr));
    const Bytes stamped = slice(readFileBytes(outPath), teamAt(0) + 800, 6);
    EXPECT_TRUE(stamped == before || stamped == after);
}

TEST_F(SqdWriter, OpaqueRegionsComeFromTheLastFileRead) {
    auto withRegions = [](unsigned seed) {
        Bytes file = SaveBuilder().unit(0, "Src").bytes();
        fillPattern(&file[213510], 23552, seed);  // A
        fillPattern(&file[237090], 2260, seed + 1);  // B
        fillPattern(&file[252662], 416, seed + 2);  // C
        return file;
    };
    const Bytes x = withRegions(1);
    const Bytes y = withRegions(5);
    readSource(x, "x.sqd");
    readSource(y, "y.sqd");
    ImagePtr image = newImage();
    Bytes file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(slice(file, 213510, 23552), slice(y, 213510, 23552));
    EXPECT_EQ(slice(file, 237090, 2260), slice(y, 237090, 2260));
    EXPECT_EQ(slice(file, 252662, 416), slice(y, 252662, 416));
    EXPECT_EQ(slice(file, 253078, 4), slice(Bytes(ploadBuffer, ploadBuffer + kFileSize), 253078, 4));

    // A file that ends before region C leaves it zero.
    const Bytes shortFile = slice(withRegions(9), 0, 240000);
    readSource(shortFile, "short.sqd");
    file = save(image.get(), jan5);
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(slice(file, 213510, 23552), slice(shortFile, 213510, 23552));
    EXPECT_EQ(slice(file, 237090, 2260), slice(shortFile, 237090, 2260));
    EXPECT_EQ(slice(file, 252662, 416), Bytes(416, 0));
}

TEST_F(SqdWriter, FailedWriteReportsAndReturnsMinusOne) {
    const struct {
        const char* path;
        const char* mode;
        const char* error;
    } cases[] = {
        {"/dev/full", "wb", "No space left on device"},
        {nullptr, "rb", "Bad file descriptor"},  // a stream opened for reading only
    };
    for (const auto& c : cases) {
        const std::size_t before = state.messages().size();
        ImagePtr image = newImage();
        for (int i = 0; i < 32; ++i) image->vek[i].sourceIndex = 40;
        writeFileBytes(outPath, {});
        std::FILE* out = std::fopen(c.path != nullptr ? c.path : outPath.c_str(), c.mode);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(saveSQDBLOCKat(image.get(), out, jan5), -1) << c.error;
        std::fclose(out);
        EXPECT_EQ(state.messages().substr(before), std::string("fail to fwrite in saveSQDBLOCK : ") + c.error + "\n");
        for (int i = 0; i < 32; ++i) EXPECT_EQ(image->vek[i].sourceIndex, i);
    }
}

}  // namespace
}  // namespace rostrix
