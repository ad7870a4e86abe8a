// Saved-game slots through real files in a temporary preferences folder.

#include "PrefsTestFixture.h"

#include "System/LevelGlobals.h"
#include "System/SaveSlots.h"

#include <cmath>

static const char* const kSaveMagic = "Quorvel2 Save v0";

static SavedGameRecord ValidRecord()
{
    SavedGameRecord record = {};
    record.timeStamp = 1700000000;
    record.levelIndex = 1;
    record.lives = 2;
    record.ammo[0] = 10;
    record.health = 0.5f;
    record.jetFuel = 0.75f;
    record.shieldTimer = 2.0f;
    return record;
}

TEST_F(UserFileTest, SlotsAreNamedFileAToFileE)
{
    char name[8];
    ASSERT_TRUE(GetSaveSlotFileName(0, name));
    EXPECT_STREQ(name, "FileA");
    ASSERT_TRUE(GetSaveSlotFileName(4, name));
    EXPECT_STREQ(name, "FileE");
    ASSERT_TRUE(GetSaveSlotFileName(7, name)); // a load outcome's digit follows the same rule
    EXPECT_STREQ(name, "FileH");
    EXPECT_FALSE(GetSaveSlotFileName(-1, name));
    EXPECT_FALSE(GetSaveSlotFileName(26, name));
}

TEST_F(UserFileTest, SavedGameRoundTripsIntoTheNextSession)
{
    gLevelIndex = 2;
    gPlayerStock[0] = {300, 0.25f, 0.5f, 1.5f, {1, 2, 3, 4, 5}};

    testing::internal::CaptureStdout();
    ASSERT_TRUE(WriteSaveSlot(3));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wrote FileD\n");
    EXPECT_EQ(std::filesystem::file_size(GameFile("FileD")), 17u + 32u);

    gLevelIndex = 0;
    gPlayerStock[0] = {};
    SavedGameRecord record;
    ASSERT_TRUE(ReadSaveSlot(3, &record));
    ApplySavedGame(record);
    EXPECT_EQ(gLevelIndex, 2);
    EXPECT_EQ(gPlayerStock[0].lives, 300 & 0xFF); // only the low byte is kept
    EXPECT_FLOAT_EQ(gPlayerStock[0].health, 0.25f);
    EXPECT_FLOAT_EQ(gPlayerStock[0].jetFuel, 0.5f);
    EXPECT_FLOAT_EQ(gPlayerStock[0].shieldTimer, 1.5f);
    EXPECT_EQ(gPlayerStock[0].ammo[4], 5);
    EXPECT_GT(record.timeStamp, 0);
}

TEST_F(UserFileTest, EmptyOrCorruptSlotIsNotOffered)
{
    SavedGameRecord record;
    EXPECT_FALSE(ReadSaveSlot(0, &record));

    testing::internal::CaptureStdout();
    WriteWholeFile(GameFile("FileA"), FileBytes(kSaveMagic, ValidRecord()) + "x");
    EXPECT_FALSE(ReadSaveSlot(0, &record));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File 'FileA' appears to be corrupt!\n");
}

TEST_F(UserFileTest, SlotWithAValueTheGameCannotPlayIsInvalid)
{
    SavedGameRecord record;
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, ValidRecord()));
    ASSERT_TRUE(ReadSaveSlot(1, &record));

    SavedGameRecord bad = ValidRecord();
    bad.levelIndex = 50;
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, bad));
    EXPECT_FALSE(ReadSaveSlot(1, &record));

    bad = ValidRecord();
    bad.ammo[2] = -1;
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, bad));
    EXPECT_FALSE(ReadSaveSlot(1, &record));

    bad = ValidRecord();
    bad.health = std::nanf("");
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, bad));
    EXPECT_FALSE(ReadSaveSlot(1, &record));

    bad = ValidRecord();
    bad.jetFuel = INFINITY;
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, bad));
    EXPECT_FALSE(ReadSaveSlot(1, &record));

    bad = ValidRecord();
    bad.shieldTimer = -0.5f;
    WriteWholeFile(GameFile("FileB"), FileBytes(kSaveMagic, bad));
    EXPECT_FALSE(ReadSaveSlot(1, &record));
}

TEST_F(UserFileTest, DeletingASlotRemovesOnlyThatFile)
{
    WriteWholeFile(GameFile("FileA"), FileBytes(kSaveMagic, ValidRecord()));
    WriteWholeFile(GameFile("FileC"), FileBytes(kSaveMagic, ValidRecord()));
    EXPECT_TRUE(DeleteFileSlot(0));
    EXPECT_FALSE(DeleteFileSlot(0));
    EXPECT_FALSE(std::filesystem::exists(GameFile("FileA")));
    EXPECT_TRUE(std::filesystem::exists(GameFile("FileC")));
}

TEST_F(UserFileTest, OverwritingASaveReplacesItWhole)
{
    gLevelIndex = 1;
    gPlayerStock[0] = {3, 1.0f, 1.0f, 3.0f, {0, 0, 0, 0, 0}};
    testing::internal::CaptureStdout();
    ASSERT_TRUE(WriteSaveSlot(0));
    gLevelIndex = 2;
    ASSERT_TRUE(WriteSaveSlot(0));
    testing::internal::GetCapturedStdout();

    SavedGameRecord record;
    ASSERT_TRUE(ReadSaveSlot(0, &record));
    EXPECT_EQ(record.levelIndex, 2);
    EXPECT_FALSE(std::filesystem::exists(GameFile("FileA.new")));
}
