#include "framework/CByteArray.h"

#include "framework/CException.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CByteArrayTest, SetSizeKeepsBytesAndZeroesNewOnes)
{
    CByteArray bytes;
    bytes.SetSize(2);
    bytes.GetData()[0] = 7;
    bytes.GetData()[1] = 8;
    bytes.SetSize(4);
    ASSERT_EQ(4, bytes.GetSize());
    EXPECT_EQ(7, bytes.GetData()[0]);
    EXPECT_EQ(8, bytes.GetData()[1]);
    EXPECT_EQ(0, bytes.GetData()[2]);
    EXPECT_EQ(0, bytes.GetData()[3]);
}

// A length field read from a file may be negative or absurd; the array refuses it.
TEST(CByteArrayTest, RejectedSizesRaiseMemoryExceptionAndKeepContents)
{
    CByteArray bytes;
    bytes.SetSize(3);
    EXPECT_THROW(bytes.SetSize(-1), CMemoryException);
    EXPECT_THROW(bytes.SetSize(INT_MIN), CMemoryException);
    // Only a 32-bit address space has no room for 2 GB.
    if (sizeof(void*) == 4) {
        EXPECT_THROW(bytes.SetSize(INT_MAX), CMemoryException);
    }
    EXPECT_EQ(3, bytes.GetSize());
}
