#include "teams/formation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "fixtures/tool_state.h"
#include "support/messages.h"

namespace rostrix {
namespace {

inline constexpr int kEmpty = -1;

// Any unit will do: the repair only asks whether a slot is filled.
VekRecord* someUnit() {
    static const std::unique_ptr<VekRecord> unit = std::make_unique<VekRecord>();
    return unit.get();
}

// A freshly composed team: filled slots on the given cells, empty ones on 255,
// nothing placed yet.
TeamRecord composedTeam(const int (&cells)[kSlotCount]) {
    TeamRecord team{};
    for (int k = 0; k < kSlotCount; ++k) {
        if (cells[k] == kEmpty) {
            clearSlot(team, k);
        } else {
            team.vek[k] = someUnit();
            team.position[k] = static_cast<std::uint8_t>(cells[k]);
        }
    }
    return team;
}

struct FormationCase {
    int given[kSlotCount];
    int rowKeeping[kSlotCount];
    int columnKeeping[kSlotCount];
};

void PrintTo(const FormationCase& c, std::ostream* os) {
    *os << "given " << c.given[0] << "," << c.given[1] << "," << c.given[2];
}

class FormationRepairTable : public ::testing::TestWithParam<FormationCase> {
protected:
    ToolState state;
};

TEST_P(FormationRepairTable, BothStrategiesGiveTheirCells) {
    const FormationCase& c = GetParam();
    const struct {
        RepositionFn fn;
        const int* expected;
        const char* label;
    } strategies[] = {{repositionInRow, c.rowKeeping, "row-keeping"},
                      {repositionInColumn, c.columnKeeping, "column-keeping"}};
    for (const auto& strategy : strategies) {
        SCOPED_TRACE(strategy.label);
        repositionFn = strategy.fn;
        TeamRecord team = composedTeam(c.given);
        repairFormation(team);
        for (int k = 0; k < kSlotCount; ++k) {
            if (strategy.expected[k] == kEmpty) {
                EXPECT_EQ(team.vek[k], nullptr) << "slot " << k;
                EXPECT_EQ(team.position[k], kEmptySlotByte) << "slot " << k;
            } else {
                EXPECT_EQ(team.position[k], strategy.expected[k]) << "slot " << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormationRepairTable,
    ::testing::Values(
        // Three on the centre: the later two go right then wrap (row) or down then wrap (column).
        FormationCase{{4, 4, 4}, {4, 5, 3}, {4, 7, 1}},
        // The last cell wraps to the start of its row or column.
        FormationCase{{8, 8, 8}, {8, 6, 7}, {8, 2, 5}},
        FormationCase{{2, 2, kEmpty}, {2, 0, kEmpty}, {2, 5, kEmpty}},
        // Slot 2 keeps cell 1 in the first pass, so displaced slot 1 skips it.
        FormationCase{{0, 0, 1}, {0, 2, 1}, {0, 3, 1}},
        // Slot 1 keeps cell 3 alone, so displaced slot 2 passes over it in its row.
        FormationCase{{5, 3, 5}, {5, 3, 4}, {5, 3, 8}},
        FormationCase{{0, 1, 2}, {0, 1, 2}, {0, 1, 2}},
        // With slot 0 empty, slot 1 is the one that keeps the shared cell.
        FormationCase{{kEmpty, 6, 6}, {kEmpty, 6, 7}, {kEmpty, 6, 0}},
        FormationCase{{kEmpty, kEmpty, 3}, {kEmpty, kEmpty, 3}, {kEmpty, kEmpty, 3}},
        FormationCase{{kEmpty, kEmpty, kEmpty}, {kEmpty, kEmpty, kEmpty}, {kEmpty, kEmpty, kEmpty}}));

// Every formation of up to three units, under both strategies: afterwards no
// two units share a cell, slot 0 and every unit alone on its cell stay put,
// and a moved unit stays in its own row (or column).
TEST(FormationRepair, EveryFormationEndsWithDistinctCellsInTheKeptLine) {
    ToolState state;
    for (const bool byRow : {true, false}) {
        repositionFn = byRow ? repositionInRow : repositionInColumn;
        for (int code = 0; code < 10 * 10 * 10; ++code) {
            // 9 stands for an empty slot.
            const int digits[kSlotCount] = {code / 100, code / 10 % 10, code % 10};
            int cells[kSlotCount];
            for (int k = 0; k < kSlotCount; ++k) cells[k] = digits[k] == 9 ? kEmpty : digits[k];
            TeamRecord team = composedTeam(cells);
            repairFormation(team);
            SCOPED_TRACE(::testing::Message() << (byRow ? "row" : "column") << " keeping, given " << cells[0]
                                              << "," << cells[1] << "," << cells[2]);
            for (int k = 0; k < kSlotCount; ++k) {
                if (cells[k] == kEmpty) {
                    ASSERT_EQ(team.position[k], kEmptySlotByte);
                    continue;
                }
                const int now = team.position[k];
                ASSERT_LT(now, kCellCount);
                bool shared = false;
                for (int other = 0; other < kSlotCount; ++other) {
                    if (other == k || cells[other] == kEmpty) continue;
                    if (other < k && cells[other] == cells[k]) shared = true;
                    ASSERT_NE(now, team.position[other]) << "slots " << k << " and " << other;
                }
                if (!shared) {
                    ASSERT_EQ(now, cells[k]) << "slot " << k << " had its cell to itself";
                } else if (byRow) {
                    ASSERT_EQ(now / 3, cells[k] / 3) << "slot " << k << " left its row";
                } else {
                    ASSERT_EQ(now % 3, cells[k] % 3) << "slot " << k << " left its column";
                }
            }
        }
    }
}

TEST(FormationRepairDeathTest, NoFreeCellInTheRowOrColumnEndsTheRun) {
    ToolState state;
    const unsigned char occupied[kCellCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    TeamRecord team = composedTeam({4, 4, 4});
    EXPECT_EXIT(
        {
            msgStream = stderr;
            repositionInRow(team, 1, occupied);
        },
        ::testing::ExitedWithCode(1), "^Can't reposition Vek\n$");
    EXPECT_EXIT(
        {
            msgStream = stderr;
            repositionInColumn(team, 2, occupied);
        },
        ::testing::ExitedWithCode(1), "^Can't reposition Vek\n$");
    // Only the candidates of the slot's own line count: a free cell elsewhere
    // does not save the unit.
    const unsigned char rowFull[kCellCount] = {0, 0, 0, 1, 1, 1, 0, 0, 0};
    EXPECT_EXIT(
        {
            msgStream = stderr;
            repositionInRow(team, 1, rowFull);
        },
        ::testing::ExitedWithCode(1), "^Can't reposition Vek\n$");
    const unsigned char columnFull[kCellCount] = {0, 1, 0, 0, 1, 0, 0, 1, 0};
    EXPECT_EXIT(
        {
            msgStream = stderr;
            repositionInColumn(team, 1, columnFull);
        },
        ::testing::ExitedWithCode(1), "^Can't reposition Vek\n$");
}

}  // namespace
}  // namespace rostrix
