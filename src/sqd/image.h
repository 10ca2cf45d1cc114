// The working image of one save file: its player name, its 32 unit records
// and its 16 team records, in a form the tasks edit in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sqd/layout.h"

namespace rostrix {

// One unit record, with the file and index it came from, so that a copied
// unit still says where it was taken.
struct VekRecord {
    unsigned char data[kVekRecordSize];  // the record, byte for byte
    char sourcePath[kPathFieldSize];     // NUL-terminated, zero-filled
    std::int32_t sourceIndex;            // 0..31 in that file
};

struct TeamRecord {
    std::uint16_t present;               // low 16 bits of the file's status word
    char name[kTeamNameSize];            // Shift_JIS bytes, unterminated when full
    char player[kTeamPlayerSize];
    unsigned char block[kTeamBlockSize];
    VekRecord* vek[kSlotCount];          // a record of the same image, or null for an empty slot
    std::uint8_t position[kSlotCount];   // cell 0..8, 255 for an empty slot
    std::uint8_t placed[kSlotCount];     // scratch of formation repair
};

struct SqdImage {
    char path[kPathFieldSize];           // where it was read from; empty in an output image
    char playerName[kPlayerNameSize];
    VekRecord vek[kVekCount];
    TeamRecord team[kTeamCount];
};

// The player name of every new save file: "プレイヤー" in Shift_JIS, a NUL,
// then 17 bytes of 0xFF.
extern const unsigned char defaultPlayerName[kPlayerNameSize];

// A team counts as present when the file marks it in use and it has a unit.
bool isPresentTeam(const TeamRecord& team);

// Empties slot k: no unit, cell 255.
void clearSlot(TeamRecord& team, int k);

// The length of a field's text: its bytes up to the first NUL, at most `width`.
std::size_t fieldLength(const char* field, std::size_t width);

// Copies a NUL-terminated text into a field of `width` bytes, stopping at its
// NUL and zero-filling the rest; a text of `width` bytes or more fills the
// field with no terminator.
void copyField(char* field, const char* text, std::size_t width);

// A field of at most 39 bytes made printable: its bytes up to the first NUL
// or the field's width, always terminated.
struct FieldText {
    char text[40];
};
FieldText fieldText(const char* field, std::size_t width);

// The name of a unit: the 29 bytes at offset 4 of its record.
inline const char* vekName(const VekRecord& vek) {
    return reinterpret_cast<const char*>(vek.data + kVekNameOffset);
}

}  // namespace rostrix
