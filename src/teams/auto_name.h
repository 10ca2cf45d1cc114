// Automatic team names (-a, -a4, -a3, -a2): a team composed without a name is
// named from a prefix of each unit's name, joined in a random rotation.
#pragma once

#include "sqd/image.h"

namespace rostrix {

// Double-byte characters per prefix: 4, 3 or 2; 0 when naming is off. Set by
// main.
extern int autoNameChars;

// The prefix of a unit name that fits in `limit` bytes without ending inside
// a double-byte Shift_JIS character; its length in bytes.
int namePrefixLength(const char* unitName, int limit);

// Rewrites team.name from its units' names (at most 24 bytes, always
// terminated). Makes two draws from the generator, filled slots or not.
void makeAutoTeamName(TeamRecord& team);

}  // namespace rostrix
