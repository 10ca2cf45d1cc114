// ploadBuffer: the one buffer in which every save file is read and the output
// file is laid out. main allocates it once; the reader and the writer borrow it.
#pragma once

namespace rostrix {

extern unsigned char* ploadBuffer;

// Allocates ploadBuffer (kLoadBufferSize bytes, zero-filled); false when
// memory runs out.
bool allocateLoadBuffer();

}  // namespace rostrix
