#include "fuzz_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "cli/run.h"
#include "fixtures/save_builder.h"
#include "teams/random.h"

namespace rostrix::fuzz {

namespace {

std::string sjis(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

const std::string kKnight = sjis({0x83, 0x69, 0x83, 0x43, 0x83, 0x67});                      // ナイト
const std::string kCaptain = sjis({0x8B, 0x52, 0x8E, 0x6D, 0x92, 0x63, 0x92, 0xB7});         // 騎士団長
const std::string kNinja = sjis({0x94, 0x45, 0x8E, 0xD2});                                   // 忍者
const std::string kSkyKnight = sjis({0x93, 0x56, 0x8B, 0xF3, 0x8B, 0x52, 0x8E, 0x6D});       // 天空騎士
const std::string kRoundTable = sjis({0x89, 0x7E, 0x91, 0xEC});                              // 円卓

std::vector<std::uint8_t> oddSave() {
    SaveBuilder save;
    save.player(kKnight);
    save.unit(0, "Lancelot", 1).unit(1, kCaptain, 2).unit(2, "ABCDEFGHIJKLMNOPQRSTUVWXYZabc", 3);
    // A name whose last field byte begins a double-byte character, and one
    // whose lead byte is followed by the terminator.
    save.unit(3, std::string(28, 'x') + "\x83", 4).unit(4, "\x83", 5);
    save.unit(5, "Tab\tName\n", 6).unit(6, "", 7).unit(7, "-", 8).unit(8, "#hash", 9);
    save.unit(9, kNinja + "\xff\xfe", 10).unit(10, kSkyKnight, 11).unit(31, "Last", 12);
    save.team(0, kRoundTable, kKnight, 1).slot(0, 0, 1, 1).slot(0, 1, 0, 4).slot(0, 2, 2, 7);
    save.team(1, "Vanguard", "Arthur", 2).slot(1, 0, 2, 0).slot(1, 1, 3, 2);
    save.team(2, "Reserve", "Arthur", 3).teamStatus(2, 0).slot(2, 0, 6, 4);
    save.team(3, "Strays", "Arthur", 4).slot(3, 0, 40, 4).slot(3, 1, 7, 200).slot(3, 2, 31, 8);
    save.team(4, "ABCDEFGHIJKLMNOPQRSTUVWXY", std::string(39, 'P'), 5).slot(4, 0, 4, 3).slot(4, 1, 5, 3).slot(4, 2, 8, 3);
    save.team(5, "Last slot", "Arthur", 6).slot(5, 2, 9, 5);
    save.team(6, "High status", "Arthur", 7).teamStatus(6, 0x10000).slot(6, 0, 0, 0);
    save.team(7, "", "", 8).teamStatus(7, 0xFFFF).slot(7, 0, 0, 0).slot(7, 1, 0, 1).slot(7, 2, 0, 2);
    save.team(8, "No units", "Arthur", 9);
    save.team(9, "Nobody", "Arthur", 10).slot(9, 0, 254, 1).slot(9, 1, 32, 2).slot(9, 2, 255, 3);
    save.team(10, kSkyKnight, kNinja, 11).slot(10, 0, 10, 4).slot(10, 1, 9, 4).slot(10, 2, 1, 4);
    return save.bytes();
}

std::vector<std::uint8_t> fullSave() {
    SaveBuilder save;
    save.player("Full");
    for (int i = 0; i < 32; ++i) {
        const std::string name = (i % 2 == 0 ? kCaptain : std::string("Unit")) + std::to_string(i);
        save.unit(i, name, static_cast<std::uint8_t>(i));
    }
    for (int j = 0; j < 16; ++j) {
        save.team(j, "Team" + std::to_string(j), "Full", static_cast<std::uint8_t>(j));
        save.slot(j, 0, static_cast<std::uint8_t>(2 * j % 32), 0);
        save.slot(j, 1, static_cast<std::uint8_t>((2 * j + 1) % 32), 4);
        save.slot(j, 2, static_cast<std::uint8_t>((2 * j + 2) % 32), 8);
    }
    return save.bytes();
}

std::vector<std::uint8_t> shortSave() {
    SaveBuilder save;
    save.unit(0, kNinja, 21).unit(1, kSkyKnight, 22).unit(2, "Roc", 23);
    save.team(0, "Cut", "Short", 21).slot(0, 0, 1, 4);
    std::vector<std::uint8_t> bytes = save.bytes();
    // Cut inside team 0, before its slot bytes: they read as zero.
    bytes.resize(240000);
    return bytes;
}

const char kTeamScript[] = "a.sqd\t0\nb.sqd\t3\nc.sqd\t0\n# comment\na.sqd\t4\n";
const char kVekScript[] = "-\t-\ta.sqd\t1\t4\tb.sqd\t0\t4\tc.sqd\t2\t4\nPlayer\tName\ta.sqd\t10\t1\n";

struct FixedFile {
    const char* name;
    std::vector<std::uint8_t> bytes;
};

std::vector<FixedFile>& fixedFiles() {
    static std::vector<FixedFile> files = [] {
        std::vector<FixedFile> made;
        made.push_back({"a.sqd", oddSave()});
        made.push_back({"b.sqd", fullSave()});
        made.push_back({"c.sqd", shortSave()});
        made.push_back({"t.txt", std::vector<std::uint8_t>(kTeamScript, kTeamScript + sizeof kTeamScript - 1)});
        made.push_back({"v.txt", std::vector<std::uint8_t>(kVekScript, kVekScript + sizeof kVekScript - 1)});
        return made;
    }();
    return files;
}

std::string& scratch() {
    static std::string path;
    return path;
}

void removeScratch() {
    std::error_code ignored;
    if (!scratch().empty()) std::filesystem::remove_all(scratch(), ignored);
}

}  // namespace

void fail(const char* what) {
    std::fprintf(stderr, "rostrix fuzz: %s\n", what);
    std::abort();
}

void prepareScratch() {
    if (!scratch().empty()) return;
    // Memory-backed when the machine has it: a file system that flushes a
    // file emptied and written again (ext4 does) makes every input wait.
    std::filesystem::path base = std::filesystem::temp_directory_path();
    std::error_code ignored;
    if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", ignored) &&
        ::access("/dev/shm", W_OK) == 0) {
        base = "/dev/shm";
    }
    std::string pattern = (base / "rostrix-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) fail("cannot make the scratch directory");
    scratch() = pattern;
    std::atexit(removeScratch);
    if (::mkdir((pattern + "/d").c_str(), 0700) != 0) fail("cannot make the scratch subdirectory");
    restoreFixedFiles();
}

const std::string& scratchPath() { return scratch(); }

void writeScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratch() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) fail("cannot write a scratch file");
    if (size != 0 && std::fwrite(data, 1, size, file) != size) fail("cannot write a scratch file");
    if (std::fclose(file) != 0) fail("cannot write a scratch file");
}

