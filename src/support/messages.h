// The message stream: every progress report and failure message of the tool
// goes through here, so the choice of stream (-e) and the -V gating live in
// one place. Only main (or a test standing in for it) sets these.
#pragma once

#include <cstdio>

namespace rostrix {

// Where messages go: standard error, or standard output after -e.
extern std::FILE* msgStream;
// Nonzero after -V: progress messages are written too.
extern int verbose;

// Writes a fixed message as it stands (it carries its own newline, if any).
void message(const char* text);
// Writes a formatted message.
void messagef(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same two, written only under -V.
void progress(const char* text);
void progressf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace rostrix
