#include "sqd/reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/le_bytes.h"
#include "support/messages.h"

namespace rostrix {

int readSQDfile(const char* path, unsigned char* buffer) {
    // A path that does not fit the 1024-byte path fields would be cut short
    // there and could then name another file; refuse it before opening.
    if (std::strlen(path) >= kPathFieldSize) {
        messagef("fail to open %s : %s\n", path, std::strerror(ENAMETOOLONG));
        return -1;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        messagef("fail to open %s : %s\n", path, std::strerror(errno));
        return -1;
    }
    // One request reads the whole file; stdio's own buffer would only be an
    // extra copy.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::size_t got = std::fread(buffer, 1, kLoadBufferSize, file);
    if (std::ferror(file)) {
        const int error = errno;
        messagef("fail to read %s : %s\n", path, std::strerror(error));
        std::fclose(file);
        return -1;
    }
    // Whatever the file did not fill reads as zero.
    std::memset(buffer + got, 0, kLoadBufferSize - got);
    std::fclose(file);
    return 0;
}

SqdImage* allocateSQDimage() { return static_cast<SqdImage*>(std::calloc(1, sizeof(SqdImage))); }

void freeSQDimage(SqdImage* image) { std::free(image); }

SqdImage* parseSQDfile(const char* path, const unsigned char* buffer) {
    auto* image = static_cast<SqdImage*>(std::malloc(sizeof(SqdImage)));
    if (image == nullptr) {
        message("not enough memory in parseSQDfile\n");
        return nullptr;
    }
    parseSQDimage(image, path, buffer);
    return image;
}

namespace {

// The player name and the 16 team records, whose slots point into the
// image's own unit records.
void parseTeams(SqdImage* image, const unsigned char* buffer) {
    std::memcpy(image->playerName, buffer + kPlayerNameOffset, kPlayerNameSize);
    for (int j = 0; j < kTeamCount; ++j) {
        const unsigned char* record = buffer + kTeamTableOffset + kTeamRecordSize * static_cast<std::size_t>(j);
        TeamRecord& team = image->team[j];
        team.present = readLe16(record + kTeamStatusOffset);
        std::memcpy(team.block, record + kTeamBlockOffset, kTeamBlockSize);
        std::memcpy(team.name, record + kTeamNameOffset, kTeamNameSize);
        std::memcpy(team.player, record + kTeamPlayerOffset, kTeamPlayerSize);
        for (int k = 0; k < kSlotCount; ++k) {
            const unsigned char unit = record[kSlotIndexOffset + kSlotStride * static_cast<std::size_t>(k)];
            team.placed[k] = 0;
            // 255 marks an empty slot; 32 to 254 name no unit of this file,
            // and the image must never point outside its own records.
            if (unit >= kVekCount) {
                clearSlot(team, k);
            } else {
                team.vek[k] = &image->vek[unit];
                team.position[k] = record[kSlotPositionOffset + kSlotStride * static_cast<std::size_t>(k)];
            }
        }
    }
}

const unsigned char* vekRecordBytes(const unsigned char* buffer, int i) {
    return buffer + kVekTableOffset + kVekRecordSize * static_cast<std::size_t>(i);
}

}  // namespace

void parseSQDimage(SqdImage* image, const char* path, const unsigned char* buffer) {
    copyField(image->path, path, kPathFieldSize);
    for (int i = 0; i < kVekCount; ++i) {
        VekRecord& vek = image->vek[i];
        std::memcpy(vek.data, vekRecordBytes(buffer, i), kVekRecordSize);
        std::memcpy(vek.sourcePath, image->path, kPathFieldSize);
        vek.sourceIndex = i;
    }
    parseTeams(image, buffer);
}

void parseSQDteams(SqdImage* image, const char* path, const unsigned char* buffer) {
    copyField(image->path, path, kPathFieldSize);
    for (int i = 0; i < kVekCount; ++i) {
        VekRecord& vek = image->vek[i];
        std::memcpy(vek.data, vekRecordBytes(buffer, i), kVekNameOffset + kVekNameSize);
        vek.sourceIndex = i;
    }
    parseTeams(image, buffer);
}

}  // namespace rostrix
