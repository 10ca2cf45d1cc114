#include "support/record_array.h"

#include <cstdlib>
#include <cstring>

namespace rostrix {

RecordArray* createRecordArray(int elementSize, RecordDestroyFn destroyFn) {
    if (elementSize <= 0) return nullptr;
    auto* array = static_cast<RecordArray*>(std::malloc(sizeof(RecordArray)));
    if (array == nullptr) return nullptr;
    array->elements = static_cast<unsigned char*>(
        std::malloc(static_cast<std::size_t>(kRecordArrayGrowth) * static_cast<std::size_t>(elementSize)));
    if (array->elements == nullptr) {
        std::free(array);
        return nullptr;
    }
    array->elementSize = elementSize;
    array->capacity = kRecordArrayGrowth;
    array->count = 0;
    array->destroyFn = destroyFn;
    return array;
}

void destroyRecordArray(RecordArray* array) {
    if (array->destroyFn != nullptr) {
        for (int i = 0; i < array->count; ++i) array->destroyFn(getRecord(array, i));
    }
    std::free(array->elements);
    std::free(array);
}

int appendRecord(RecordArray* array, const void* source) {
    const auto size = static_cast<std::size_t>(array->elementSize);
    if (array->count + 1 > array->capacity) {
        // A capacity that no longer fits the count's type, or a byte size that
        // overflows, is as good as no memory.
        if (array->capacity > INT32_MAX - kRecordArrayGrowth) return -1;
        const auto newCapacity = static_cast<std::size_t>(array->capacity + kRecordArrayGrowth);
        if (newCapacity > SIZE_MAX / size) return -1;
        auto* grown = static_cast<unsigned char*>(std::realloc(array->elements, newCapacity * size));
        if (grown == nullptr) return -1;
        array->elements = grown;
        array->capacity += kRecordArrayGrowth;
    }
    std::memcpy(array->elements + static_cast<std::size_t>(array->count) * size, source, size);
    return array->count++;
}

void removeRecordAt(RecordArray* array, int index) {
    if (index < 0 || index >= array->count) return;
    const auto size = static_cast<std::size_t>(array->elementSize);
    unsigned char* element = array->elements + static_cast<std::size_t>(index) * size;
    if (array->destroyFn != nullptr) array->destroyFn(element);
    if (index < array->count - 1) {
        std::memmove(element, element + size, static_cast<std::size_t>(array->count - index - 1) * size);
    }
    --array->count;
}

void clearRecords(RecordArray* array) { array->count = 0; }

void* getRecord(RecordArray* array, int index) {
    if (index < 0 || index >= array->count) return nullptr;
    return array->elements + static_cast<std::size_t>(index) * static_cast<std::size_t>(array->elementSize);
}

int recordCount(const RecordArray* array) { return array->count; }

void* recordStorage(RecordArray* array) { return array->elements; }

int findRecord(RecordArray* array, const void* key, RecordPredicate predicate) {
    for (int i = 0; i < array->count; ++i) {
        if (predicate(getRecord(array, i), key) == 0) return i;
    }
    return -1;
}

}  // namespace rostrix
