// Save-file bytes: the reader and parser, the loaded-file cache's
// registration of teams and units, and both listings (-l and -k lines, with
// and without -V), over whatever a file may hold. The listings must print
// exactly what formatted output over a freshly parsed image prints.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "sqd/cache.h"
#include "sqd/load_buffer.h"
#include "sqd/reader.h"
#include "support/messages.h"
#include "support/record_array.h"
#include "teams/listing.h"

namespace {

using namespace rostrix;

const char kInput[] = "input.sqd";

// Every slot of the image names one of its own 32 units or is empty with
// cell 255.
void checkImage(const SqdImage& image) {
    for (const TeamRecord& team : image.team) {
        for (int k = 0; k < kSlotCount; ++k) {
            const VekRecord* vek = team.vek[k];
            if (vek == nullptr) {
                if (team.position[k] != kEmptySlotByte) fuzz::fail("empty slot with a cell");
            } else if (vek < &image.vek[0] || vek > &image.vek[kVekCount - 1]) {
                fuzz::fail("slot outside the image's units");
            }
        }
    }
}

// What the listings must print for `image`, made the plain way: formatted
// output over a freshly parsed image.
std::string expectedListing(const SqdImage& image, bool units) {
    std::string text;
    char line[512];
    for (int t = 0; t < kTeamCount; ++t) {
        const TeamRecord& team = image.team[t];
        if (!isPresentTeam(team)) continue;
        if (!units) {
            std::snprintf(line, sizeof line, "%s\t%d\t", kInput, t);
            text += line;
        }
        for (int k = 0; k < kSlotCount; ++k) {
            const VekRecord* vek = team.vek[k];
            if (units && vek != nullptr) {
                std::snprintf(line, sizeof line, "%s\t%d\t%d\t%s\n", kInput, vek->sourceIndex, team.position[k],
                              fieldText(vekName(*vek), kVekNameSize).text);
            } else if (!units && vek != nullptr) {
                std::snprintf(line, sizeof line, "%d\t%d\t", vek->sourceIndex, team.position[k]);
            } else {
                std::snprintf(line, sizeof line, "%s", units ? "" : "-1\t-1\t");
            }
            text += line;
        }
        if (units) continue;
        std::snprintf(line, sizeof line, "%s\t%s", fieldText(team.player, kTeamPlayerSize).text,
                      fieldText(team.name, kTeamNameSize).text);
        text += line;
        for (const VekRecord* vek : team.vek) {
            text += '\t';
            if (vek != nullptr) text += fieldText(vekName(*vek), kVekNameSize).text;
        }
        text += '\n';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InScratch here;
    fuzz::writeScratchFile(kInput, data, size);
    static fuzz::ScratchStream listing;
    {
        fuzz::TaskState state(fuzz::nullStream());
        if (readSQDfile(kInput, ploadBuffer) != 0) fuzz::fail("a readable file was not read");
        SqdImage* image = parseSQDfile(kInput, ploadBuffer);
        if (image == nullptr) fuzz::fail("no image");
        checkImage(*image);
        const std::string expected[2] = {expectedListing(*image, false), expectedListing(*image, true)};
        freeSQDimage(image);

        for (int units = 0; units < 2; ++units) {
            for (int talk = 0; talk < 2; ++talk) {
                listUnits = units;
                verbose = talk;
                listing.reset();
                DumpTeamData(kInput, listing.stream());
                if (listing.text() != expected[units]) fuzz::fail("the listing differs from its plain form");
            }
        }

        // The cache: the file is read once, its present teams registered.
        verbose = 1;
        SqdImage* cached = getSQDfile(kInput);
        if (cached == nullptr || getSQDfile(kInput) != cached) fuzz::fail("the cache did not keep the file");
        checkImage(*cached);
        if (recordCount(TeamArray) > kTeamCount || recordCount(VekArray) > kVekCount) {
            fuzz::fail("more registered than the file holds");
        }
    }
    return 0;
}
