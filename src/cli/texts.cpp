#include "cli/texts.h"

namespace rostrix {

const char kVersionBanner[] = "Torvanel TEAM converter Version 1.7";

void printUsage(std::FILE* out) {
    static const char* const lines[] = {
        "Usage:",
        "rostrix -v",
        "        Print version information",
        "rostrix [-e] [-V] [-o team-script-filename] -l SQDfilename(s)",
        "        Dump Team",
        "rostrix [-e] [-V] [-o team-script-filename] -k SQDfilename(s)",
        "        Dump Vek in Team",
        "rostrix [-e] [-V] -o SQDfilename -m [team-script-filename]",
        "        Make new SQDfile from team-script-file",
        "rostrix [-rv|-rh] [-a|-a3|-a2] [-e] [-V] -o SQDfilename -b [vek-script-filename]",
        "        Build new SQDfile from vek-script-file",
        "common option(s):",
        "   -V  output verbose message to stderr",
        "   -e  use stdout instead of stderr",
    };
    for (const char* line : lines) {
        std::fputs(line, out);
        std::fputc('\n', out);
    }
}

void printVersion(std::FILE* out) {
    std::fputs(kVersionBanner, out);
    std::fputs("\nWritten by the rostrix developers\ncompile option:\n", out);
}

}  // namespace rostrix
