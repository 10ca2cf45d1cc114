#include "sqd/load_buffer.h"

#include <cstdlib>

#include "sqd/layout.h"

namespace rostrix {

unsigned char* ploadBuffer = nullptr;

bool allocateLoadBuffer() {
    // Zero-filled, so that a file written before any save file was read holds
    // zeros, not leftovers, in the regions the writer does not set.
    ploadBuffer = static_cast<unsigned char*>(std::calloc(kLoadBufferSize, 1));
    return ploadBuffer != nullptr;
}

}  // namespace rostrix
