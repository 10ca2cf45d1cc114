// Team-script text: team-script assembly (-m) over the fixed source saves of
// the scratch directory, with -V on so that every message is formatted. The
// new save file is either written whole or not at all.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "sqd/layout.h"
#include "support/messages.h"
#include "teams/team_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rostrix;
    fuzz::InScratch here;
    static fuzz::ScratchStream script;
    static fuzz::ScratchStream output;
    script.load(data, size);
    output.reset();
    {
        fuzz::TaskState state(fuzz::nullStream());
        verbose = 1;
        if (ManageTeamData(script.stream(), output.stream()) != 0) fuzz::fail("a write to a file failed");
    }
    const long written = output.size();
    if (written != 0 && written != static_cast<long>(kSaveFileSize)) fuzz::fail("a partial save file");
    return 0;
}
