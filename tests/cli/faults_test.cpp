// Hostile input and failing surroundings, end to end with the real
// executable: directories where files belong, missing, empty, cut-short and
// oversized save files, garbage, CRLF and NUL bytes in scripts, very many and
// very long lines, over-long paths, outputs that cannot take a byte. Each run
// gives its own message and exit status, and never changes a byte of the
// files it was given: it writes only its output.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/layout.h"

namespace rostrix {

namespace {

enum class Written {
    NoFile,    // the output path was never created
    Empty,     // created by main, but the task wrote nothing
    SaveFile,  // a whole save file
};

struct FaultCase {
    std::string name;
    std::vector<std::string> args;  // run inside the scratch directory
    std::string input = {};         // standard input
    std::string err = {};
    int status = 0;
    std::string out = {};           // standard output
    Written written = Written::NoFile;  // what the file "out" holds afterwards
    std::string stdoutPath = {};    // e.g. /dev/full; out is then not captured
};

std::string bytesText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The source every case reads: two teams, one unit shared between them.
SaveBuilder source() {
    SaveBuilder save;
    save.player("Owner");
    save.unit(0, "U0", 1).unit(1, "U1", 2);
    save.team(0, "Alpha", "P1", 1).slot(0, 0, 0, 1).slot(0, 1, 1, 4);
    save.team(1, "Beta", "P2", 2).slot(1, 2, 1, 7);
    return save;
}

// What -l and -k print for a file holding source() at `path`.
std::string teamLines(const std::string& path) {
    return path + "\t0\t0\t1\t1\t4\t-1\t-1\tP1\tAlpha\tU0\tU1\t\n" + path + "\t1\t-1\t-1\t-1\t-1\t1\t7\tP2\tBeta\t\t\tU1\n";
}
std::string unitLines(const std::string& path) {
    return path + "\t0\t1\tU0\n" + path + "\t1\t4\tU1\n" + path + "\t1\t7\tU1\n";
}

// 600 bytes of 0x80..0xFF: no tab, line end, NUL or slash, so one line of one
// field that names no file (too long a name for any file system).
std::string garbage() {
    std::string text;
    for (int n = 0; n < 600; ++n) text.push_back(static_cast<char>(0x80 + (n * 37) % 128));
    return text;
}

class FaultsCli : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> save = source().bytes();
        writeFileBytes(dir_.file("a.sqd"), save);
        std::filesystem::create_directory(dir_.file("dir"));
        writeFileBytes(dir_.file("empty.sqd"), {});
        writeFileBytes(dir_.file("one.sqd"), {save[0]});
        writeFileBytes(dir_.file("cut.sqd"), std::vector<std::uint8_t>(save.begin(), save.end() - 1));
        std::vector<std::uint8_t> big = save;
        big.resize(1 << 20, 0xAB);
        writeFileBytes(dir_.file("big.sqd"), big);
        writeFileBytes(dir_.file("team.txt"), bytesBy("a.sqd\t0\n"));
        writeFileBytes(dir_.file("vek.txt"), bytesBy("-\t-\ta.sqd\t0\t4\n"));
    }

    static std::vector<std::uint8_t> bytesBy(const std::string& text) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }

    // Every file in the scratch directory but the output, byte for byte.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name != "out") files[name] = bytesText(readFileBytes(entry.path().string()));
        }
        return files;
    }

    // Runs one case from inside the scratch directory, so that scripts may
    // name the sources by short relative paths.
    void check(const FaultCase& c) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir_.file("out"));
        const auto before = snapshot();
        ToolRun run;
        {
            WorkingDirectory inside(dir_.path());
            run = runTool(c.args, c.input, c.stdoutPath);
        }

        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
        if (c.stdoutPath.empty()) {
            EXPECT_EQ(run.out, c.out);
        }
        const std::string out = dir_.file("out");
        switch (c.written) {
            case Written::NoFile:
                EXPECT_FALSE(std::filesystem::exists(out));
                break;
            case Written::Empty:
                EXPECT_TRUE(std::filesystem::exists(out));
                if (std::filesystem::exists(out)) {
                    EXPECT_EQ(std::filesystem::file_size(out), 0u);
                }
                break;
            case Written::SaveFile:
                EXPECT_TRUE(std::filesystem::exists(out));
                if (std::filesystem::exists(out)) {
                    EXPECT_EQ(std::filesystem::file_size(out), kSaveFileSize);
                }
                break;
        }
        EXPECT_EQ(snapshot(), before) << "a source file changed";
    }

    // The -l listing of the output file, the teams it holds.
    std::string listOutput() {
        const ToolRun run = runTool({"-l", dir_.file("out")});
        EXPECT_EQ(run.status, 0);
        return run.out;
    }

    TempDir dir_;
};

const std::string kDiskFull = "No space left on device";
const std::string kFwriteFull = "fail to fwrite in saveSQDBLOCK : " + kDiskFull + "\ntask aborted.\n";

