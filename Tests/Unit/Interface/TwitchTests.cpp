#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "Support/DataFolderFixture.h"
#include "System/FrameRate.h"
#include "System/Pause.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// One preset per effect under test; the names are the game's, the values the tests' own.
const char* const kTestPresets = "PRESET,CLASS,AXES,EASING,DURATION,AMPLITUDE,FREQUENCY,PHASE,DELAY\r\n"
                                 "MenuSelect,Heartbeat,XY,OutQuad,1,1.3,0,0,0\r\n"
                                 "MenuDeselect,Displace,x,Linear,1,10,0,0,0.5\n"
                                 "MenuWiggle,Wiggle,X,Linear,1,20,4,0.5,0\n"
                                 "MenuFadeIn,AlphaFadeIn,,OutQuad,0.5,1,0,0,0\n"
                                 "MenuFadeOut,AlphaFadeOut,xy,InQuad,0.5,1,0,0,0\n"
                                 "MenuSweep,Displace,X,OutCubic,0.3,-50,0,0,0\n"
                                 "ArrowheadSpin,Spin,X,Linear,2,1,2,0,0,notes for the designers\n"
                                 "PadlockWiggle,Wiggle,X,Linear,0.4,28,8,0,0\n"
                                 "NewBuff,Heartbeat,XY,Linear,1,2,0,0,0.5\n";

constexpr float kFrame = 1.0f / 20; // seconds per test frame

} // namespace

class Twitches : public DataFolderTest
{
protected:
    void SetUp() override
    {
        DataFolderTest::SetUp();
        WriteSystemFile("twitch.csv", kTestPresets);
        InitTwitchSystem();
        InitObjectPool();
        gPaused = false;
        savedFrameSeconds = gFrameSeconds;
        gFrameSeconds = kFrame;
    }
    void TearDown() override
    {
        DisposeAllObjects();
        gFrameSeconds = savedFrameSeconds;
        DataFolderTest::TearDown();
    }

    static ObjNode* MakePuppet(float x = 100, float scale = 0.5f)
    {
        ObjectDefinition def = {};
        def.genre = CUSTOM_DRAW_GENRE;
        def.slot = 6000;
        def.scale = scale;
        def.position = {x, 50, 0};
        ObjNode* puppet = MakeNewObject(&def);
        puppet->Tint = {1, 1, 1, 1};
        RebuildNodeTransform(puppet);
        return puppet;
    }

    static void RunFrames(int frames)
    {
        for (int i = 0; i < frames; i++)
            MoveObjects();
    }

    // What the puppet shows: the transform's X scale and X translation.
    static float ShownScaleX(const ObjNode* puppet) { return puppet->Transform.value[0]; }
    static float ShownX(const ObjNode* puppet) { return puppet->Transform.value[12]; }

    float savedFrameSeconds = 0;
};

TEST_F(Twitches, DelayHoldsTheStartStateThenTheTwitchEndsAfterDelayPlusDuration)
{
    ObjNode* puppet = MakePuppet(100, 0.5f);
    ASSERT_NE(MakeTwitch(puppet, kTwitchPreset_MenuDeselect), nullptr); // displaced by 10 x scale, delay 0.5
    RunFrames(10);                                                      // 0.5 s: still in the start state
    EXPECT_FLOAT_EQ(ShownX(puppet), 105);
    RunFrames(11); // applied at 1.0 s: half way home
    EXPECT_NEAR(ShownX(puppet), 102.5f, 0.01f);
    RunFrames(9); // applied at 1.45 s
    EXPECT_NE(puppet->TwitchDriver, nullptr) << "still running before 1.5 s";
    RunFrames(2);
    EXPECT_EQ(puppet->TwitchDriver, nullptr) << "finished once 1.5 s have passed";
    EXPECT_FLOAT_EQ(ShownX(puppet), 100);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES) << "the record went back to the pool";
}

TEST_F(Twitches, HeartbeatStartsAtAmplitudeAndSettlesWithoutTouchingStoredScale)
{
    ObjNode* puppet = MakePuppet(100, 0.5f);
    MakeTwitch(puppet, kTwitchPreset_MenuSelect);
    RunFrames(1);
    EXPECT_FLOAT_EQ(ShownScaleX(puppet), 0.5f * 1.3f);
    EXPECT_FLOAT_EQ(puppet->Scale.x, 0.5f);
    RunFrames(25);
    EXPECT_FLOAT_EQ(ShownScaleX(puppet), 0.5f);
    EXPECT_FLOAT_EQ(puppet->Scale.x, 0.5f);
    EXPECT_FLOAT_EQ(puppet->Scale.z, 0.5f) << "Z was not among the axes";
}

