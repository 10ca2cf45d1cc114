#include "teams/formation.h"

#include <cstdlib>

#include "support/messages.h"

namespace rostrix {

RepositionFn repositionFn = repositionInRow;

namespace {

inline constexpr int kGridSide = 3;

[[noreturn]] void cannotReposition() {
    message("Can't reposition Vek\n");
    std::exit(1);
}

}  // namespace

void repositionInRow(TeamRecord& team, int slot, const unsigned char occupied[kCellCount]) {
    const int row = team.position[slot] / kGridSide;
    const int column = team.position[slot] % kGridSide;
    for (int i = 0; i < kGridSide; ++i) {
        const int cell = kGridSide * row + (column + i) % kGridSide;
        if (!occupied[cell]) {
            team.position[slot] = static_cast<std::uint8_t>(cell);
            return;
        }
    }
    cannotReposition();
}

void repositionInColumn(TeamRecord& team, int slot, const unsigned char occupied[kCellCount]) {
    const int row = team.position[slot] / kGridSide;
    const int column = team.position[slot] % kGridSide;
    for (int i = 0; i < kGridSide; ++i) {
        const int cell = kGridSide * ((row + i) % kGridSide) + column;
        if (!occupied[cell]) {
            team.position[slot] = static_cast<std::uint8_t>(cell);
            return;
        }
    }
    cannotReposition();
}

void repairFormation(TeamRecord& team) {
    unsigned char occupied[kCellCount] = {};
    // First pass: every slot whose cell nobody before it took keeps it, so a
    // displaced slot later never takes a cell a later slot keeps.
    for (int k = 0; k < kSlotCount; ++k) {
        if (team.vek[k] == nullptr || occupied[team.position[k]]) continue;
        occupied[team.position[k]] = 1;
        team.placed[k] = 1;
    }
    for (int k = 0; k < kSlotCount; ++k) {
        if (team.vek[k] == nullptr || team.placed[k]) continue;
        repositionFn(team, k, occupied);
        occupied[team.position[k]] = 1;
        team.placed[k] = 1;
    }
}

}  // namespace rostrix
