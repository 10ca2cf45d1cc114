#include "teams/listing.h"

#include <cstring>

#include "sqd/load_buffer.h"
#include "sqd/reader.h"
#include "support/messages.h"

namespace rostrix {

int listUnits = 0;

namespace {

// The text of one listing line after its path, put together in place and
// written with one request: the line holds only copies of fields and small
// numbers, which need no formatting engine.
class LineText {
public:
    // The text of a fixed-width field, up to its first NUL.
    LineText& field(const char* text, std::size_t width) {
        const std::size_t n = fieldLength(text, width);
        std::memcpy(text_ + length_, text, n);
        length_ += n;
        return *this;
    }
    LineText& number(int value) {
        // The digits are made backwards from the unsigned magnitude, which
        // also holds the most negative int.
        char digits[10];
        int count = 0;
        unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) text_[length_++] = '-';
        while (count > 0) text_[length_++] = digits[--count];
        return *this;
    }
    LineText& put(char c) {
        text_[length_++] = c;
        return *this;
    }
    // Writes `path`, then the text.
    void write(std::FILE* out, const char* path) const {
        std::fputs(path, out);
        std::fwrite(text_, 1, length_, out);
    }

private:
    // Room for the longest team-script line after its path: 4 numbers of at
    // most 11 characters, 3 cells of at most 3 digits, 5 fields of at most 39
    // bytes, 12 tabs and a newline (261 bytes).
    char text_[320];
    std::size_t length_ = 0;
};

// The image every listed file is parsed into, kept for the whole run like
// ploadBuffer rather than allocated and freed for each file: a block of that
// size may come back as fresh memory, and every page of fresh memory costs a
// page fault.
SqdImage* listingImage = nullptr;

// The file's image as a listing needs it, or nullptr after the message
// parseSQDfile gives when memory runs out.
const SqdImage* parseForListing(const char* path, const unsigned char* buffer) {
    if (listingImage == nullptr) listingImage = allocateSQDimage();
    if (listingImage == nullptr) {
        message("not enough memory in parseSQDfile\n");
        return nullptr;
    }
    parseSQDteams(listingImage, path, buffer);
    return listingImage;
}

}  // namespace

void writeTeamScriptLine(std::FILE* out, const char* path, int t, const TeamRecord& team) {
    LineText line;
    line.put('\t').number(t).put('\t');
    for (int k = 0; k < kSlotCount; ++k) {
        if (team.vek[k] != nullptr) {
            line.number(team.vek[k]->sourceIndex).put('\t').number(team.position[k]).put('\t');
        } else {
            line.number(-1).put('\t').number(-1).put('\t');
        }
    }
    line.field(team.player, kTeamPlayerSize).put('\t').field(team.name, kTeamNameSize);
    for (int k = 0; k < kSlotCount; ++k) {
        line.put('\t');
        if (team.vek[k] != nullptr) line.field(vekName(*team.vek[k]), kVekNameSize);
    }
    line.put('\n').write(out, path);
}

void writeUnitLines(std::FILE* out, const char* path, const TeamRecord& team) {
    for (int k = 0; k < kSlotCount; ++k) {
        const VekRecord* vek = team.vek[k];
        if (vek == nullptr) continue;
        LineText line;
        line.put('\t').number(vek->sourceIndex).put('\t').number(team.position[k]).put('\t');
        line.field(vekName(*vek), kVekNameSize).put('\n').write(out, path);
    }
}

void DumpTeamData(const char* path, std::FILE* out) {
    const SqdImage* image = nullptr;
    if (readSQDfile(path, ploadBuffer) == 0) image = parseForListing(path, ploadBuffer);
    if (image == nullptr) {
        progressf("Fail to dump %s\n", path);
        return;
    }
    progressf("File:[%s]\n", path);
    for (int t = 0; t < kTeamCount; ++t) {
        const TeamRecord& team = image->team[t];
        if (!isPresentTeam(team)) continue;
        progressf("Dump team %d\n", t + 1);
        if (listUnits) {
            writeUnitLines(out, path, team);
        } else {
            writeTeamScriptLine(out, path, t, team);
        }
    }
    progress("Completed\n");
}

}  // namespace rostrix