TEST_F(Twitches, SpinThroughAQuarterTurnKeepsAFifthOfTheWidth)
{
    ObjNode* puppet = MakePuppet(100, 1);
    MakeTwitch(puppet, kTwitchPreset_ArrowheadSpin); // cos(t x pi): a full turn over 2 s
    RunFrames(9);                                    // applied at t = 0.4 s
    EXPECT_NEAR(ShownScaleX(puppet), std::cos(0.4f * 3.14159265f), 1e-4f);
    RunFrames(1); // t = 0.45 s: nearly edge-on
    EXPECT_NEAR(ShownScaleX(puppet), 0.2f, 1e-5f);
    RunFrames(2); // t = 0.55 s: just past, the sign follows the cosine
    EXPECT_NEAR(ShownScaleX(puppet), -0.2f, 1e-5f);
}

TEST_F(Twitches, PositionAndScaleNeverAccumulateOverAThousandFrames)
{
    ObjNode* puppet = MakePuppet(123.5f, 0.75f);
    for (int frame = 0; frame < 1000; frame++) {
        if (frame % 7 == 0)
            MakeTwitch(puppet, kTwitchPreset_MenuWiggle | kTwitchFlags_Chain);
        if (frame % 11 == 0)
            MakeTwitch(puppet, kTwitchPreset_MenuSelect | kTwitchFlags_Chain);
        if (frame % 13 == 0)
            MakeTwitch(puppet, kTwitchPreset_ArrowheadSpin | kTwitchFlags_Chain);
        MoveObjects();
    }
    EXPECT_EQ(puppet->Position.x, 123.5f);
    EXPECT_EQ(puppet->Position.y, 50);
    EXPECT_EQ(puppet->Scale.x, 0.75f);
    EXPECT_EQ(puppet->Scale.y, 0.75f);
    RunFrames(60);
    EXPECT_EQ(puppet->TwitchDriver, nullptr);
    EXPECT_FLOAT_EQ(ShownX(puppet), 123.5f);
    EXPECT_FLOAT_EQ(ShownScaleX(puppet), 0.75f);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES);
}

TEST_F(Twitches, ChainAddsAndAPlainTwitchReplacesTheRunningOnes)
{
    ObjNode* puppet = MakePuppet();
    MakeTwitch(puppet, kTwitchPreset_MenuFadeIn);
    MakeTwitch(puppet, kTwitchPreset_MenuSweep | kTwitchFlags_Chain);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES - 2);
    RunFrames(2);
    EXPECT_LT(ShownX(puppet), 100) << "the sweep runs";
    EXPECT_GT(puppet->Tint.a, 0) << "the fade runs";
    EXPECT_LT(puppet->Tint.a, 1);
    float opacity = puppet->Tint.a;
    MakeTwitch(puppet, kTwitchPreset_MenuFadeIn);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES - 1) << "both earlier twitches were cancelled";
    RunFrames(1);
    EXPECT_FLOAT_EQ(ShownX(puppet), 100) << "the sweep is gone";
    EXPECT_FLOAT_EQ(puppet->Tint.a, 0) << "the new fade starts from nothing";
    RunFrames(20);
    EXPECT_FLOAT_EQ(puppet->Tint.a, opacity) << "an absolute fade rises to the opacity it started from";
}

TEST_F(Twitches, KillPuppetDeletesThePuppetWhenTheFadeEnds)
{
    ObjNode* puppet = MakePuppet();
    MakeTwitch(puppet, kTwitchPreset_MenuFadeOut | kTwitchFlags_KillPuppet);
    RunFrames(5);
    EXPECT_NE(puppet->CType, INVALID_NODE_FLAG);
    EXPECT_LT(puppet->Tint.a, 1);
    RunFrames(7);
    EXPECT_EQ(gLiveNodeCount, 0) << "puppet and driver are both gone";
}

TEST_F(Twitches, FifthChainedTwitchAndTwoHundredFiftySeventhTwitchGetNothing)
{
    ObjNode* puppet = MakePuppet();
    for (int i = 0; i < MAX_TWITCH_CHAIN_LENGTH; i++)
        EXPECT_NE(MakeTwitch(puppet, kTwitchPreset_MenuSelect | kTwitchFlags_Chain), nullptr);
    EXPECT_EQ(MakeTwitch(puppet, kTwitchPreset_MenuSelect | kTwitchFlags_Chain), nullptr);

    for (int i = 1; i < MAX_TWITCHES / MAX_TWITCH_CHAIN_LENGTH; i++) {
        ObjNode* other = MakePuppet();
        for (int j = 0; j < MAX_TWITCH_CHAIN_LENGTH; j++)
            ASSERT_NE(MakeTwitch(other, kTwitchPreset_MenuSelect | kTwitchFlags_Chain), nullptr);
    }
    EXPECT_EQ(CountFreeTwitches(), 0);
    EXPECT_EQ(MakeTwitch(MakePuppet(), kTwitchPreset_MenuSelect), nullptr);
    EXPECT_EQ(MakeTwitch(nullptr, kTwitchPreset_MenuSelect), nullptr);
    RunFrames(1); // a driver left without a twitch goes away by itself
    RunFrames(30);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES);
}

