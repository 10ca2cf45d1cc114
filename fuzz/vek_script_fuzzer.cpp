// Vek-script text: unit-script assembly (-b) over the fixed source saves of
// the scratch directory. The first byte picks the run's settings: bit 0 the
// repair strategy (-rv when set, -rh otherwise), bits 1-2 automatic naming
// (off, -a4, -a3, -a2), bit 3 -V. The rest is the script. The new save file
// is either written whole or not at all.
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "sqd/layout.h"
#include "support/le_bytes.h"
#include "support/messages.h"
#include "teams/auto_name.h"
#include "teams/formation.h"
#include "teams/vek_script.h"

namespace {

using namespace rostrix;

// Every team the written file marks present stands its units on different
// cells of the grid.
void checkWrittenFile(std::FILE* file) {
    unsigned char table[kTeamTableSize];
    if (::pread(::fileno(file), table, sizeof table, static_cast<off_t>(kTeamTableOffset)) !=
        static_cast<ssize_t>(sizeof table)) {
        fuzz::fail("cannot read the file back");
    }
    for (int j = 0; j < kTeamCount; ++j) {
        const unsigned char* record = table + kTeamRecordSize * static_cast<std::size_t>(j);
        if (readLe16(record + kTeamStatusOffset) == 0) continue;
        bool taken[kCellCount] = {};
        for (int k = 0; k < kSlotCount; ++k) {
            const std::size_t slot = kSlotStride * static_cast<std::size_t>(k);
            if (record[kSlotIndexOffset + slot] == kEmptySlotByte) continue;
            const unsigned char cell = record[kSlotPositionOffset + slot];
            if (cell >= kCellCount || taken[cell]) fuzz::fail("units share a cell");
            taken[cell] = true;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr int kNamingWidths[] = {0, 4, 3, 2};
    const std::uint8_t settings = data[0];
    fuzz::InScratch here;
    static fuzz::ScratchStream script;
    static fuzz::ScratchStream output;
    script.load(data + 1, size - 1);
    output.reset();
    {
        fuzz::TaskState state(fuzz::nullStream());
        repositionFn = (settings & 1) != 0 ? repositionInColumn : repositionInRow;
        autoNameChars = kNamingWidths[(settings >> 1) & 3];
        verbose = (settings >> 3) & 1;
        if (BuildTeamData(script.stream(), output.stream()) != 0) fuzz::fail("a write to a file failed");
    }
    const long written = output.size();
    if (written != 0 && written != static_cast<long>(kSaveFileSize)) fuzz::fail("a partial save file");
    if (written != 0) checkWrittenFile(output.stream());
    return 0;
}
