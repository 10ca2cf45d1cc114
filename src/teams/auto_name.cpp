#include "teams/auto_name.h"

#include <cstring>
#include <initializer_list>

#include "teams/random.h"

namespace rostrix {

int autoNameChars = 0;

namespace {

// A byte that begins a two-byte Shift_JIS character.
bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

inline constexpr int kMaxPiece = 8;

}  // namespace

int namePrefixLength(const char* unitName, int limit) {
    const auto* name = reinterpret_cast<const unsigned char*>(unitName);
    const int field = static_cast<int>(kVekNameSize);
    int length = 0;
    while (length < field && name[length] != 0) {
        const int width = isLeadByte(name[length]) ? 2 : 1;
        if (length + width > limit) break;
        // A lead byte whose second byte is the terminator or lies past the
        // field is no character.
        if (width == 2 && (length + 1 >= field || name[length + 1] == 0)) break;
        length += width;
    }
    return length;
}

void makeAutoTeamName(TeamRecord& team) {
    std::memset(team.name, 0, kTeamNameSize);
    const int limit = autoNameChars * 2 < kMaxPiece ? autoNameChars * 2 : kMaxPiece;
    char pieces[kSlotCount][kMaxPiece + 1] = {};
    int lengths[kSlotCount] = {};
    for (int k = 0; k < kSlotCount; ++k) {
        if (team.vek[k] == nullptr) continue;
        lengths[k] = namePrefixLength(vekName(*team.vek[k]), limit);
        std::memcpy(pieces[k], vekName(*team.vek[k]), static_cast<std::size_t>(lengths[k]));
    }
    const int start = randomInRange(0, 2);
    const int direction = randomInRange(1, 100);
    const int second = direction > 50 ? (start + 1) % 3 : (start + 2) % 3;
    const int third = direction > 50 ? (start + 2) % 3 : (start + 1) % 3;
    std::size_t used = 0;
    for (int k : {start, second, third}) {
        std::memcpy(team.name + used, pieces[k], static_cast<std::size_t>(lengths[k]));
        used += static_cast<std::size_t>(lengths[k]);
    }
}

}  // namespace rostrix
