#include "Support/AlertCapture.h"
#include "Support/DataFolderFixture.h"
#include "System/Memory.h"

using DataFiles = DataFolderTest;

TEST_F(DataFiles, WholeFileComesBackWithATerminatingNul)
{
    WriteSystemFile("Table.csv", std::string("a,b\n\0c", 6));
    int32_t size = -1;
    char* data = LoadDataFile(":SYSTEM:table.csv", &size); // folder and file names match in any case
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 6);
    EXPECT_EQ(std::string(data, 7), std::string("a,b\n\0c\0", 7));
    SafeDisposePtr(data);

    EXPECT_NE(data = LoadDataFile(":system:table.csv", nullptr), nullptr) << "the size is optional";
    SafeDisposePtr(data);
}

TEST_F(DataFiles, EmptyFileIsAnEmptyTextNotAMissingOne)
{
    WriteSystemFile("empty.csv", "");
    int32_t size = -1;
    char* data = LoadDataFile(":system:empty.csv", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(data[0], '\0');
    SafeDisposePtr(data);
}

TEST_F(DataFiles, MissingFileOrFolderGivesNullWithoutAnAlert)
{
    ScopedAlertCapture capture;
    int32_t size = 77;
    EXPECT_EQ(LoadDataFile(":system:nothing.csv", &size), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(LoadDataFile(":nowhere:nothing.csv", nullptr), nullptr);
    EXPECT_EQ(LoadDataFile(":system", nullptr), nullptr) << "a folder is not a file";
    EXPECT_TRUE(capture.Alerts().empty());
}
