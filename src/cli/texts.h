// The tool's two fixed texts, both written to standard output.
#pragma once

#include <cstdio>

namespace rostrix {

// "Torvanel TEAM converter Version 1.7", no newline: the first line of the
// version text and of the -V start.
extern const char kVersionBanner[];

// The 14 usage lines (no arguments, -h, -?).
void printUsage(std::FILE* out);
// The three version lines (-v).
void printVersion(std::FILE* out);

}  // namespace rostrix
