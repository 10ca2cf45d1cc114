// Makes the benchmark's save files and scripts with the project's own
// SaveBuilder. Usage: make_bench_data DIRECTORY
//
// DIRECTORY/list/save0000.sqd .. save0999.sqd
//     1,000 saves of 3 to 8 teams each, for -l and -k over a whole folder.
// DIRECTORY/build/src00.sqd .. src47.sqd and DIRECTORY/build.vek
//     48 sources and a vek-script composing 16 teams from them, three slot
//     groups a team, each group from a file of its own. A save holds at most
//     32 units, so the first two groups of a team place a unit each and the
//     third names its file and unit but no cell: the file is still read and
//     parsed (the cost measured), and that slot stays empty.
// DIRECTORY/manage/team00.sqd .. team15.sqd and DIRECTORY/manage.team
//     16 sources and a team-script copying one team from each; the teams have
//     3 and 1 units in turn, 32 units in all.
//
// Paths inside the scripts are relative to DIRECTORY: run the tool from there.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

#include "fixtures/save_builder.h"

namespace {

using rostrix::SaveBuilder;

// Shift_JIS names, as real saves hold them, beside ASCII ones.
const char* const kUnitNames[] = {
    "\x83\x69\x83\x43\x83\x67",                  // ナイト
    "\x96\x82\x8F\x70\x8E\x74",                  // 魔術師
    "\x94\x45\x8E\xD2",                          // 忍者
    "\x8B\x7C\x95\xBA",                          // 弓兵
    "Lancelot", "Gawain", "Percival", "Falcon", "Griffin", "Wyvern",
    "\x93\x56\x8B\xF3\x8B\x52\x8E\x6D\x83\x41\x81\x5B\x83\x54\x81\x5B",  // 天空騎士アーサー
};
const char* const kTeamNames[] = {
    "\x89\x7E\x91\xEC",  // 円卓
    "Vanguard", "Wings", "Dragoons", "Scouts", "\x95\x97\x96\x82",  // 風魔
};
constexpr int kUnitNameCount = sizeof kUnitNames / sizeof kUnitNames[0];
constexpr int kTeamNameCount = sizeof kTeamNames / sizeof kTeamNames[0];

std::string numbered(const char* prefix, int n, int width, const char* suffix) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%0*d%s", prefix, width, n, suffix);
    return text;
}

void makeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + path);
}

// A save whose 32 units all have names and whose first `teams` team records
// are in use with three units each.
SaveBuilder save(int n, int teams) {
    SaveBuilder file;
    file.player(numbered("Player", n, 4, ""));
    for (int i = 0; i < 32; ++i) {
        file.unit(i, kUnitNames[(n + i) % kUnitNameCount], static_cast<std::uint8_t>(n + i));
    }
    for (int j = 0; j < teams; ++j) {
        file.team(j, kTeamNames[(n + j) % kTeamNameCount], "Player", static_cast<std::uint8_t>(n + j));
        for (int k = 0; k < 3; ++k) {
            file.slot(j, k, static_cast<std::uint8_t>((j * 3 + k + n) % 32), static_cast<std::uint8_t>((j + 4 * k) % 9));
        }
    }
    return file;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void makeListingSet(const std::string& dir) {
    makeDirectory(dir + "/list");
    for (int n = 0; n < 1000; ++n) save(n, 3 + n % 6).writeTo(dir + numbered("/list/save", n, 4, ".sqd"));
}

void makeVekScriptSet(const std::string& dir) {
    makeDirectory(dir + "/build");
    for (int n = 0; n < 48; ++n) save(n, 4).writeTo(dir + numbered("/build/src", n, 2, ".sqd"));
    std::string script = "# 16 teams, three slot groups each, each group from its own file\n";
    for (int t = 0; t < 16; ++t) {
        // Every fourth team is unnamed; cells sometimes collide, so
        // formation repair has work to do.
        script += "-\t";
        script += t % 4 == 3 ? "-" : numbered("Team", t, 2, "");
        for (int k = 0; k < 3; ++k) {
            script += numbered("\tbuild/src", t * 3 + k, 2, ".sqd");
            script += numbered("\t", (t + 5 * k) % 32, 1, "");
            if (k < 2) script += numbered("\t", (t + k * (t % 2)) % 9, 1, "");
        }
        script += "\n";
    }
    writeText(dir + "/build.vek", script);
}

void makeTeamScriptSet(const std::string& dir) {
    makeDirectory(dir + "/manage");
    std::string script;
    for (int n = 0; n < 16; ++n) {
        SaveBuilder file = save(100 + n, 0);
        const int units = n % 2 == 0 ? 3 : 1;
        file.team(2, kTeamNames[n % kTeamNameCount], "Player", static_cast<std::uint8_t>(n));
        for (int k = 0; k < 3; ++k) {
            if (k < units) {
                file.slot(2, k, static_cast<std::uint8_t>(n + k), static_cast<std::uint8_t>(k * 3));
            } else {
                file.emptySlot(2, k);
            }
        }
        file.writeTo(dir + numbered("/manage/team", n, 2, ".sqd"));
        script += numbered("manage/team", n, 2, ".sqd\t2\n");
    }
    writeText(dir + "/manage.team", script);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_data DIRECTORY\n");
        return 2;
    }
    try {
        const std::string dir = argv[1];
        makeDirectory(dir);
        makeListingSet(dir);
        makeVekScriptSet(dir);
        makeTeamScriptSet(dir);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_bench_data: %s\n", error.what());
        return 1;
    }
    return 0;
}
