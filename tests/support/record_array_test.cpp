#include "support/record_array.h"

#include <gtest/gtest.h>

namespace rostrix {
namespace {

TEST(RecordArray, RefusesNonPositiveElementSize) {
    EXPECT_EQ(createRecordArray(0, nullptr), nullptr);
    EXPECT_EQ(createRecordArray(-4, nullptr), nullptr);
}

}  // namespace
}  // namespace rostrix
