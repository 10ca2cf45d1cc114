#include "sqd/cache.h"

#include <cstring>

#include "sqd/load_buffer.h"
#include "sqd/reader.h"
#include "support/messages.h"

namespace rostrix {

RecordArray* VekArray = nullptr;
RecordArray* TeamArray = nullptr;
RecordArray* SqdArray = nullptr;

namespace {

// The images the cache owns, apart from the registries (which own nothing),
// so that they can be released at the end of the run even when SqdArray
// could not take one of them.
RecordArray* ownedImages = nullptr;

void freeOwnedImage(void* element) {
    SqdImage* image;
    std::memcpy(&image, element, sizeof image);
    freeSQDimage(image);
}

void keepImage(SqdImage* image) {
    if (ownedImages == nullptr) ownedImages = createRecordArray(sizeof(SqdImage*), freeOwnedImage);
    if (ownedImages != nullptr) appendRecord(ownedImages, &image);
}

// Whether `vek` is among the VekArray entries from index `first` on.
bool isRegisteredFrom(int first, const VekRecord* vek) {
    for (int i = first; i < recordCount(VekArray); ++i) {
        if (compareVekPointer(getRecord(VekArray, i), &vek) == 0) return true;
    }
    return false;
}

void registerTeams(SqdImage* image) {
    // The units of earlier files lie in their own images, so only the entries
    // this file adds can already hold one of its units: searching the whole
    // registry would make loading many files quadratic.
    const int firstOfFile = recordCount(VekArray);
    for (int j = 0; j < kTeamCount; ++j) {
        TeamRecord* team = &image->team[j];
        if (!isPresentTeam(*team)) continue;
        const FieldText name = fieldText(team->name, kTeamNameSize);
        const FieldText player = fieldText(team->player, kTeamPlayerSize);
        progressf("Read team %d : %s", j + 1, name.text);
        progressf("(%s)\n", player.text);
        // A registry that cannot grow only misses this entry; the load stands.
        appendRecord(TeamArray, &team);
        for (int k = 0; k < kSlotCount; ++k) {
            VekRecord* vek = team->vek[k];
            if (vek != nullptr && !isRegisteredFrom(firstOfFile, vek)) appendRecord(VekArray, &vek);
        }
    }
}

}  // namespace

bool createRegistries(const char** failed) {
    VekArray = createRecordArray(sizeof(void*), nullptr);
    if (VekArray == nullptr) {
        *failed = "VekArray";
        return false;
    }
    TeamArray = createRecordArray(sizeof(void*), nullptr);
    if (TeamArray == nullptr) {
        *failed = "TeamArray";
        return false;
    }
    SqdArray = createRecordArray(sizeof(void*), nullptr);
    if (SqdArray == nullptr) {
        *failed = "SqdArray";
        return false;
    }
    return true;
}

void destroyRegistries() {
    destroyRecordArray(SqdArray);
    destroyRecordArray(TeamArray);
    destroyRecordArray(VekArray);
    SqdArray = TeamArray = VekArray = nullptr;
}

void releaseLoadedFiles() {
    if (ownedImages == nullptr) return;
    destroyRecordArray(ownedImages);
    ownedImages = nullptr;
}

SqdImage* loadSQDfile(const char* path) {
    SqdImage* image = nullptr;
    if (readSQDfile(path, ploadBuffer) == 0) image = parseSQDfile(path, ploadBuffer);
    if (image == nullptr) {
        progressf("Fail to load %s\n", path);
        return nullptr;
    }
    keepImage(image);
    progressf("File:[%s]\n", path);
    appendRecord(SqdArray, &image);
    registerTeams(image);
    return image;
}

SqdImage* getSQDfile(const char* path) {
    const int index = findRecord(SqdArray, &path, compareSQDpath);
    if (index >= 0) {
        SqdImage* image;
        std::memcpy(&image, getRecord(SqdArray, index), sizeof image);
        return image;
    }
    return loadSQDfile(path);
}

VekRecord* getVek(const char* path, int index) {
    SqdImage* image = getSQDfile(path);
    if (image == nullptr) return nullptr;
    return &image->vek[index];
}

int compareSQDpath(const void* element, const void* key) {
    const SqdImage* image;
    const char* path;
    std::memcpy(&image, element, sizeof image);
    std::memcpy(&path, key, sizeof path);
    return std::strcmp(image->path, path);
}

int compareVekPointer(const void* element, const void* key) {
    const VekRecord* a;
    const VekRecord* b;
    std::memcpy(&a, element, sizeof a);
    std::memcpy(&b, key, sizeof b);
    return a == b ? 0 : -1;
}

}  // namespace rostrix
