// Formation repair: moves a composed team's units off shared cells of the
// 3 x 3 grid, each within its own row (default, -rh) or column (-rv).
#pragma once

#include "sqd/image.h"

namespace rostrix {

// A strategy: sets team.position[slot] to a free cell of the slot's row or
// column, reading (not marking) the nine `occupied` flags.
using RepositionFn = void (*)(TeamRecord& team, int slot, const unsigned char occupied[kCellCount]);

// The strategy repairFormation uses; set by main (-rh, -rv).
extern RepositionFn repositionFn;

void repositionInRow(TeamRecord& team, int slot, const unsigned char occupied[kCellCount]);
void repositionInColumn(TeamRecord& team, int slot, const unsigned char occupied[kCellCount]);

// Afterwards the filled slots of `team` stand on pairwise different cells.
// The lowest slot on a shared cell keeps it. Ends the process with status 1
// after "Can't reposition Vek\n" when no cell is free.
void repairFormation(TeamRecord& team);

}  // namespace rostrix
