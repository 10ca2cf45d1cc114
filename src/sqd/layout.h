// The save-file layout: every offset, size and count of an SQD file, in one
// place. Offsets are bytes from the start of the file (or of the record they
// belong to); integers in the file are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rostrix {

// Whole file.
inline constexpr std::size_t kLoadBufferSize = 262144;   // ploadBuffer, and the most a read takes
inline constexpr std::size_t kSaveFileSize = 253082;     // what the writer produces
inline constexpr std::size_t kHeaderOffset = 0;
inline constexpr std::size_t kHeaderSize = 6;            // "0.0.12", no terminator
inline constexpr char kHeaderText[kHeaderSize + 1] = "0.0.12";

// Unit (VEK) records.
inline constexpr int kVekCount = 32;
inline constexpr std::size_t kVekTableOffset = 6;
inline constexpr std::size_t kVekRecordSize = 6672;
inline constexpr std::size_t kVekNameOffset = 4;         // within a unit record
inline constexpr std::size_t kVekNameSize = 29;
inline constexpr std::size_t kVekMarkOffset = 36;        // 12 bytes set to 0xCD in a vacant record
inline constexpr std::size_t kVekMarkSize = 12;
inline constexpr std::size_t kVekBlockOffset = 48;       // the 576 bytes a composed team takes as its block
inline constexpr unsigned char kVacantVekFill = 0xCD;

// Opaque region A lies between the unit table and the player name.
inline constexpr std::size_t kRegionAOffset = 213510;
inline constexpr std::size_t kRegionASize = 23552;

// Player name.
inline constexpr std::size_t kPlayerNameOffset = 237062;
inline constexpr std::size_t kPlayerNameSize = 28;

// Opaque region B lies between the player name and the team table.
inline constexpr std::size_t kRegionBOffset = 237090;
inline constexpr std::size_t kRegionBSize = 2260;

// Team records.
inline constexpr int kTeamCount = 16;
inline constexpr std::size_t kTeamTableOffset = 239350;
inline constexpr std::size_t kTeamRecordSize = 832;
inline constexpr std::size_t kTeamTableSize = kTeamRecordSize * kTeamCount;  // 13312
// Fields within a team record.
inline constexpr std::size_t kTeamStatusOffset = 0;      // 32-bit; the reader takes the low 16 bits
inline constexpr std::size_t kTeamBlockOffset = 16;
inline constexpr std::size_t kTeamBlockSize = 576;
inline constexpr std::size_t kTeamNameOffset = 592;
inline constexpr std::size_t kTeamNameSize = 25;
inline constexpr std::size_t kTeamPlayerOffset = 617;
inline constexpr std::size_t kTeamPlayerSize = 39;
inline constexpr int kSlotCount = 3;
inline constexpr std::size_t kSlotIndexOffset = 688;     // slot k's unit index at 688 + 48 k
inline constexpr std::size_t kSlotPositionOffset = 692;  // slot k's cell at 692 + 48 k
inline constexpr std::size_t kSlotStride = 48;
inline constexpr std::size_t kTeamDateOffset = 800;      // year-1900, month, day: three 16-bit values
inline constexpr std::uint32_t kTeamStatusInUse = 2;

// Opaque region C lies between the team table and the checksum.
inline constexpr std::size_t kRegionCOffset = 252662;
inline constexpr std::size_t kRegionCSize = 416;

// Checksum: 32-bit sum of every byte before it.
inline constexpr std::size_t kChecksumOffset = 253078;

// Slot markers.
inline constexpr unsigned char kEmptySlotByte = 255;     // unit-index byte of an empty slot, and its cell
inline constexpr int kCellCount = 9;                     // the 3 x 3 formation grid

// Paths are kept in fields of this size; a longer path is refused.
inline constexpr std::size_t kPathFieldSize = 1024;

static_assert(kVekTableOffset + kVekRecordSize * kVekCount == kRegionAOffset);
static_assert(kRegionAOffset + kRegionASize == kPlayerNameOffset);
static_assert(kPlayerNameOffset + kPlayerNameSize == kRegionBOffset);
static_assert(kRegionBOffset + kRegionBSize == kTeamTableOffset);
static_assert(kTeamTableOffset + kTeamTableSize == kRegionCOffset);
static_assert(kRegionCOffset + kRegionCSize == kChecksumOffset);
static_assert(kChecksumOffset + 4 == kSaveFileSize);
static_assert(kSaveFileSize <= kLoadBufferSize);

}  // namespace rostrix