void restoreFixedFiles() {
    for (const FixedFile& file : fixedFiles()) writeScratchFile(file.name, file.bytes.data(), file.bytes.size());
}

bool isFixedFile(const std::string& name) {
    for (const FixedFile& file : fixedFiles()) {
        if (name == file.name) return true;
    }
    return false;
}

void removeStrayFiles() {
    DIR* dir = ::opendir(scratch().c_str());
    if (dir == nullptr) fail("cannot read the scratch directory");
    std::vector<std::string> strays;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || name == "d" || isFixedFile(std::string(name))) continue;
        strays.emplace_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : strays) ::unlink((scratch() + "/" + name).c_str());
}

InScratch::InScratch() : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    prepareScratch();
    if (previous_ < 0 || ::chdir(scratch().c_str()) != 0) fail("cannot enter the scratch directory");
}

InScratch::~InScratch() {
    if (::fchdir(previous_) != 0) fail("cannot leave the scratch directory");
    ::close(previous_);
}

TaskState::TaskState(std::FILE* messages) {
    resetSettings(messages);
    if (!acquireRunResources()) fail("no memory for a run");
    // A fixed seed keeps every input's run the same, automatic names included.
    seedRandom(1);
}

TaskState::~TaskState() {
    releaseRunResources();
    resetSettings(stderr);
}

std::FILE* nullStream() {
    static std::FILE* stream = std::fopen("/dev/null", "w");
    if (stream == nullptr) fail("cannot open /dev/null");
    return stream;
}

std::FILE* anonymousFile() {
    prepareScratch();
    std::string pattern = scratch() + "/stream-XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) fail("cannot make an anonymous file");
    ::unlink(pattern.c_str());
    std::FILE* file = ::fdopen(descriptor, "w+");
    if (file == nullptr) fail("cannot make an anonymous file");
    return file;
}

ScratchStream::ScratchStream() : file_(anonymousFile()) {}

ScratchStream::~ScratchStream() { std::fclose(file_); }

void ScratchStream::reset() {
    std::fflush(file_);
    if (::ftruncate(::fileno(file_), 0) != 0) fail("cannot empty a scratch stream");
    std::rewind(file_);
    std::clearerr(file_);
}

void ScratchStream::load(const std::uint8_t* data, std::size_t size) {
    reset();
    if (size != 0 && std::fwrite(data, 1, size, file_) != size) fail("cannot fill a scratch stream");
    std::fflush(file_);
    std::rewind(file_);
}

long ScratchStream::size() {
    std::fflush(file_);
    struct stat info {};
    if (::fstat(::fileno(file_), &info) != 0) fail("cannot stat a scratch stream");
    return static_cast<long>(info.st_size);
}

std::string ScratchStream::text() {
    std::string contents(static_cast<std::size_t>(size()), '\0');
    if (!contents.empty() && ::pread(::fileno(file_), contents.data(), contents.size(), 0) !=
                                 static_cast<ssize_t>(contents.size())) {
        fail("cannot read a scratch stream back");
    }
    return contents;
}

}  // namespace rostrix::fuzz
