// Unit-script assembly (-b): each vek-script line composes one team from a
// player column, a name column and up to three slot groups (save-file path,
// unit index, cell), taking units one by one from existing save files.
#pragma once

#include <cstdio>

namespace rostrix {

// Reads the vek-script from `script` and writes the new save file to `out`,
// repairing each team's formation and, with automatic naming on, naming the
// unnamed ones. 0 when the run went as the script says (also when it was
// aborted at a limit or placed no team); -1 when the file could not be
// written.
int BuildTeamData(std::FILE* script, std::FILE* out);

}  // namespace rostrix
