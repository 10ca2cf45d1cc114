// Makes the bundled sample save files: three small but realistic saves with
// unit names in Shift_JIS katakana and kanji and in ASCII, several teams, a
// unit shared by two teams, a team with an empty slot and an unused team
// record. Usage: make_samples DIRECTORY
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <string>

#include "fixtures/save_builder.h"

namespace {

using rostrix::SaveBuilder;

// A Shift_JIS name from its bytes (kept as bytes, as save files hold them).
std::string sjis(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

const std::string kArthur = sjis({0x83, 0x41, 0x81, 0x5B, 0x83, 0x54, 0x81, 0x5B});                  // アーサー
const std::string kKnight = sjis({0x83, 0x69, 0x83, 0x43, 0x83, 0x67});                              // ナイト
const std::string kCaptain = sjis({0x8B, 0x52, 0x8E, 0x6D, 0x92, 0x63, 0x92, 0xB7});                 // 騎士団長
const std::string kMerlin = sjis({0x96, 0x82, 0x8F, 0x70, 0x8E, 0x74, 0x83, 0x7D, 0x81, 0x5B, 0x83, 0x8A, 0x83, 0x93});  // 魔術師マーリン
const std::string kRoundTable = sjis({0x89, 0x7E, 0x91, 0xEC});                                      // 円卓
const std::string kMageCorps = sjis({0x96, 0x82, 0x96, 0x40, 0x91, 0xE0});                           // 魔法隊
const std::string kMusashi = sjis({0x83, 0x80, 0x83, 0x54, 0x83, 0x56});                             // ムサシ
const std::string kRonin = sjis({0x98, 0x51, 0x90, 0x6C});                                           // 浪人
const std::string kNinja = sjis({0x94, 0x45, 0x8E, 0xD2});                                           // 忍者
const std::string kGeneral = sjis({0x8E, 0x98, 0x91, 0xE5, 0x8F, 0xAB});                             // 侍大将
const std::string kAshigaru = sjis({0x91, 0xAB, 0x8C, 0x79});                                        // 足軽
const std::string kArcher = sjis({0x8B, 0x7C, 0x95, 0xBA});                                          // 弓兵
const std::string kFuma = sjis({0x95, 0x97, 0x96, 0x82});                                            // 風魔
const std::string kHiddenVillage = sjis({0x89, 0x65, 0x82, 0xCC, 0x97, 0xA2});                       // 影の里
const std::string kSkyKnight = sjis({0x93, 0x56, 0x8B, 0xF3, 0x8B, 0x52, 0x8E, 0x6D});               // 天空騎士

SaveBuilder knights() {
    SaveBuilder save;
    save.player(kArthur);
    save.unit(0, kKnight, 1).unit(1, kCaptain, 2).unit(2, "Lancelot", 3).unit(3, "Gawain", 4);
    save.unit(4, kMerlin, 5).unit(5, "Percival", 6).unit(6, "Squire", 7);
    save.team(0, kRoundTable, kArthur, 1).slot(0, 0, 1, 1).slot(0, 1, 0, 4).slot(0, 2, 2, 7);
    // Lancelot stands in two teams; the vanguard has an empty third slot.
    save.team(1, "Vanguard", kArthur, 2).slot(1, 0, 2, 0).slot(1, 1, 3, 2);
    // Team 2 is an unused record: it names units but the file marks it absent.
    save.team(2, "Reserve", kArthur, 3).teamStatus(2, 0).slot(2, 0, 6, 4);
    save.team(3, kMageCorps, "Merlin", 4).slot(3, 0, 4, 4).emptySlot(3, 1).slot(3, 2, 5, 3);
    return save;
}

SaveBuilder ronin() {
    SaveBuilder save;
    save.player(kMusashi);
    save.unit(0, kMusashi, 11).unit(1, kRonin, 12).unit(2, kNinja, 13).unit(3, kGeneral, 14);
    save.unit(4, kAshigaru, 15).unit(5, kArcher, 16).unit(6, kFuma, 17);
    save.team(0, kHiddenVillage, kMusashi, 11).slot(0, 0, 2, 6).slot(0, 1, 6, 7).slot(0, 2, 1, 8);
    save.team(1, "Ashigaru", "Musashi", 12).slot(1, 0, 4, 0).slot(1, 1, 5, 1).slot(1, 2, 3, 4);
    // The lone duellist: one unit, two empty slots, in the fifth team record.
    save.team(4, "", kMusashi, 13).slot(4, 0, 0, 4);
    return save;
}

SaveBuilder sky() {
    SaveBuilder save;
    save.player("Skyler");
    save.unit(0, "Falcon", 21).unit(1, "Griffin", 22).unit(2, "Wyvern", 23).unit(3, "Pegasus", 24);
    save.unit(4, kSkyKnight, 25).unit(5, "Roc", 26);
    save.team(0, "Wings", "Skyler", 21).slot(0, 0, 0, 3).slot(0, 1, 1, 4).slot(0, 2, 3, 5);
    save.team(1, "Dragoons", "Skyler", 22).slot(1, 0, 4, 1).slot(1, 1, 2, 4).slot(1, 2, 1, 7);
    save.team(2, "Scouts", "Skyler", 23).emptySlot(2, 0).slot(2, 1, 5, 2);
    return save;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        knights().writeTo(dir + "/knights.sqd");
        ronin().writeTo(dir + "/ronin.sqd");
        sky().writeTo(dir + "/sky.sqd");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_samples: %s\n", error.what());
        return 1;
    }
    return 0;
}
