// What the fuzz targets share: a private scratch directory holding a few
// fixed source saves (made by SaveBuilder), and the settings of one
// in-process task, set up and torn down as main would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace rostrix::fuzz {

// The fixed files of the scratch directory, by name relative to it:
//   a.sqd  odd units and teams: shared units, unterminated 25/29/39-byte
//          fields, Shift_JIS names cut inside a character, unit-index bytes
//          7, 31, 40 and 254, cell 200, absent and unit-less teams;
//   b.sqd  32 units in 16 teams, so scripts reach both limits quickly;
//   c.sqd  a save cut short inside its first team record;
//   d      a directory;
//   t.txt  a team-script over the three saves;
//   v.txt  a vek-script over the three saves.
// missing.sqd never exists.

// Makes the scratch directory and its files on the first call; later calls
// only return. The directory is removed when the process exits normally.
void prepareScratch();
// The scratch directory's absolute path.
const std::string& scratchPath();
// Writes the fixed files again, after a run that may have overwritten one.
void restoreFixedFiles();
// Whether `name` is one of the fixed files.
bool isFixedFile(const std::string& name);
// Removes every entry of the scratch directory that is not a fixed file.
void removeStrayFiles();
// Writes `size` bytes to `name` inside the scratch directory.
void writeScratchFile(const char* name, const std::uint8_t* data, std::size_t size);

// Makes the scratch directory the working directory for its lifetime, and
// goes back afterwards, so that libFuzzer's own relative paths keep working.
class InScratch {
public:
    InScratch();
    ~InScratch();
    InScratch(const InScratch&) = delete;
    InScratch& operator=(const InScratch&) = delete;

private:
    int previous_;
};

// The settings of one in-process task: ploadBuffer allocated, fresh
// registries, every option at its default, the random generator at a fixed
// seed, messages to `messages`. The destructor releases the cache and the
// registries and puts the defaults back.
class TaskState {
public:
    explicit TaskState(std::FILE* messages);
    ~TaskState();
    TaskState(const TaskState&) = delete;
    TaskState& operator=(const TaskState&) = delete;
};

// A stream that discards what it is given (opened once, never closed).
std::FILE* nullStream();

// A new read-write file of the scratch directory with no name, like
// tmpfile() but on the scratch directory's file system.
std::FILE* anonymousFile();

// A reusable file stream: reset() empties it and rewinds it.
class ScratchStream {
public:
    ScratchStream();
    ~ScratchStream();
    ScratchStream(const ScratchStream&) = delete;
    ScratchStream& operator=(const ScratchStream&) = delete;
    std::FILE* stream() const { return file_; }
    // Empties the stream.
    void reset();
    // Empties it, writes `size` bytes and rewinds, for reading.
    void load(const std::uint8_t* data, std::size_t size);
    // Bytes written so far.
    long size();
    // Everything written so far.
    std::string text();

private:
    std::FILE* file_;
};

// Ends the process the way a sanitizer report would, so that libFuzzer
// records the input: a broken property of the tool.
[[noreturn]] void fail(const char* what);

}  // namespace rostrix::fuzz
