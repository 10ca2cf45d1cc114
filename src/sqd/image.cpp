#include "sqd/image.h"

#include <cstring>

namespace rostrix {

const unsigned char defaultPlayerName[kPlayerNameSize] = {
    0x83, 0x76, 0x83, 0x8C, 0x83, 0x43, 0x83, 0x84, 0x81, 0x5B,  // プレイヤー
    0x00,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
};

bool isPresentTeam(const TeamRecord& team) {
    return team.present != 0 && (team.vek[0] != nullptr || team.vek[1] != nullptr || team.vek[2] != nullptr);
}

void clearSlot(TeamRecord& team, int k) {
    team.vek[k] = nullptr;
    team.position[k] = kEmptySlotByte;
}

std::size_t fieldLength(const char* field, std::size_t width) {
    std::size_t n = 0;
    while (n < width && field[n] != '\0') ++n;
    return n;
}

void copyField(char* field, const char* text, std::size_t width) {
    const std::size_t n = fieldLength(text, width);
    std::memcpy(field, text, n);
    std::memset(field + n, 0, width - n);
}

FieldText fieldText(const char* field, std::size_t width) {
    FieldText out;
    const std::size_t n = fieldLength(field, width < sizeof out.text - 1 ? width : sizeof out.text - 1);
    std::memcpy(out.text, field, n);
    out.text[n] = '\0';
    return out;
}

}  // namespace rostrix
