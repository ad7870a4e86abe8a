// The shell's own behaviour around alerts, start-up data and quitting.

#include "Objects/ObjNode.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/Boot.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

TEST(Alerts, RecoverableAlertGoesToTheConsoleAndTheBoxThenReturns)
{
    ScopedAlertCapture capture;
    testing::internal::CaptureStdout();
    ShowAlert("Level %d is missing", 4);
    std::string console = testing::internal::GetCapturedStdout();

    EXPECT_EQ(console, "Quorvel 2 Alert: Level 4 is missing\n");
    ASSERT_EQ(capture.Alerts().size(), 1u);
    EXPECT_EQ(capture.LastMessage(), "Level 4 is missing");
    EXPECT_FALSE(capture.Alerts()[0].isFatal);
}

TEST(Alerts, FatalAlertIsReportedAndEndsTheCaller)
{
    testing::internal::CaptureStdout();
    std::string message = FatalAlertMessageOf([] { ShowFatalAlert("bad %s", "thing"); });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Quorvel 2 Fatal Alert: bad thing\n");
    EXPECT_EQ(message, "bad thing");
}

TEST(Alerts, OverlongMessageIsCutNotOverrun)
{
    ScopedAlertCapture capture;
    std::string longText(5000, 'x');
    testing::internal::CaptureStdout();
    ShowAlert("%s", longText.c_str());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(capture.LastMessage().size(), 1023u);
}

TEST(Alerts, FailedAssertionNamesFunctionLineAndCondition)
{
    EXPECT_EQ(FatalAlertMessageOf([] { FatalAssertion("MoveThing", 12, "node != nullptr"); }),
              "MoveThing:12: node != nullptr");
}

TEST(StartUpData, MissingControllerMappingsWarnOnceAndStartUpGoesOn)
{
    TempFolder folder;
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    ScopedAlertCapture capture;

    LoadControllerMappings(folder.Path() / "Data");

    ASSERT_EQ(capture.Alerts().size(), 1u);
    EXPECT_EQ(capture.LastMessage(), "Couldn't load gamecontrollerdb.txt!");
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

TEST(StartUpData, PresentControllerMappingsLoadSilently)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "Data" / "System");
    std::ofstream(folder.Path() / "Data" / "System" / "gamecontrollerdb.txt") << "# none\n";
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    ScopedAlertCapture capture;

    LoadControllerMappings(folder.Path() / "Data");

    EXPECT_TRUE(capture.Alerts().empty());
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

TEST(StartUpData, DataFolderIsResolvedFromTheWorkingDirectory)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "Data" / "Skeletons");
    Tarnet::Startup();
    {
        ScopedWorkingDirectory inFolder(folder.Path());
        std::filesystem::path data = FindDataFolder();
        EXPECT_EQ(std::filesystem::canonical(data), std::filesystem::canonical(folder.Path() / "Data"));
        EXPECT_STREQ(gDataFolderSpec.name, "Skeletons");
    }
    Tarnet::Shutdown();
}

class QuitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        savedConfigHome = old ? old : "";
        setenv("XDG_CONFIG_HOME", configFolder.Path().c_str(), 1);
        Tarnet::Startup();
        InitObjectPool();
        gQuitting = false;
    }
    void TearDown() override
    {
        DisposeAllObjects();
        gQuitting = false;
        Tarnet::Shutdown();
        if (savedConfigHome.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfigHome.c_str(), 1);
    }

    static ObjNode* MakeAnyNode()
    {
        ObjectDefinition def = {};
        def.genre = INVISIBLE_GENRE;
        def.slot = 100;
        def.scale = 1;
        return MakeNewObject(&def);
    }

    TempFolder configFolder;
    std::string savedConfigHome;
};

TEST_F(QuitTest, QuittingDisposesOnceAndAlwaysEndsInTheQuitRequest)
{
    MakeAnyNode();
    testing::internal::CaptureStdout();
    EXPECT_THROW(QuitCleanly(), Tarnet::QuitRequest);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(gObjectListHead, nullptr);
    EXPECT_TRUE(gQuitting);

    // An alert raised during the clean-up quits again: nothing is disposed a second time.
    ObjNode* survivor = MakeAnyNode();
    EXPECT_THROW(QuitCleanly(), Tarnet::QuitRequest);
    EXPECT_EQ(gObjectListHead, survivor);
}
