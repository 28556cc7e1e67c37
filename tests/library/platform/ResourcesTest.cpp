// String lookups through the modules' tables.

#include "CRoutine.h"
#include "Resources.h"

#include <gtest/gtest.h>

TEST(Resources, LibraryStringsAreFoundById)
{
    CString text = "replaced";
    EXPECT_EQ(CRoutine::Message(text, 11), "Unable to load file");
    EXPECT_EQ(text, "Unable to load file");
    EXPECT_EQ(CRoutine::Message(text, 4), "Error");
    EXPECT_EQ(CRoutine::Message(text, 5), "\nItalic");
    EXPECT_EQ(CRoutine::Message(text, 10), "Text n\xc2\xb0%d");
    EXPECT_EQ(CRoutine::Message(text, 12), "Input of new filename");
}

TEST(Resources, UnknownIdGivesEmptyText)
{
    CString text = "x";
    EXPECT_EQ(CRoutine::Message(text, 3), "");
    EXPECT_EQ(text, "");
}
