// Team-script assembly (-m): each script line names a source save file and a
// team index; that team is copied whole, with its units, into a new file.
#pragma once

#include <cstdio>

namespace rostrix {

// Reads the team-script from `script` and writes the new save file to `out`.
// 0 when the run went as the script says (also when it was aborted at a limit
// or placed no team); -1 when the file could not be written.
int ManageTeamData(std::FILE* script, std::FILE* out);

}  // namespace rostrix
