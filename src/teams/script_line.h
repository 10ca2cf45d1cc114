// Reading scripts: whole lines, split into fields at tabs, carriage returns
// and line feeds, and the decimal numbers that index and cell columns hold.
#pragma once

#include <cstdint>
#include <cstdio>

namespace rostrix {

// Reads lines of any length from a stream into one growing buffer.
struct LineReader {
    std::FILE* stream;
    char* text;             // the current line, ended by its newline (if any) and a NUL
    std::size_t capacity;
    int readError;          // errno of a read error the stream reported, else 0
    bool outOfMemory;       // a line did not fit in memory
};

// Starts reading `stream`; nothing is allocated until the first line.
LineReader openLineReader(std::FILE* stream);
// Reads the next line into reader.text; false at end of input, on a read
// error (readError) or when memory runs out (outOfMemory). A line's text ends
// at its first NUL byte.
bool readScriptLine(LineReader& reader);
void closeLineReader(LineReader& reader);

// Walks the fields of one line in place: delimiters before a field are
// passed over and a run of them is one separator, so no field is empty.
struct FieldCursor {
    char* rest;
};
// The next field, NUL-terminated inside the line, or nullptr when the line
// has no more.
const char* nextField(FieldCursor& cursor);

// A decimal number as scripts write it: leading white space, one optional
// sign, then digits up to the first other character (none reads as 0). The
// digits wrap modulo 2^32 and the result is a signed 32-bit value, negated
// after a minus sign, so "4294967297" reads as 1.
std::int32_t scriptNumber(const char* text);

}  // namespace rostrix
