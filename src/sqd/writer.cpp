#include "sqd/writer.h"

#include <cerrno>
#include <cstring>

#include "sqd/load_buffer.h"
#include "support/le_bytes.h"
#include "support/messages.h"

namespace rostrix {

void blankVekSlots(VekRecord* first, int count) {
    for (int i = 0; i < count; ++i) {
        std::memset(first[i].data + kVekNameOffset, kVacantVekFill, kVekNameSize);
        std::memset(first[i].data + kVekMarkOffset, kVacantVekFill, kVekMarkSize);
    }
}

namespace {

struct Date {
    std::uint16_t yearsSince1900;
    std::uint16_t month;  // 1..12
    std::uint16_t day;    // 1..31
};

Date localDate(std::time_t now) {
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return Date{70, 1, 1};  // a clock beyond what the calendar can show
    return Date{static_cast<std::uint16_t>(local->tm_year), static_cast<std::uint16_t>(local->tm_mon + 1),
                static_cast<std::uint16_t>(local->tm_mday)};
}

void writeSlotField(unsigned char* field, bool filled, unsigned char value) {
    if (filled) {
        writeLe32(field, value);
    } else {
        writeLe32(field, 0xFFFFFFFFu);
    }
}

}  // namespace

std::uint32_t layOutSaveFile(SqdImage* image, unsigned char* buffer, std::time_t now) {
    const Date date = localDate(now);
    std::memcpy(buffer + kHeaderOffset, kHeaderText, kHeaderSize);
    for (int i = 0; i < kVekCount; ++i) {
        std::memcpy(buffer + kVekTableOffset + kVekRecordSize * static_cast<std::size_t>(i), image->vek[i].data,
                    kVekRecordSize);
        image->vek[i].sourceIndex = i;
    }
    std::memcpy(buffer + kPlayerNameOffset, image->playerName, kPlayerNameSize);
    std::memset(buffer + kTeamTableOffset, 0, kTeamTableSize);
    for (int j = 0; j < kTeamCount; ++j) {
        unsigned char* record = buffer + kTeamTableOffset + kTeamRecordSize * static_cast<std::size_t>(j);
        const TeamRecord& team = image->team[j];
        std::memcpy(record + kTeamBlockOffset, team.block, kTeamBlockSize);
        std::memcpy(record + kTeamNameOffset, team.name, kTeamNameSize);
        std::memcpy(record + kTeamPlayerOffset, team.player, kTeamPlayerSize);
        bool hasUnit = false;
        for (int k = 0; k < kSlotCount; ++k) {
            const VekRecord* vek = team.vek[k];
            const bool filled = vek != nullptr;
            hasUnit = hasUnit || filled;
            // The index written is the unit's place in this image, whatever
            // file it came from: the loop above has just renumbered it.
            const unsigned char index = filled ? static_cast<unsigned char>(vek->sourceIndex & 0xFF) : 0;
            writeSlotField(record + kSlotIndexOffset + kSlotStride * static_cast<std::size_t>(k), filled, index);
            writeSlotField(record + kSlotPositionOffset + kSlotStride * static_cast<std::size_t>(k), filled,
                           team.position[k]);
        }
        if (hasUnit) {
            writeLe32(record + kTeamStatusOffset, kTeamStatusInUse);
            writeLe16(record + kTeamDateOffset, date.yearsSince1900);
            writeLe16(record + kTeamDateOffset + 2, date.month);
            writeLe16(record + kTeamDateOffset + 4, date.day);
        }
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < kChecksumOffset; ++i) sum += buffer[i];
    writeLe32(buffer + kChecksumOffset, sum);
    return sum;
}

int saveSQDBLOCKat(SqdImage* image, std::FILE* out, std::time_t now) {
    progress("Save SQD file...\n");
    const std::uint32_t sum = layOutSaveFile(image, ploadBuffer, now);
    progressf("Checksum:%08lx\n", static_cast<unsigned long>(sum));
    errno = 0;
    const std::size_t written = std::fwrite(ploadBuffer, 1, kSaveFileSize, out);
    // A write that only reached stdio's buffer is not yet a written file.
    const bool flushed = std::fflush(out) == 0;
    if (written == kSaveFileSize && flushed) return 0;
    const int error = errno != 0 ? errno : EIO;
    messagef("fail to fwrite in saveSQDBLOCK : %s\n", std::strerror(error));
    return -1;
}

int saveSQDBLOCK(SqdImage* image, std::FILE* out) { return saveSQDBLOCKat(image, out, std::time(nullptr)); }

}  // namespace rostrix
