#include "teams/script_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace rostrix {

LineReader openLineReader(std::FILE* stream) { return LineReader{stream, nullptr, 0, 0, false}; }

bool readScriptLine(LineReader& reader) {
    std::size_t length = 0;
    // A line's text ends at its first NUL, so nothing after it is kept: an
    // endless run of NULs (a device, say) then costs no memory.
    bool ended = false;
    for (;;) {
        if (reader.capacity - length < 2) {
            const std::size_t grown = reader.capacity == 0 ? 2048 : reader.capacity * 2;
            char* text = static_cast<char*>(std::realloc(reader.text, grown));
            if (text == nullptr) {
                reader.outOfMemory = true;
                return false;
            }
            reader.text = text;
            reader.capacity = grown;
        }
        errno = 0;
        const int c = std::getc(reader.stream);
        if (c == EOF) {
            if (std::ferror(reader.stream)) {
                reader.readError = errno != 0 ? errno : EIO;
                return false;
            }
            if (length == 0) return false;
            break;
        }
        if (c == '\n' && ended) break;
        if (ended) continue;
        reader.text[length++] = static_cast<char>(c);
        if (c == '\n') break;
        ended = c == '\0';
    }
    reader.text[length] = '\0';
    return true;
}

void closeLineReader(LineReader& reader) {
    std::free(reader.text);
    reader.text = nullptr;
    reader.capacity = 0;
}

namespace {

bool isDelimiter(char c) { return c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

const char* nextField(FieldCursor& cursor) {
    char* p = cursor.rest;
    while (isDelimiter(*p)) ++p;
    if (*p == '\0') {
        cursor.rest = p;
        return nullptr;
    }
    char* field = p;
    while (*p != '\0' && !isDelimiter(*p)) ++p;
    if (*p != '\0') *p++ = '\0';
    cursor.rest = p;
    return field;
}

std::int32_t scriptNumber(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<std::uint32_t>(*p - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);  // modulo 2^32, as C++20 defines it
}

}  // namespace rostrix
