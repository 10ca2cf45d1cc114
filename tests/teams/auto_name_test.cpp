#include "teams/auto_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/tool_state.h"
#include "teams/random.h"

namespace rostrix {
namespace {

// The first seed whose generator satisfies `wanted`.
std::uint32_t findSeed(const std::function<bool(ModelGenerator)>& wanted) {
    for (std::uint32_t seed = 1; seed < 50'000'000u; ++seed) {
        if (wanted(ModelGenerator{seed})) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

// A seed whose name draws give this start and a direction in [lo, hi].
std::uint32_t seedFor(int start, int directionLo, int directionHi) {
    return findSeed([=](ModelGenerator g) {
        const int s = g.start();
        const int d = g.direction();
        return s == start && d >= directionLo && d <= directionHi;
    });
}

// What the generator yields after the two draws of one name from `seed`.
int valueAfterOneName(std::uint32_t seed) {
    ModelGenerator g{seed};
    g.start();
    g.direction();
    return g.next();
}

TEST(RandomGenerator, DrawsTheLinearCongruentialSequence) {
    seedRandom(1);
    for (const int expected : {16838, 5758, 10113, 17515, 31051}) EXPECT_EQ(nextRandom(), expected);

    for (const std::uint32_t seed : {0u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
        seedRandom(seed);
        ModelGenerator model{seed};
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(nextRandom(), model.next()) << "seed " << seed << " draw " << i;
    }
    // Seeding again starts the sequence over.
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 16838);
}

struct RangeCase {
    int lo;
    int hi;
    int quotient;  // 32767 / (hi - lo + 1)
    int first;     // the generator's first value for the seed the test finds
    bool redrawn;  // whether that value is drawn again
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << "(" << c.lo << "," << c.hi << ") first value " << c.first;
}

class RandomInRangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RandomInRangeTable, RedrawsOnlyTheTopValues) {
    const RangeCase& c = GetParam();
    const int limit = (c.hi - c.lo + 1) * c.quotient;
    // A seed whose first value is c.first and whose second is usable.
    const std::uint32_t seed = findSeed([&](ModelGenerator g) { return g.next() == c.first && g.next() < limit; });
    ModelGenerator model{seed};
    const int first = model.next();
    const int second = model.next();
    const int used = c.redrawn ? second : first;

    seedRandom(seed);
    EXPECT_EQ(randomInRange(c.lo, c.hi), c.lo + used / c.quotient);
    // Exactly the values needed were taken from the generator.
    ModelGenerator after{seed};
    after.next();
    if (c.redrawn) after.next();
    EXPECT_EQ(nextRandom(), after.next());
}

INSTANTIATE_TEST_SUITE_P(Cases, RandomInRangeTable,
                         ::testing::Values(RangeCase{0, 2, 10922, 0, false}, RangeCase{0, 2, 10922, 10921, false},
                                           RangeCase{0, 2, 10922, 10922, false},
                                           RangeCase{0, 2, 10922, 32765, false},
                                           RangeCase{0, 2, 10922, 32766, true}, RangeCase{0, 2, 10922, 32767, true},
                                           RangeCase{1, 100, 327, 326, false}, RangeCase{1, 100, 327, 327, false},
                                           RangeCase{1, 100, 327, 32699, false},
                                           RangeCase{1, 100, 327, 32700, true}, RangeCase{1, 100, 327, 32767, true}));

// A team whose slots hold units with the given names ("" as a name still
// fills the slot; nullptr leaves the slot empty).
class AutoTeamName : public ::testing::Test {
protected:
    void setUnits(const std::vector<const char*>& names) {
        team = TeamRecord{};
        for (int k = 0; k < kSlotCount; ++k) {
            const char* name = k < static_cast<int>(names.size()) ? names[k] : nullptr;
            if (name == nullptr) {
                clearSlot(team, k);
                continue;
            }
            units[k] = std::make_unique<VekRecord>();
            // Bytes before and after the name field, so a piece that runs
            // past the field shows.
            std::memset(units[k]->data, 'z', kVekRecordSize);
            // The name field holds the text zero-filled, or its first 29
            // bytes unterminated.
            copyField(reinterpret_cast<char*>(units[k]->data + kVekNameOffset), name, kVekNameSize);
            team.vek[k] = units[k].get();
            team.position[k] = static_cast<std::uint8_t>(k);
        }
    }
    std::string name() const { return std::string(team.name, kTeamNameSize); }
    static std::string padded(const std::string& text) { return text + std::string(kTeamNameSize - text.size(), '\0'); }

    ToolState state;
    std::unique_ptr<VekRecord> units[kSlotCount];
    TeamRecord team{};
};

struct RotationCase {
    std::vector<const char*> units;
    int start;
    int directionLo;
    int directionHi;
    const char* expected;
};

void PrintTo(const RotationCase& c, std::ostream* os) {
    *os << "start " << c.start << " direction " << c.directionLo << ".." << c.directionHi << " -> " << c.expected;
}

class AutoTeamNameRotation : public AutoTeamName, public ::testing::WithParamInterface<RotationCase> {};

TEST_P(AutoTeamNameRotation, JoinsThePiecesFromTheDrawnStart) {
    const RotationCase& c = GetParam();
    autoNameChars = 2;
    setUnits(c.units);
    const std::uint32_t seed = seedFor(c.start, c.directionLo, c.directionHi);
    seedRandom(seed);
    makeAutoTeamName(team);
    EXPECT_EQ(name(), padded(c.expected));
    EXPECT_EQ(nextRandom(), valueAfterOneName(seed)) << "a name makes exactly its two draws";
}

const std::vector<const char*> kThreeUnits = {"Alpha", "Bravo", "Charlie"};
const std::vector<const char*> kSlotOneEmpty = {"Alpha", nullptr, "Charlie"};

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoTeamNameRotation,
    ::testing::Values(RotationCase{kThreeUnits, 0, 51, 100, "AlphBravChar"},
                      RotationCase{kThreeUnits, 0, 1, 50, "AlphCharBrav"},
                      // 51 is the lowest direction that rises, 50 the highest that falls.
                      RotationCase{kThreeUnits, 1, 51, 51, "BravCharAlph"},
                      RotationCase{kThreeUnits, 1, 50, 50, "BravAlphChar"},
                      RotationCase{kThreeUnits, 2, 51, 100, "CharAlphBrav"},
                      RotationCase{kThreeUnits, 2, 1, 50, "CharBravAlph"},
                      RotationCase{kSlotOneEmpty, 1, 51, 100, "CharAlph"},
                      RotationCase{kSlotOneEmpty, 1, 1, 50, "AlphChar"},
                      RotationCase{kSlotOneEmpty, 0, 1, 50, "AlphChar"},
                      RotationCase{kSlotOneEmpty, 2, 51, 100, "CharAlph"}));

TEST_F(AutoTeamName, TeamWithoutUnitsGetsAnEmptyNameAndStillDraws) {
    autoNameChars = 4;
    setUnits({});
    std::memset(team.name, 'x', kTeamNameSize);
    const std::uint32_t seed = 20240601u;
    seedRandom(seed);
    makeAutoTeamName(team);
    EXPECT_EQ(name(), std::string(kTeamNameSize, '\0'));
    EXPECT_EQ(nextRandom(), valueAfterOneName(seed));
}

struct PieceCase {
    int chars;
    std::vector<const char*> units;
    std::string expected;  // with start 0 and a rising direction
};

// Test names show the width and the expected name, not the raw bytes (the
// struct has padding, which is no value to print).
void PrintTo(const PieceCase& c, std::ostream* os) { *os << "-a" << c.chars << " -> " << c.expected; }

class AutoTeamNamePieces : public AutoTeamName, public ::testing::WithParamInterface<PieceCase> {};

TEST_P(AutoTeamNamePieces, CutsEachUnitNameToItsPiece) {
    const PieceCase& c = GetParam();
    autoNameChars = c.chars;
    setUnits(c.units);
    // What the field held before is wiped.
    std::memset(team.name, 'x', kTeamNameSize);
    seedRandom(seedFor(0, 51, 100));
    makeAutoTeamName(team);
    EXPECT_EQ(name(), padded(c.expected));
    EXPECT_EQ(team.name[kTeamNameSize - 1], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoTeamNamePieces,
    ::testing::Values(
        // Three long names fill 24 bytes; the 25th stays zero.
        PieceCase{4, {"ABCDEFGHIJ", "KLMNOPQRSTU", "abcdefghXYZ"}, "ABCDEFGHKLMNOPQRabcdefgh"},
        // Names that fill their 29-byte field with no terminator.
        PieceCase{4,
                  {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "BBBBBBBBBBBBBBBBBBBBBBBBBBBBB", "CCCCCCCCCCCCCCCCCCCCCCCCCCCCC"},
                  "AAAAAAAABBBBBBBBCCCCCCCC"},
        PieceCase{3, {"ABCDEFGHIJ", "KLMNOPQRSTU", "abcdefghXYZ"}, "ABCDEFKLMNOPabcdef"},
        // Shorter names give all they have; an empty name gives nothing.
        PieceCase{2, {"Al", "", "C"}, "AlC"},
        // Double-byte names: whole characters, exactly the byte cut.
        PieceCase{4,
                  {"\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8", "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49",
                   "\x8C\x8E\x89\xCE\x90\x85\x96\xD8\x8B\xE0"},
                  "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x83\x41\x83\x43\x83\x45\x83\x47\x8C\x8E\x89\xCE\x90\x85\x96\xD8"},
        // Mixed names stop before a character that would cross the piece's
        // end, and before a lead byte that ends the name.
        PieceCase{2,
                  {"A\x82\xA0\x82\xA2", "\x82\xA0\x82\xA2\x82\xA4", "AB\x82"},
                  "A\x82\xA0\x82\xA0\x82\xA2"
                  "AB"},
        PieceCase{4, {"ABC\x82\xA0\x82\xA2\x82\xA4", "\xB1\xB2\xB3\x82\xA0\x82\xA2\x82\xA4", "x"},
                  "ABC\x82\xA0\x82\xA2\xB1\xB2\xB3\x82\xA0\x82\xA2x"}));

struct PrefixCase {
    std::string name;  // the name field's bytes (zero-filled to 29)
    int limit;
    int expected;
};

void PrintTo(const PrefixCase& c, std::ostream* os) {
    *os << "name of " << c.name.size() << " bytes, limit " << c.limit;
}

class NamePrefixLengthTable : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(NamePrefixLengthTable, EndsOnACharacterBoundary) {
    const PrefixCase& c = GetParam();
    ASSERT_LE(c.name.size(), kVekNameSize);
    // Exactly the field, so reading past it shows under the sanitizer.
    const std::unique_ptr<char[]> field = std::make_unique<char[]>(kVekNameSize);
    std::memcpy(field.get(), c.name.data(), c.name.size());
    EXPECT_EQ(namePrefixLength(field.get(), c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamePrefixLengthTable,
    ::testing::Values(PrefixCase{"ABCDEF", 4, 4}, PrefixCase{"AB", 8, 2}, PrefixCase{"", 8, 0},
                      // Lead bytes 0x81-0x9F and 0xE0-0xFC begin a two-byte
                      // character; their neighbours are single bytes.
                      PrefixCase{"AAA\x80\x40", 4, 4}, PrefixCase{"AAA\x81\x40", 4, 3},
                      PrefixCase{"AAA\x9F\x40", 4, 3}, PrefixCase{"AAA\xA0\x40", 4, 4},
                      PrefixCase{"AAA\xDF\x40", 4, 4}, PrefixCase{"AAA\xE0\x40", 4, 3},
                      PrefixCase{"AAA\xFC\x40", 4, 3}, PrefixCase{"AAA\xFD\x40", 4, 4},
                      PrefixCase{"AA\x82\xA0X", 4, 4}, PrefixCase{"A\x82\xA0\x82\xA2", 4, 3},
                      // A second byte that looks like a lead byte is still a second byte.
                      PrefixCase{"\x82\x82X", 2, 2}, PrefixCase{"\x82\x82\x82\x82X", 5, 5},
                      // A lead byte followed by the terminator is no character.
                      PrefixCase{"A\x82", 8, 1},
                      // Nor is one in the field's last byte, with no room for its second.
                      PrefixCase{std::string(28, 'A') + "\x82", 40, 28},
                      PrefixCase{std::string(29, 'A'), 40, 29}));

}  // namespace
}  // namespace rostrix
