#include "support/messages.h"

#include <cstdarg>

namespace rostrix {

std::FILE* msgStream = stderr;
int verbose = 0;

void message(const char* text) { std::fputs(text, msgStream); }

void messagef(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(msgStream, format, args);
    va_end(args);
}

void progress(const char* text) {
    if (verbose) std::fputs(text, msgStream);
}

void progressf(const char* format, ...) {
    if (!verbose) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(msgStream, format, args);
    va_end(args);
}

}  // namespace rostrix
