// Writing a save file: an output image is laid out in ploadBuffer as a
// complete 253082-byte file and written with one request.
#pragma once

#include <cstdio>
#include <ctime>

#include "sqd/image.h"

namespace rostrix {

// Marks `count` vacant unit records from `first` on: bytes 4-32 (the name) and
// 36-47 of each record's data become 0xCD.
void blankVekSlots(VekRecord* first, int count);

// Lays `image` out in ploadBuffer and writes the whole file to `out`, then
// flushes it. Every unit's sourceIndex becomes its index in the image. The
// regions the file format leaves opaque keep what ploadBuffer held. 0 on
// success; -1 after "fail to fwrite in saveSQDBLOCK : %s\n".
int saveSQDBLOCK(SqdImage* image, std::FILE* out);

// The same, with the date stamp taken from `now` instead of the clock.
int saveSQDBLOCKat(SqdImage* image, std::FILE* out, std::time_t now);

// Lays the file out in `buffer` without writing it; returns the checksum.
std::uint32_t layOutSaveFile(SqdImage* image, unsigned char* buffer, std::time_t now);

}  // namespace rostrix
