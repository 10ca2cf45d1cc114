// The command line of the real executable, read left to right: which
// argument an option takes, where the messages go, which files are opened or
// left alone, and the exit status a shell sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"

namespace rostrix {
namespace {

const std::string kBanner = "Torvanel TEAM converter Version 1.7";
const std::string kNoSuchFile = "No such file or directory";

// The -l lines of the bundled sky.sqd, with {S} for the samples folder.
const std::string kSkyListing =
    "{S}/sky.sqd\t0\t0\t3\t1\t4\t3\t5\tSkyler\tWings\tFalcon\tGriffin\tPegasus\n"
    "{S}/sky.sqd\t1\t4\t1\t2\t4\t1\t7\tSkyler\tDragoons\t"
    "\x93\x56\x8B\xF3\x8B\x52\x8E\x6D"
    "\tWyvern\tGriffin\n"
    "{S}/sky.sqd\t2\t-1\t-1\t5\t2\t-1\t-1\tSkyler\tScouts\t\tRoc\t\n";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// {SKY} becomes the sky listing, {S} the samples folder, {T} the scratch folder.
std::string expand(const std::string& text, const std::string& scratch) {
    std::string expanded = replaceAll(text, "{SKY}", kSkyListing);
    expanded = replaceAll(expanded, "{S}", ROSTRIX_SAMPLES_DIR);
    return replaceAll(expanded, "{T}", scratch);
}

std::optional<std::string> fileText(const std::string& path) {
    if (!std::filesystem::exists(path)) return std::nullopt;
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::string& path, const std::string& text) {
    writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// What a file must hold after the run; no content: it must not exist.
struct FileCheck {
    std::string path;
    std::optional<std::string> content;
};

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
    std::string err;
    int status;
    std::vector<FileCheck> files = {};
    std::string stdoutPath = {};  // e.g. /dev/full; out is then not captured
};

// Names the case in failure output instead of dumping its bytes.
void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

// Every case gets a scratch folder holding a team-script, a vek-script and
// an earlier listing that a run may truncate.
class CommandLineOptions : public ::testing::TestWithParam<OptionCase> {
protected:
    void SetUp() override {
        writeText(scratch.file("team.txt"), expand("{S}/knights.sqd\t0\n", scratch.path()));
        writeText(scratch.file("vek.txt"), expand("-\t-\t{S}/sky.sqd\t0\t4\n", scratch.path()));
        writeText(scratch.file("old.txt"), "an earlier listing\n");
    }
    TempDir scratch;
};

TEST_P(CommandLineOptions, StreamsStatusAndFiles) {
    const OptionCase& c = GetParam();
    const bool usesFull = c.stdoutPath == "/dev/full" || std::find(c.args.begin(), c.args.end(), "/dev/full") != c.args.end();
    if (usesFull && !std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(expand(arg, scratch.path()));
    const ToolRun run = runTool(args, "", c.stdoutPath);
    EXPECT_EQ(run.out, expand(c.out, scratch.path()));
    EXPECT_EQ(run.err, expand(c.err, scratch.path()));
    EXPECT_EQ(run.status, c.status);
    for (const FileCheck& check : c.files) {
        const std::string path = expand(check.path, scratch.path());
        SCOPED_TRACE(path);
        const std::optional<std::string> content = fileText(path);
        if (check.content.has_value()) {
            ASSERT_TRUE(content.has_value()) << "file missing";
            EXPECT_EQ(*content, expand(*check.content, scratch.path()));
        } else {
            EXPECT_FALSE(content.has_value()) << "file should not exist";
        }
    }
}

const std::string kLostStdout = "fail to fclose stdout in main : No space left on device\n";
const std::string kLostFull = "fail to fclose /dev/full in main : No space left on device\n";

const OptionCase kOptionCases[] = {
    // No task named: the message, no output opened, status 0.
    {"VerboseAlone", {"-V"}, "", kBanner + "\nStart task...Illegal task code\n", 0},
    {"OutputAlone", {"-o", "{T}/out.txt"}, "", "Illegal task code\n", 0, {{"{T}/out.txt", std::nullopt}}},
    {"SettingsAlone", {"-rv", "-rh", "-a", "-a4", "-a3", "-a2"}, "", "Illegal task code\n", 0},

    // -o takes the next argument whatever it looks like.
    {"OutputTakesList", {"-o", "-l", "{S}/sky.sqd"}, "",
     "[{S}/sky.sqd] is illegal argument. ignored.\nIllegal task code\n", 0, {{"-l", std::nullopt}}},
    {"OutputTakesEcho", {"-o", "-e", "bogus"}, "", "[bogus] is illegal argument. ignored.\nIllegal task code\n", 0},
    {"OutputLastAlone", {"-o"}, "", "Illegal task code\n", 0},
    {"LaterOutputWins", {"-o", "{T}/first.txt", "-o", "{T}/second.txt", "-l", "{S}/sky.sqd"}, "", "", 0,
     {{"{T}/first.txt", std::nullopt}, {"{T}/second.txt", "{SKY}"}}},

    // After -l/-k every argument is a save-file path, up to "--".
    {"ListTakesVerboseAsPath", {"-l", "-V", "{S}/sky.sqd"}, "{SKY}", "fail to open -V : " + kNoSuchFile + "\n", 0},
    {"ListTakesOptionsAsPaths", {"-l", "-e", "-o"}, "",
     "fail to open -e : " + kNoSuchFile + "\nfail to open -o : " + kNoSuchFile + "\n", 0},
    {"DoubleDashEndsPaths", {"-l", "{S}/sky.sqd", "--", "{S}/knights.sqd"}, "{SKY}", "", 0},
    {"DoubleDashFirst", {"-l", "--", "{S}/sky.sqd"}, "", "", 0},
    {"ListWithoutPaths", {"-k"}, "", "", 0},
    {"ListToFile", {"-o", "{T}/list.txt", "-l", "{S}/sky.sqd"}, "", "", 0, {{"{T}/list.txt", "{SKY}"}}},
    {"ListNothingCreatesEmptyFile", {"-o", "{T}/new.txt", "-l"}, "", "", 0, {{"{T}/new.txt", ""}}},
    {"ListNothingTruncates", {"-o", "{T}/old.txt", "-l", "--", "{S}/sky.sqd"}, "", "", 0, {{"{T}/old.txt", ""}}},
    {"VerboseListing", {"-V", "-l", "{S}/sky.sqd"}, "{SKY}",
     kBanner + "\nStart task...Dump Team data\nFile:[{S}/sky.sqd]\nDump team 1\nDump team 2\nDump team 3\nCompleted\n", 0},

    // -m/-b take the next argument as the script and open it at once.
    {"TeamScriptTakesVerbose", {"-m", "-V", "-l", "{S}/sky.sqd"}, "",
     "fail to fopen -V in main :" + kNoSuchFile + "\n", 255},
    {"VekScriptTakesVerbose", {"-b", "-V"}, "", "fail to fopen -V in main :" + kNoSuchFile + "\n", 255},
    {"MissingScriptLeavesNoOutput", {"-V", "-o", "{T}/out.sqd", "-b", "{T}/missing.txt"}, "",
     "fail to fopen {T}/missing.txt in main :" + kNoSuchFile + "\n", 255, {{"{T}/out.sqd", std::nullopt}}},
    {"ScriptThenList", {"-m", "{T}/team.txt", "-l", "{S}/sky.sqd"}, "{SKY}", "", 0},
    {"ScriptThenListNothing", {"-b", "{T}/vek.txt", "-o", "{T}/old.txt", "-e", "-V", "-l"},
     kBanner + "\nStart task...Dump Team data\n", "", 0, {{"{T}/old.txt", ""}}},

    // The output opens after parsing, with one blank after the colon.
    {"OutputCannotOpen", {"-o", "{T}/no/such/dir.txt", "-l", "{S}/sky.sqd"}, "",
     "fail to fopen {T}/no/such/dir.txt in main : " + kNoSuchFile + "\n", 255},
    {"OutputCannotOpenVerbose", {"-V", "-o", "{T}/no/out.sqd", "-m", "{T}/team.txt"}, "",
     kBanner + "\nStart task...Management Team data\nfail to fopen {T}/no/out.sqd in main : " + kNoSuchFile + "\n",
     255},

    // -e switches the message stream from where it stands.
    {"EchoMidway", {"bogus", "-e", "", "-V", "-k"}, "[] is illegal argument. ignored.\n" + kBanner +
     "\nStart task...Dump Team data\n", "[bogus] is illegal argument. ignored.\n", 0},
    {"EmptyArgument", {""}, "", "[] is illegal argument. ignored.\nIllegal task code\n", 0},
    {"OptionsAreCaseSensitive", {"-L", "-E", "-A2", "-RV", "-H"}, "",
     "[-L] is illegal argument. ignored.\n[-E] is illegal argument. ignored.\n[-A2] is illegal argument. ignored.\n"
     "[-RV] is illegal argument. ignored.\n[-H] is illegal argument. ignored.\nIllegal task code\n", 0},
    {"NoTaskEchoed", {"-e"}, "Illegal task code\n", "", 0},

    // A listing lost on its way out: status 1, said where it can still be read.
    {"ListToFullStdout", {"-l", "{S}/sky.sqd"}, "", kLostStdout, 1, {}, "/dev/full"},
    {"ListToFullFile", {"-o", "/dev/full", "-l", "{S}/sky.sqd"}, "", kLostFull, 1},
    {"EchoedListToFullStdout", {"-e", "-V", "-k", "{S}/sky.sqd"}, "", kLostStdout, 1, {}, "/dev/full"},
    {"EchoedListToFullFile", {"-e", "-o", "/dev/full", "-l", "{S}/sky.sqd"}, kLostFull, "", 1},
    {"NothingListedToFullFile", {"-o", "/dev/full", "-l"}, "", "", 0},
};

INSTANTIATE_TEST_SUITE_P(Cli, CommandLineOptions, ::testing::ValuesIn(kOptionCases),
                         [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

// The first messages of an assembly run under -V: the banner, the task line
// and, for -b with automatic names only, the automatic-name line.
TEST(CommandLineOptionsVerbose, AssemblyMessagesStart) {
    TempDir scratch;
    writeText(scratch.file("team.txt"), std::string(ROSTRIX_SAMPLES_DIR) + "/sky.sqd\t0\n");
    writeText(scratch.file("vek.txt"), "-\t-\t" + std::string(ROSTRIX_SAMPLES_DIR) + "/sky.sqd\t0\t4\n");
    const std::string file = "File:[" + std::string(ROSTRIX_SAMPLES_DIR) + "/sky.sqd]\n";
    const struct {
        std::vector<std::string> args;
        std::string start;
    } cases[] = {
        {{"-V", "-b", scratch.file("vek.txt"), "-a2"},
         kBanner + "\nStart task...Build Team data\n[Automatic TeamName Enabled]\n" + file},
        {{"-a", "-V", "-b", scratch.file("vek.txt")},
         kBanner + "\nStart task...Build Team data\n[Automatic TeamName Enabled]\n" + file},
        {{"-V", "-b", scratch.file("vek.txt")}, kBanner + "\nStart task...Build Team data\n" + file},
        {{"-V", "-a2", "-m", scratch.file("team.txt")}, kBanner + "\nStart task...Management Team data\n" + file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args[2]);
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.err.substr(0, c.start.size()), c.start);
        EXPECT_NE(run.err.find("Completed\n"), std::string::npos);
        EXPECT_EQ(run.out.size(), 253082u);
        EXPECT_EQ(run.status, 0);
    }
}

// -o as the last argument leaves the save file on standard output.
TEST(CommandLineOptionsOutput, LastOutputOptionMeansStandardOutput) {
    TempDir scratch;
    writeText(scratch.file("team.txt"), std::string(ROSTRIX_SAMPLES_DIR) + "/sky.sqd\t2\n");
    const ToolRun made = runTool({"-m", scratch.file("team.txt"), "-o"});
    EXPECT_EQ(made.err, "");
    EXPECT_EQ(made.status, 0);
    ASSERT_EQ(made.out.size(), 253082u);
    writeText(scratch.file("made.sqd"), made.out);
    const ToolRun listed = runTool({"-l", scratch.file("made.sqd")});
    EXPECT_EQ(listed.out, scratch.file("made.sqd") + "\t0\t-1\t-1\t0\t2\t-1\t-1\tSkyler\tScouts\t\tRoc\t\n");
}

// Of -m then -b, the second script is the one read, by the second task; a
// script the first option opened is never read.
TEST(CommandLineOptionsOutput, LaterScriptOptionWins) {
    TempDir scratch;
    const std::string samples = ROSTRIX_SAMPLES_DIR;
    writeText(scratch.file("team.txt"), samples + "/knights.sqd\t0\n");
    writeText(scratch.file("vek.txt"), "Owner\tFromB\t" + samples + "/sky.sqd\t5\t8\n");
    const std::string out = scratch.file("out.sqd");
    const ToolRun built = runTool({"-m", scratch.file("team.txt"), "-o", out, "-b", scratch.file("vek.txt")});
    EXPECT_EQ(built.out, "");
    EXPECT_EQ(built.err, "");
    EXPECT_EQ(built.status, 0);
    const ToolRun listed = runTool({"-l", out});
    EXPECT_EQ(listed.out, out + "\t0\t0\t8\t-1\t-1\t-1\t-1\tOwner\tFromB\tRoc\t\t\n");

    // And the other way round: -b's vek-script is left unread by -m.
    const ToolRun managed = runTool({"-b", scratch.file("vek.txt"), "-o", out, "-m", scratch.file("team.txt")});
    EXPECT_EQ(managed.err, "");
    EXPECT_EQ(managed.status, 0);
    const ToolRun relisted = runTool({"-k", out});
    EXPECT_EQ(relisted.out, out + "\t0\t1\t\x8B\x52\x8E\x6D\x92\x63\x92\xB7\n" + out + "\t1\t4\t\x83\x69\x83\x43\x83\x67\n" +
                                out + "\t2\t7\tLancelot\n");
}

}  // namespace
}  // namespace rostrix