TEST_F(FaultsCli, EachFaultGivesItsMessageAndStatusAndLeavesTheSourcesAlone) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string tooLong = "File name too long";
    const std::string noFile = "No such file or directory";
    const std::string g = garbage();
    // As long as a path can ever be.
    const std::string lp = pathOfLength(dir_.path(), 4096);
    const std::vector<FaultCase> cases = {
        // A directory where a save file or a script belongs.
        {"ListDirectory", {"-l", "dir"}, "", "fail to read dir : Is a directory\n"},
        {"UnitsOfDirectory", {"-k", "dir"}, "", "fail to read dir : Is a directory\n"},
        {"DirectoryAsSource", {"-o", "out", "-m"}, "dir\t0\n", "fail to read dir : Is a directory\n", 0, "",
         Written::Empty},
        {"TeamScriptIsDirectory", {"-o", "out", "-m", "dir"}, "", "fail to read script : Is a directory\ntask aborted.\n",
         1, "", Written::Empty},
        {"VekScriptIsDirectory", {"-o", "out", "-b", "dir"}, "", "fail to read script : Is a directory\ntask aborted.\n",
         1, "", Written::Empty},
        {"TeamScriptIsDirectoryToStdout", {"-m", "dir"}, "",
         "fail to read script : Is a directory\ntask aborted.\n", 1},
        // Save files that are missing, empty, one byte, one byte short, 1 MiB.
        {"ListMissing", {"-l", "missing.sqd"}, "", "fail to open missing.sqd : " + noFile + "\n"},
        {"MissingSource", {"-o", "out", "-m"}, "missing.sqd\t0\n", "fail to open missing.sqd : " + noFile + "\n", 0, "",
         Written::Empty},
        {"ListEmpty", {"-l", "empty.sqd", "one.sqd"}},
        {"UnitsOfEmpty", {"-k", "empty.sqd", "one.sqd"}},
        {"ListCutShort", {"-l", "cut.sqd"}, "", "", 0, teamLines("cut.sqd")},
        {"UnitsOfCutShort", {"-k", "cut.sqd"}, "", "", 0, unitLines("cut.sqd")},
        {"ListOneMebibyte", {"-l", "big.sqd"}, "", "", 0, teamLines("big.sqd")},
        {"UnitsOfOneMebibyte", {"-k", "big.sqd"}, "", "", 0, unitLines("big.sqd")},
        {"EveryOddSizeAsSource", {"-o", "out", "-m"}, "empty.sqd\t0\none.sqd\t0\ncut.sqd\t1\nbig.sqd\t0\n", "", 0, "",
         Written::SaveFile},
        {"OddSizesInVekScript", {"-o", "out", "-b"}, "-\t-\tempty.sqd\t0\t4\tcut.sqd\t1\t4\tbig.sqd\t0\t4\n", "", 0, "",
         Written::SaveFile},
        // Scripts of binary garbage: one field naming no file.
        {"GarbageTeamScript", {"-o", "out", "-m"}, g, "fail to open " + g + " : " + tooLong + "\n", 0, "",
         Written::Empty},
        {"GarbageVekScript", {"-o", "out", "-b"}, g, "", 0, "", Written::Empty},
        // A 4096-byte path as save file, source, script and output.
        {"ListLongPath", {"-l", lp}, "", "fail to open " + lp + " : " + tooLong + "\n"},
        {"LongPathSource", {"-o", "out", "-m"}, lp + "\t0\n",
         "fail to open " + lp + " : " + tooLong + "\n", 0, "", Written::Empty},
        {"LongPathInVekScript", {"-o", "out", "-b"}, "-\t-\t" + lp + "\t0\t4\ta.sqd\t1\t4\n",
         "fail to open " + lp + " : " + tooLong + "\n", 0, "", Written::SaveFile},
        {"LongPathScript", {"-o", "out", "-m", lp}, "",
         "fail to fopen " + lp + " in main :" + tooLong + "\n", 255},
        {"LongPathOutput", {"-o", lp, "-l", "a.sqd"}, "",
         "fail to fopen " + lp + " in main : " + tooLong + "\n", 255},
        // Outputs that take no byte: /dev/full as -o and as standard output.
        {"ListToFull", {"-o", "/dev/full", "-l", "a.sqd"}, "", "fail to fclose /dev/full in main : " + kDiskFull + "\n", 1},
        {"UnitsToFull", {"-o", "/dev/full", "-k", "a.sqd"}, "", "fail to fclose /dev/full in main : " + kDiskFull + "\n", 1},
        {"TeamScriptToFull", {"-o", "/dev/full", "-m", "team.txt"}, "", kFwriteFull, 1},
        {"VekScriptToFull", {"-o", "/dev/full", "-b", "vek.txt"}, "", kFwriteFull, 1},
        {"NothingListedToFull", {"-o", "/dev/full", "-l", "empty.sqd"}},
        {"ListToFullStdout", {"-l", "a.sqd"}, "", "fail to fclose stdout in main : " + kDiskFull + "\n", 1, "",
         Written::NoFile, "/dev/full"},
        {"UnitsToFullStdout", {"-k", "a.sqd"}, "", "fail to fclose stdout in main : " + kDiskFull + "\n", 1, "",
         Written::NoFile, "/dev/full"},
        {"TeamScriptToFullStdout", {"-m", "team.txt"}, "", kFwriteFull, 1, "", Written::NoFile, "/dev/full"},
        {"VekScriptToFullStdout", {"-b", "vek.txt"}, "", kFwriteFull, 1, "", Written::NoFile, "/dev/full"},
        {"MessagesOnFullStdout", {"-e", "-l", "a.sqd"}, "", "fail to fclose stdout in main : " + kDiskFull + "\n", 1,
         "", Written::NoFile, "/dev/full"},
        {"VersionToFullStdout", {"-v"}, "", "fail to fclose stdout in main : " + kDiskFull + "\n", 1, "",
         Written::NoFile, "/dev/full"},
        // An output that names a directory.
        {"ListIntoDirectory", {"-o", "dir", "-l", "a.sqd"}, "", "fail to fopen dir in main : Is a directory\n", 255},
        {"UnitsIntoDirectory", {"-o", "dir", "-k", "a.sqd"}, "", "fail to fopen dir in main : Is a directory\n", 255},
        {"TeamScriptIntoDirectory", {"-o", "dir", "-m", "team.txt"}, "", "fail to fopen dir in main : Is a directory\n",
         255},
        {"VekScriptIntoDirectory", {"-o", "dir", "-b", "vek.txt"}, "", "fail to fopen dir in main : Is a directory\n",
         255},
    };
    for (const FaultCase& c : cases) check(c);
}

