// The loaded-file cache: each source save file named during a run is read and
// parsed once, kept until the end of the run and served from memory after
// that. Loading also registers the file's present teams and distinct units.
#pragma once

#include "sqd/image.h"
#include "support/record_array.h"

namespace rostrix {

// The registries, arrays of pointers created by main. They point into the
// cached images and own nothing.
extern RecordArray* VekArray;   // distinct units that present teams use
extern RecordArray* TeamArray;  // present teams of every loaded file
extern RecordArray* SqdArray;   // the cached images, in load order

// Creates the three registries; false (with the first that failed named in
// *failed) when memory runs out.
bool createRegistries(const char** failed);
// Destroys SqdArray, TeamArray and VekArray, in that order.
void destroyRegistries();
// Frees every image the cache has loaded. Only the end of a run calls this:
// every pointer handed out before becomes invalid.
void releaseLoadedFiles();

// Reads, parses and registers the file at `path` (reported under -V); the new
// image, or nullptr when it cannot be read or parsed.
SqdImage* loadSQDfile(const char* path);
// The cached image for `path` (compared byte for byte), else loadSQDfile's.
SqdImage* getSQDfile(const char* path);
// Unit record `index` (0..31) of the file at `path`, or nullptr when the file
// cannot be loaded.
VekRecord* getVek(const char* path, int index);

// Registry predicates. `element` points to an SqdArray (VekArray) element,
// `key` to a path pointer (a VekRecord pointer). 0 for a match.
int compareSQDpath(const void* element, const void* key);
int compareVekPointer(const void* element, const void* key);

}  // namespace rostrix
