// Listing save files as text: -l writes a team-script line per present team,
// -k a unit line per unit standing in a present team.
#pragma once

#include <cstdio>

#include "sqd/image.h"

namespace rostrix {

// Nonzero for -k (unit lines), zero for -l (team-script lines). Set by main.
extern int listUnits;

// Reads the save file at `path` and lists its present teams to `out`. A file
// that cannot be read is reported and skipped; nothing is written for it.
void DumpTeamData(const char* path, std::FILE* out);

// The 13-column team-script line of team `t` (0..15) of the file at `path`.
void writeTeamScriptLine(std::FILE* out, const char* path, int t, const TeamRecord& team);
// One "path, unit index, cell, unit name" line per filled slot of `team`.
void writeUnitLines(std::FILE* out, const char* path, const TeamRecord& team);

}  // namespace rostrix