struct SameAs {
    const char* name;
    const char* task;        // -m or -b
    std::string script;      // what the user gave
    std::string equivalent;  // the plain script it must be read as
};

// Scripts whose form a reader could get wrong make exactly the file their
// plain equivalent makes.
TEST_F(FaultsCli, AwkwardScriptsMakeTheFileTheirPlainFormMakes) {
    using namespace std::string_literals;
    const std::string mebibyte(1 << 20, 'x');
    std::string manyTeamLines;
    std::string manyVekLines;
    for (int n = 0; n < 99999; ++n) {
        manyTeamLines += n % 2 == 0 ? "a.sqd\t16\n" : "# note\n";  // skipped: no team 16, a comment
        manyVekLines += n % 2 == 0 ? "#\t-\ta.sqd\t0\t4\n" : "\t\r\n";  // a comment, separators only
    }
    const std::vector<SameAs> cases = {
        {"TeamScriptCrlf", "-m", "a.sqd\t1\r\n\r\na.sqd\t0\r\n", "a.sqd\t1\na.sqd\t0\n"},
        {"VekScriptCrlf", "-b", "-\tN\ta.sqd\t0\t4\ta.sqd\t1\t4\r\n\r\n-\t-\ta.sqd\t1\t2\r\n",
         "-\tN\ta.sqd\t0\t4\ta.sqd\t1\t4\n-\t-\ta.sqd\t1\t2\n"},
        {"TeamScriptNul", "-m", "a.sqd\t1\0\tnever\na.sqd\0\t0\na.sqd\t0\n"s,
         "a.sqd\t1\na.sqd\na.sqd\t0\n"},
        {"VekScriptNul", "-b", "-\tN\ta.sqd\t0\t4\0\ta.sqd\t1\t4\n\0-\t-\ta.sqd\t1\t2\n"s,
         "-\tN\ta.sqd\t0\t4\n"},
        {"TeamScript100000Lines", "-m", manyTeamLines + "a.sqd\t1\n", "a.sqd\t1\n"},
        {"VekScript100000Lines", "-b", manyVekLines + "-\tN\ta.sqd\t1\t3\n", "-\tN\ta.sqd\t1\t3\n"},
        {"TeamScriptMebibyteLine", "-m", "a.sqd\t0\t" + mebibyte + "\na.sqd\t1\n", "a.sqd\t0\na.sqd\t1\n"},
        {"VekScriptMebibyteLine", "-b", "P\t" + mebibyte + "\ta.sqd\t0\t4\n",
         "P\t" + mebibyte.substr(0, kTeamNameSize) + "\ta.sqd\t0\t4\n"},
    };
    for (const SameAs& c : cases) {
        SCOPED_TRACE(c.name);
        const FaultCase given{"given", {"-o", "out", c.task}, c.script, "", 0, "", Written::SaveFile};
        check(given);
        const std::string made = listOutput();
        const FaultCase plain{"plain", {"-o", "out", c.task}, c.equivalent, "", 0, "", Written::SaveFile};
        check(plain);
        EXPECT_FALSE(made.empty());
        EXPECT_EQ(made, listOutput());
    }
}

}  // namespace

}  // namespace rostrix
