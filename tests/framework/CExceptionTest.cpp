#include "framework/CException.h"

#include <gtest/gtest.h>

TEST(CExceptionTest, ErrorMessageIsCutToTheBuffer)
{
    char text[8];
    EXPECT_TRUE(CMemoryException().GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("Out of ", text);
    EXPECT_FALSE(CMemoryException().GetErrorMessage(text, 0));
}
