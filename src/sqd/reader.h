// Reading a save file: readSQDfile brings its bytes into a buffer, and
// parseSQDfile builds a working image from them. Nothing in the file is
// verified: any file that can be opened and read becomes an image.
#pragma once

#include "sqd/image.h"

namespace rostrix {

// Reads up to kLoadBufferSize bytes of the file at `path` into `buffer`,
// zero-filling the rest. 0 on success; -1 after "fail to open %s : %s\n" or
// "fail to read %s : %s\n" (a path of 1024 bytes or more is refused as too
// long, never opened).
int readSQDfile(const char* path, unsigned char* buffer);

// A new image (to be freed with freeSQDimage) built from the save-file bytes
// in `buffer`, recording `path`; nullptr after "not enough memory in
// parseSQDfile\n".
SqdImage* parseSQDfile(const char* path, const unsigned char* buffer);

// Fills an existing image from `buffer`, as parseSQDfile does.
void parseSQDimage(SqdImage* image, const char* path, const unsigned char* buffer);

// Fills what a listing shows of an existing image: its path, its player name,
// its team records and, of each unit record, its index and the bytes up to
// the end of its name. The rest of the unit records keeps what it held, so
// one image can serve every file of a listing without copying unit data that
// no listing prints.
void parseSQDteams(SqdImage* image, const char* path, const unsigned char* buffer);

// Frees an image made by parseSQDfile or allocateSQDimage.
void freeSQDimage(SqdImage* image);

// A new all-zero image, or nullptr when memory runs out.
SqdImage* allocateSQDimage();

}  // namespace rostrix
