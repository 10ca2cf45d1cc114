// RecordArray: a growable array of fixed-size elements stored back to back,
// with an optional destroy callback per element and a linear search driven by
// a caller's predicate. Elements are copied in by value; the array never looks
// inside them and does not own what they point to.
#pragma once

#include <cstdint>

namespace rostrix {

// Called with a pointer to one element when it is removed or the array is
// destroyed.
using RecordDestroyFn = void (*)(void* element);
// Given a pointer to an element and the caller's key pointer; 0 means a match.
using RecordPredicate = int (*)(const void* element, const void* key);

struct RecordArray {
    std::int32_t elementSize;
    std::int32_t capacity;  // 16 after creation, grows by 16
    std::int32_t count;
    RecordDestroyFn destroyFn;
    unsigned char* elements;
};

inline constexpr std::int32_t kRecordArrayGrowth = 16;

// A new empty array, or nullptr when memory runs out or elementSize <= 0.
RecordArray* createRecordArray(int elementSize, RecordDestroyFn destroyFn);
// Calls the destroy callback on every live element, then frees the array.
void destroyRecordArray(RecordArray* array);
// Copies elementSize bytes from source to the end; its index, or -1 when the
// storage cannot grow (the array is then unchanged).
int appendRecord(RecordArray* array, const void* source);
// Removes one element (after its callback) and closes the gap; an index out
// of range is ignored.
void removeRecordAt(RecordArray* array, int index);
// Forgets every element without calling the callback.
void clearRecords(RecordArray* array);
// The element at index, or nullptr when index is not below count.
void* getRecord(RecordArray* array, int index);
int recordCount(const RecordArray* array);
// Start of the element storage; a growing append may move it.
void* recordStorage(RecordArray* array);
// Index of the first element the predicate matches, or -1.
int findRecord(RecordArray* array, const void* key, RecordPredicate predicate);

}  // namespace rostrix
