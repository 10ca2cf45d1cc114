#include "support/record_array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace rostrix {
namespace {

// Every element the destroy callback saw, in call order (elements are ints).
std::vector<int> destroyed;

void noteDestroyed(void* element) {
    int value;
    std::memcpy(&value, element, sizeof value);
    destroyed.push_back(value);
}

int sameInt(const void* element, const void* key) {
    int a;
    int b;
    std::memcpy(&a, element, sizeof a);
    std::memcpy(&b, key, sizeof b);
    return a == b ? 0 : 1;
}

struct ArrayDeleter {
    void operator()(RecordArray* array) const { destroyRecordArray(array); }
};
using ArrayPtr = std::unique_ptr<RecordArray, ArrayDeleter>;

// An int array holding `values`, with the recording callback.
ArrayPtr intArray(const std::vector<int>& values) {
    ArrayPtr array(createRecordArray(sizeof(int), noteDestroyed));
    for (int v : values) appendRecord(array.get(), &v);
    return array;
}

std::vector<int> contents(RecordArray* array) {
    std::vector<int> out;
    for (int i = 0; i < recordCount(array); ++i) {
        int v;
        std::memcpy(&v, getRecord(array, i), sizeof v);
        out.push_back(v);
    }
    return out;
}

class RecordArrayTest : public ::testing::Test {
protected:
    void SetUp() override { destroyed.clear(); }
};

TEST_F(RecordArrayTest, RefusesNonPositiveElementSize) {
    EXPECT_EQ(createRecordArray(0, nullptr), nullptr);
    EXPECT_EQ(createRecordArray(-4, nullptr), nullptr);
}

TEST_F(RecordArrayTest, GrowsBySixteenAndKeepsEveryElementInOrder) {
    ArrayPtr array(createRecordArray(sizeof(int), nullptr));
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(recordCount(array.get()), 0);
    EXPECT_EQ(array->capacity, 16);

    // capacity once the n-th element is in
    const struct {
        int appended;
        int capacity;
    } steps[] = {{1, 16}, {16, 16}, {17, 32}, {32, 32}, {33, 48}, {48, 48}, {49, 64}};
    int next = 0;
    for (const auto& step : steps) {
        while (next < step.appended) {
            const int value = 1000 + next;
            ASSERT_EQ(appendRecord(array.get(), &value), next);
            ++next;
        }
        EXPECT_EQ(array->capacity, step.capacity) << "after " << step.appended << " appends";
        EXPECT_EQ(recordCount(array.get()), step.appended);
    }
    // The moves of the storage lost nothing.
    const std::vector<int> all = contents(array.get());
    for (int i = 0; i < next; ++i) ASSERT_EQ(all[static_cast<std::size_t>(i)], 1000 + i);
    EXPECT_EQ(recordStorage(array.get()), getRecord(array.get(), 0));
}

TEST_F(RecordArrayTest, AppendCopiesExactlyElementSizeBytes) {
    for (int size : {1, 3, 7, 13}) {
        ArrayPtr array(createRecordArray(size, nullptr));
        ASSERT_NE(array, nullptr);
        // Each source is longer than an element; only its first `size` bytes count.
        std::vector<unsigned char> expected;
        for (int e = 0; e < 20; ++e) {
            std::vector<unsigned char> source(static_cast<std::size_t>(size) + 8, 0xEE);
            for (int b = 0; b < size; ++b) source[static_cast<std::size_t>(b)] = static_cast<unsigned char>(e * 16 + b);
            ASSERT_EQ(appendRecord(array.get(), source.data()), e);
            expected.insert(expected.end(), source.begin(), source.begin() + size);
        }
        const auto* storage = static_cast<const unsigned char*>(recordStorage(array.get()));
        EXPECT_EQ(std::vector<unsigned char>(storage, storage + expected.size()), expected) << "element size " << size;
        EXPECT_EQ(getRecord(array.get(), 19), storage + 19 * size);
    }
}

TEST_F(RecordArrayTest, RemovalCallsTheCallbackOnceAndClosesTheGap) {
    const struct {
        int index;
        std::vector<int> destroyed;
        std::vector<int> left;
    } cases[] = {
        {0, {10}, {11, 12, 13}},
        {2, {12}, {10, 11, 13}},
        {3, {13}, {10, 11, 12}},         // the last: nothing moves
        {-1, {}, {10, 11, 12, 13}},      // out of range: ignored, no callback
        {4, {}, {10, 11, 12, 13}},
    };
    for (const auto& c : cases) {
        destroyed.clear();
        ArrayPtr array = intArray({10, 11, 12, 13});
        removeRecordAt(array.get(), c.index);
        EXPECT_EQ(destroyed, c.destroyed) << "index " << c.index;
        EXPECT_EQ(contents(array.get()), c.left) << "index " << c.index;
        EXPECT_EQ(array->capacity, 16);
        destroyed.clear();
        array.reset();
        EXPECT_EQ(destroyed, c.left) << "destroy after removing " << c.index;
    }
}

TEST_F(RecordArrayTest, GetRecordOnlyWithinCount) {
    ArrayPtr array = intArray({5, 6, 7});
    EXPECT_EQ(getRecord(array.get(), -1), nullptr);
    EXPECT_EQ(getRecord(array.get(), 3), nullptr);  // inside the capacity, past the count
    int last;
    std::memcpy(&last, getRecord(array.get(), 2), sizeof last);
    EXPECT_EQ(last, 7);
}

TEST_F(RecordArrayTest, ClearForgetsElementsWithoutCallbacks) {
    ArrayPtr array = intArray({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    ASSERT_EQ(array->capacity, 32);
    clearRecords(array.get());
    EXPECT_EQ(recordCount(array.get()), 0);
    EXPECT_EQ(array->capacity, 32);
    EXPECT_EQ(getRecord(array.get(), 0), nullptr);
    EXPECT_TRUE(destroyed.empty());
    const int again = 99;
    EXPECT_EQ(appendRecord(array.get(), &again), 0);
    array.reset();
    EXPECT_EQ(destroyed, std::vector<int>{99});
}

TEST_F(RecordArrayTest, FindReturnsTheLowestMatchAndPassesTheKeyUnchanged) {
    ArrayPtr array = intArray({4, 8, 15, 8, 15});
    const int key8 = 8;
    const int key15 = 15;
    const int key16 = 16;
    EXPECT_EQ(findRecord(array.get(), &key8, sameInt), 1);
    EXPECT_EQ(findRecord(array.get(), &key15, sameInt), 2);
    EXPECT_EQ(findRecord(array.get(), &key16, sameInt), -1);

    // After removing the first 8, the second one (now at 2) is found.
    removeRecordAt(array.get(), 1);
    EXPECT_EQ(findRecord(array.get(), &key8, sameInt), 2);

    static const void* seenKey = nullptr;
    static int calls = 0;
    const RecordPredicate spy = [](const void*, const void* key) {
        seenKey = key;
        ++calls;
        return 1;
    };
    EXPECT_EQ(findRecord(array.get(), &key16, spy), -1);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(seenKey, &key16);

    calls = 0;
    ArrayPtr empty(createRecordArray(sizeof(int), nullptr));
    EXPECT_EQ(findRecord(empty.get(), &key16, spy), -1);
    EXPECT_EQ(calls, 0);
}

TEST_F(RecordArrayTest, DestroyWithoutCallbackLeavesWhatElementsPointTo) {
    auto owned = std::make_unique<int>(42);
    int* pointee = owned.get();
    RecordArray* array = createRecordArray(sizeof pointee, nullptr);
    ASSERT_NE(array, nullptr);
    appendRecord(array, &pointee);
    destroyRecordArray(array);
    EXPECT_EQ(*owned, 42);  // still ours, still alive
}

}  // namespace
}  // namespace rostrix
