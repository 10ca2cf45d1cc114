// The usage and version texts of the real executable: byte for byte on
// standard output, nothing else on either stream, and what the arguments
// before -h/-?/-v have already done.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fixtures/tool_state.h"

namespace rostrix {
namespace {

const std::string kUsage =
    "Usage:\n"
    "rostrix -v\n"
    "        Print version information\n"
    "rostrix [-e] [-V] [-o team-script-filename] -l SQDfilename(s)\n"
    "        Dump Team\n"
    "rostrix [-e] [-V] [-o team-script-filename] -k SQDfilename(s)\n"
    "        Dump Vek in Team\n"
    "rostrix [-e] [-V] -o SQDfilename -m [team-script-filename]\n"
    "        Make new SQDfile from team-script-file\n"
    "rostrix [-rv|-rh] [-a|-a3|-a2] [-e] [-V] -o SQDfilename -b [vek-script-filename]\n"
    "        Build new SQDfile from vek-script-file\n"
    "common option(s):\n"
    "   -V  output verbose message to stderr\n"
    "   -e  use stdout instead of stderr\n";

const std::string kVersion =
    "Torvanel TEAM converter Version 1.7\n"
    "Written by the rostrix developers\n"
    "compile option:\n";

const std::string kMissingScript = "/nonexistent-rostrix-dir/script.txt";

struct TextCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
    std::string err;
    int status;
};

// Names the case in failure output instead of dumping its bytes.
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class UsageText : public ::testing::TestWithParam<TextCase> {};

TEST_P(UsageText, StreamsAndStatusExactly) {
    const TextCase& c = GetParam();
    const ToolRun run = runTool(c.args);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, c.status);
}

const TextCase kTextCases[] = {
    {"NoArguments", {}, kUsage, "", 0},
    {"Help", {"-h"}, kUsage, "", 0},
    {"QuestionMark", {"-?"}, kUsage, "", 0},
    {"Version", {"-v"}, kVersion, "", 0},
    // Settings made before the text neither print a banner nor reach it.
    {"SettingsBeforeHelp", {"-V", "-e", "-a2", "-rv", "-o", "out.sqd", "-h"}, kUsage, "", 0},
    {"SettingsBeforeVersion", {"-V", "-v"}, kVersion, "", 0},
    // An earlier illegal argument has already been reported, on whichever
    // stream was the message stream at the time.
    {"IllegalThenHelp", {"bogus", "-h"}, kUsage, "[bogus] is illegal argument. ignored.\n", 0},
    {"EchoedIllegalThenHelp", {"-e", "bogus", "-?"}, "[bogus] is illegal argument. ignored.\n" + kUsage, "", 0},
    {"IllegalThenVersion", {"", "-v"}, kVersion, "[] is illegal argument. ignored.\n", 0},
    // Nothing after the text is examined: not a missing script, not another text.
    {"HelpBeforeMissingScript", {"-h", "-m", kMissingScript}, kUsage, "", 0},
    {"VersionBeforeHelp", {"-v", "-h"}, kVersion, "", 0},
    {"HelpBeforeVersion", {"-?", "-v"}, kUsage, "", 0},
    {"HelpBeforeList", {"-h", "-l", "-v"}, kUsage, "", 0},
    // A script opened before -h stays unread; one that cannot be opened ends
    // the run before -h is reached.
    {"OpenedScriptThenHelp", {"-m", "/dev/null", "-h"}, kUsage, "", 0},
    {"MissingScriptThenHelp", {"-b", kMissingScript, "-h"}, "",
     "fail to fopen " + kMissingScript + " in main :No such file or directory\n", 255},
    // The texts are options only before -l/-k; after them they are save-file paths.
    {"HelpAfterList", {"-l", "-h"}, "", "fail to open -h : No such file or directory\n", 0},
    {"VersionAfterUnitList", {"-k", "-v"}, "", "fail to open -v : No such file or directory\n", 0},
    // -o takes -h as its path; no task was named.
    {"HelpTakenAsOutputPath", {"-o", "-h"}, "", "Illegal task code\n", 0},
};

INSTANTIATE_TEST_SUITE_P(Cli, UsageText, ::testing::ValuesIn(kTextCases),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

// A text that cannot reach standard output is a failure, said on standard
// error, even when -e made standard output the message stream.
TEST(UsageTextLost, FullStandardOutputIsStatusOne) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string lost = "fail to fclose stdout in main : No space left on device\n";
    const std::vector<std::vector<std::string>> commandLines = {{}, {"-h"}, {"-?"}, {"-v"}, {"-e", "-h"}};
    for (const auto& args : commandLines) {
        SCOPED_TRACE(args.empty() ? std::string("(no arguments)") : args.back());
        const ToolRun run = runTool(args, "", "/dev/full");
        EXPECT_EQ(run.err, lost);
        EXPECT_EQ(run.status, 1);
    }
}

}  // namespace
}  // namespace rostrix
