// An argument vector: the whole run (options, dispatch, every task, the
// teardown) in-process, inside the scratch directory with its fixed files.
//
// Input: the first byte picks the standard streams (bit 0: standard output is
// /dev/full; bits 1-2: standard input holds the fixed team-script, the fixed
// vek-script, nothing, or a fixed save file); the rest is the arguments,
// separated by NUL bytes. Every '/' in an argument becomes '_', so that every
// path names an entry of the scratch directory and an -o can write nowhere
// else; the argument "@long" stands for a 4096-byte path, and "@full" right
// after "-o" for /dev/full.
#include <fcntl.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/run.h"
#include "fuzz_support.h"
#include "sqd/cache.h"
#include "support/messages.h"

namespace {

using namespace rostrix;

inline constexpr std::size_t kMaxArguments = 64;

const char kTeamScript[] = "a.sqd\t0\nb.sqd\t5\t\nmissing.sqd\t1\nd\t0\n";
const char kVekScript[] = "-\tName\ta.sqd\t2\t4\tb.sqd\t7\t4\tc.sqd\t0\t4\n#\n\r\nx\ty\td\t1\t1\n";

std::vector<std::string> splitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t n = 0; n < size; ++n) {
        if (data[n] == '\0') {
            arguments.push_back(current);
            current.clear();
            if (arguments.size() == kMaxArguments) return arguments;
            continue;
        }
        current.push_back(data[n] == '/' ? '_' : static_cast<char>(data[n]));
    }
    arguments.push_back(current);
    for (std::size_t n = 0; n < arguments.size(); ++n) {
        // /dev/full only ever as an output: read as a script it never ends,
        // and the line it makes grows until memory runs out.
        if (arguments[n] == "@full" && n > 0 && arguments[n - 1] == "-o") arguments[n] = "/dev/full";
        if (arguments[n] == "@long") arguments[n] = std::string(4096, 'L');
    }
    return arguments;
}

void fillInput(std::FILE* in, int choice) {
    if (choice == 0) std::fputs(kTeamScript, in);
    if (choice == 1) std::fputs(kVekScript, in);
    if (choice == 3) {
        std::FILE* save = std::fopen("a.sqd", "rb");
        if (save == nullptr) fuzz::fail("no fixed save");
        char chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, save)) > 0) std::fwrite(chunk, 1, got, in);
        std::fclose(save);
    }
    std::rewind(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t streamsChoice = data[0];
    std::vector<std::string> arguments = splitArguments(data + 1, size - 1);
    fuzz::InScratch here;

    std::vector<char*> argv;
    std::string program = "rostrix";
    argv.push_back(program.data());
    bool writesFiles = false;
    bool namesFixedFile = false;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
        writesFiles = writesFiles || argument == "-o";
        namesFixedFile = namesFixedFile || fuzz::isFixedFile(argument);
    }
    argv.push_back(nullptr);

    std::FILE* in = fuzz::anonymousFile();
    std::FILE* out = (streamsChoice & 1) != 0 ? std::fopen("/dev/full", "w") : fuzz::anonymousFile();
    if (out == nullptr) fuzz::fail("cannot open /dev/full");
    fillInput(in, (streamsChoice >> 1) & 3);
    const int outDescriptor = ::fileno(out);

    const int status = runRostrix(static_cast<int>(argv.size() - 1), argv.data(), {in, out, fuzz::nullStream()});
    if (status != 0 && status != 1 && status != -1) fuzz::fail("unexpected exit status");
    if (VekArray != nullptr || TeamArray != nullptr || SqdArray != nullptr) fuzz::fail("registries left behind");

    // A run that reached its task closes the output, standard output too; an
    // early return leaves it open. Nothing is opened after that close, so a
    // descriptor that is still valid is still ours.
    if (::fcntl(outDescriptor, F_GETFD) != -1) std::fclose(out);
    std::fclose(in);
    msgStream = stderr;

    // Only -o writes files; it may have made new ones or emptied a fixed one.
    if (writesFiles) {
        fuzz::removeStrayFiles();
        if (namesFixedFile) fuzz::restoreFixedFiles();
    }
    return 0;
}
