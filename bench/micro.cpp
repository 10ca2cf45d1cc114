// Microbenchmarks of the stages a run goes through, each on its own, so that
// a change in one stage shows up by itself: reading and parsing one save
// file, listing one image, writing one image, and interning units.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>

#include "fixtures/save_builder.h"
#include "sqd/load_buffer.h"
#include "sqd/reader.h"
#include "sqd/writer.h"
#include "teams/assembly.h"
#include "teams/listing.h"

namespace rostrix {

namespace {

// A save like the benchmark's: 32 named units and 6 teams of three.
SaveBuilder sampleSave() {
    SaveBuilder save;
    save.player("Player");
    for (int i = 0; i < kVekCount; ++i) save.unit(i, i % 2 == 0 ? "Lancelot" : "\x94\x45\x8E\xD2", static_cast<std::uint8_t>(i));
    for (int j = 0; j < 6; ++j) {
        save.team(j, "Vanguard", "Player", static_cast<std::uint8_t>(j));
        for (int k = 0; k < kSlotCount; ++k) {
            save.slot(j, k, static_cast<std::uint8_t>(j * 3 + k), static_cast<std::uint8_t>((j + 4 * k) % 9));
        }
    }
    return save;
}

// The sample save written to a temporary file, ploadBuffer allocated, and a
// stream that discards what is written to it.
class Stage {
public:
    Stage() {
        path_ = (std::filesystem::temp_directory_path() / ("rostrix_micro_" + std::to_string(std::random_device{}()) + ".sqd"))
                    .string();
        sampleSave().writeTo(path_);
        if (ploadBuffer == nullptr && !allocateLoadBuffer()) std::abort();
        sink_ = std::fopen("/dev/null", "wb");
        image_ = allocateSQDimage();
        if (sink_ == nullptr || image_ == nullptr || readSQDfile(path_.c_str(), ploadBuffer) != 0) std::abort();
        parseSQDimage(image_, path_.c_str(), ploadBuffer);
    }
    ~Stage() {
        freeSQDimage(image_);
        std::fclose(sink_);
        std::filesystem::remove(path_);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    const char* path() const { return path_.c_str(); }
    std::FILE* sink() const { return sink_; }
    SqdImage* image() const { return image_; }

private:
    std::string path_;
    std::FILE* sink_;
    SqdImage* image_;
};

Stage& stage() {
    static Stage instance;
    return instance;
}

// One request for the whole file into ploadBuffer.
void BM_ReadSaveFile(benchmark::State& state) {
    const Stage& s = stage();
    for (auto _ : state) benchmark::DoNotOptimize(readSQDfile(s.path(), ploadBuffer));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSaveFileSize));
}
BENCHMARK(BM_ReadSaveFile);

// What the cache does for each new source: read, parse into a new image.
void BM_ReadAndParseNewImage(benchmark::State& state) {
    const Stage& s = stage();
    for (auto _ : state) {
        readSQDfile(s.path(), ploadBuffer);
        SqdImage* image = parseSQDfile(s.path(), ploadBuffer);
        benchmark::DoNotOptimize(image);
        freeSQDimage(image);
    }
}
BENCHMARK(BM_ReadAndParseNewImage);

// The parse alone, into an image that already exists.
void BM_ParseImage(benchmark::State& state) {
    const Stage& s = stage();
    for (auto _ : state) {
        parseSQDimage(s.image(), s.path(), ploadBuffer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ParseImage);

// The parse a listing makes: teams and unit names only.
void BM_ParseTeams(benchmark::State& state) {
    const Stage& s = stage();
    for (auto _ : state) {
        parseSQDteams(s.image(), s.path(), ploadBuffer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ParseTeams);

// Listing one parsed image: team-script lines (0) or unit lines (1).
void BM_ListImage(benchmark::State& state) {
    const Stage& s = stage();
    const SqdImage* image = s.image();
    const bool units = state.range(0) != 0;
    for (auto _ : state) {
        for (int t = 0; t < kTeamCount; ++t) {
            const TeamRecord& team = image->team[t];
            if (!isPresentTeam(team)) continue;
            if (units) {
                writeUnitLines(s.sink(), s.path(), team);
            } else {
                writeTeamScriptLine(s.sink(), s.path(), t, team);
            }
        }
    }
}
BENCHMARK(BM_ListImage)->Arg(0)->Arg(1);

// Laying an image out as a file, with its checksum, in a throwaway buffer.
void BM_LayOutSaveFile(benchmark::State& state) {
    const Stage& s = stage();
    const std::time_t now = std::time(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(layOutSaveFile(s.image(), ploadBuffer, now));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSaveFileSize));
}
BENCHMARK(BM_LayOutSaveFile);

// The whole write: layout, checksum and one request to /dev/null.
void BM_SaveToDevNull(benchmark::State& state) {
    const Stage& s = stage();
    const std::time_t now = std::time(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(saveSQDBLOCKat(s.image(), s.sink(), now));
}
BENCHMARK(BM_SaveToDevNull);

// Interning as an assembly does it: 48 slots naming 32 distinct units (the
// last 16 are found already there), into an output image emptied each time.
void BM_InternUnits(benchmark::State& state) {
    const Stage& s = stage();
    SqdImage* output = allocateSQDimage();
    if (output == nullptr) std::abort();
    const SqdImage* source = s.image();
    for (auto _ : state) {
        for (VekRecord& vek : output->vek) {
            vek.sourcePath[0] = '\0';
            vek.sourceIndex = 0;
        }
        AssemblyFrame frame{output, 0, 0};
        for (int n = 0; n < 48; ++n) benchmark::DoNotOptimize(internVek(frame, source->vek[n % kVekCount]));
    }
    freeSQDimage(output);
}
BENCHMARK(BM_InternUnits);

}  // namespace

}  // namespace rostrix

BENCHMARK_MAIN();