TEST_F(Twitches, HideUntilStartedShowsThePuppetOnlyAfterTheDelay)
{
    ObjNode* puppet = MakePuppet();
    MakeTwitch(puppet, kTwitchPreset_NewBuff | kTwitchFlags_HideUntilStarted);
    RunFrames(3);
    EXPECT_TRUE(puppet->StatusFlags & NODEBIT_INVISIBLE);
    RunFrames(10);
    EXPECT_FALSE(puppet->StatusFlags & NODEBIT_INVISIBLE);
}

TEST_F(Twitches, DeletingThePuppetTakesItsDriverAlong)
{
    ObjNode* puppet = MakePuppet();
    MakeTwitch(puppet, kTwitchPreset_MenuSelect);
    MakeTwitch(puppet, kTwitchPreset_MenuWiggle | kTwitchFlags_Chain);
    DisposeObject(puppet);
    EXPECT_EQ(CountFreeTwitches(), MAX_TWITCHES);
    RunFrames(2); // the pool may reuse the puppet's record: nothing may still point at it
    EXPECT_EQ(gLiveNodeCount, 0);
}

TEST_F(Twitches, IllegalPresetIsFatalAndAnEmptyPresetEndsAfterOneSecond)
{
    ObjNode* puppet = MakePuppet();
    EXPECT_EQ(FatalAlertMessageOf([&] { MakeTwitch(puppet, 33); }), "Not a legal twitch preset");
    DisposeAllObjects();

    puppet = MakePuppet();
    testing::internal::CaptureStdout();
    MakeTwitch(puppet, kTwitch_None);
    RunFrames(22);
    fflush(stdout);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Unknown effect class 0\n"), std::string::npos);
    EXPECT_EQ(puppet->TwitchDriver, nullptr);
}

TEST_F(Twitches, PresetColumnsAreReadAsWritten)
{
    const Twitch* wiggle = GetTwitchPreset(kTwitchPreset_MenuWiggle);
    EXPECT_EQ(wiggle->effectClass, kTwitchClass_Wiggle);
    EXPECT_EQ(wiggle->easing, kEaseLinear);
    EXPECT_FLOAT_EQ(wiggle->frequency, 4 * 3.14159265f);
    EXPECT_FLOAT_EQ(wiggle->phase, 0.5f * 3.14159265f);
    const Twitch* fadeIn = GetTwitchPreset(kTwitchPreset_MenuFadeIn);
    EXPECT_TRUE(fadeIn->axisX && fadeIn->axisY && !fadeIn->axisZ) << "no axis letter means X and Y";
    const Twitch* deselect = GetTwitchPreset(kTwitchPreset_MenuDeselect);
    EXPECT_TRUE(deselect->axisX && !deselect->axisY) << "axis letters in either case";
    EXPECT_FLOAT_EQ(deselect->delay, 0.5f);
    EXPECT_EQ(GetTwitchPreset(kTwitchPreset_ScoreboardFadeIn)->effectClass, 0) << "not in the file: empty";
    EXPECT_EQ(GetTwitchPreset(NUM_TWITCH_PRESETS), nullptr);
}

TEST_F(Twitches, BadPresetFilesAreFatalWithTheirMessage)
{
    auto parse = [](std::string text) {
        return FatalAlertMessageOf([&] { ParseTwitchPresets(text.data(), "twitch.csv"); });
    };
    EXPECT_EQ(parse("MenuSelekt,Heartbeat,XY,Linear,1,1,0,0,0\n"), "Unknown twitch preset name 'MenuSelekt'");
    EXPECT_EQ(parse("menuselect,Heartbeat\n"), "Unknown twitch preset name 'menuselect'");
    EXPECT_EQ(parse("MenuSelect,Heartbeat\n\nMenuWiggle,Wiggle\n"), "Unknown twitch preset name ''");
    EXPECT_EQ(parse("MenuSelect,Heartbeet,XY\n"), "Unknown effect class 'Heartbeet'");
    EXPECT_EQ(parse("MenuSelect,Heartbeat,XY,OutQuart\n"), "Unknown easing type 'OutQuart'");
    EXPECT_EQ(parse("MenuSelect,Heartbeat,XY,Linear,fast\n"),
              "twitch.csv: row 1, column 4: 'fast' is not a number");
    EXPECT_EQ(parse("PRESET\nMenuSelect,Heartbeat,XY,Linear,1,1.2.3\n"),
              "twitch.csv: row 2, column 5: '1.2.3' is not a number");
    EXPECT_EQ(parse("MenuSelect,Heartbeat,XY,Linear,1,1,0,0,inf\n"),
              "twitch.csv: row 1, column 8: 'inf' is not a number");
    EXPECT_NE(parse("MenuSelect,Heartbeat,XY,Linear,-1\n").find("must not be negative"), std::string::npos);
}
