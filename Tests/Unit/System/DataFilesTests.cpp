#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/DataFiles.h"
#include "System/Memory.h"
#include "Tarnet/Tarnet.h"

#include <gtest/gtest.h>

#include <fstream>

class DataFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        std::filesystem::create_directories(folder.Path() / "Data" / "Skeletons");
        std::filesystem::create_directories(folder.Path() / "Data" / "System");
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(folder.Path() / "Data" / "Skeletons");
    }
    void TearDown() override
    {
        gDataFolderSpec = savedDataFolder;
        Tarnet::Shutdown();
    }
    void Write(const char* name, const std::string& bytes)
    {
        std::ofstream(folder.Path() / "Data" / "System" / name, std::ios::binary) << bytes;
    }

    TempFolder folder;
    Tarnet::FSSpec savedDataFolder;
};

TEST_F(DataFiles, WholeFileComesBackWithATerminatingNul)
{
    Write("Table.csv", std::string("a,b\n\0c", 6));
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
    Write("empty.csv", "");
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
