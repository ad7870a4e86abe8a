// The game sound over the real Sound Manager and a mixer the test drives: channel rotation,
// positional volumes, looping effects owned by nodes, songs and the volume settings.

#include "GameSoundTestSupport.h"

#include "Objects/ObjNode.h"

using Tarnet::Sound::GetChannelVoice;

namespace {

const Point3D kOrigin = {0, 0, 0};

int32_t LeftAt(int16_t effect, Point3D where, float adjust = 1.0f)
{
    int32_t left, right;
    CalcPositionalVolumes(effect, &where, adjust, &left, &right);
    return left;
}

int32_t RightAt(int16_t effect, Point3D where, float adjust = 1.0f)
{
    int32_t left, right;
    CalcPositionalVolumes(effect, &where, adjust, &left, &right);
    return right;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Banks and the effect table
// ---------------------------------------------------------------------------------------------------------

TEST_F(GameSoundTest, EveryEffectOfBothBanksLoadsAndPlays)
{
    ASSERT_EQ(gEffectChannelCount, MAX_EFFECT_CHANNELS);
    LoadSoundBank(SOUND_BANK_NARRATION);
    for (int16_t effect = 1; effect < NUM_EFFECTS; effect++) {
        SilenceAllEffects();
        int16_t channel = PlayEffectCentered(effect);
        ASSERT_GE(channel, 0) << kEffectTable[effect].name;
        EXPECT_TRUE(IsEffectChannelBusy(channel)) << kEffectTable[effect].name;
        EXPECT_EQ(gEffectChannelInfo[channel].effectNum, effect);
    }
}

TEST_F(GameSoundTest, UnloadedNarrationIsRefusedAndTheMainBankStays)
{
    LoadSoundBank(SOUND_BANK_NARRATION);
    UnloadSoundBank(SOUND_BANK_NARRATION);
    std::string message = FatalAlertMessageOf([] { PlayEffectCentered(EFFECT_STORY1); });
    EXPECT_TRUE(EndsWith(message, ": sound effect wasn't loaded!")) << message;
    EXPECT_GE(PlayEffectCentered(EFFECT_BADSELECT), 0);
}

TEST_F(GameSoundTest, EffectNumbersOutsideTheTableAreFatal)
{
    EXPECT_TRUE(EndsWith(FatalAlertMessageOf([] { PlayEffectCentered(-1); }), ": effectNum >= 0"));
    EXPECT_TRUE(
        EndsWith(FatalAlertMessageOf([] { PlayEffectCentered(45); }), ": sound effect wasn't loaded!"));
    EXPECT_TRUE(EndsWith(FatalAlertMessageOf([] { PlayEffectCentered(70); }), ": effectNum < MAX_EFFECTS"));
    EXPECT_EQ(FatalAlertMessageOf([] { PlayEffectAt(70, &kOrigin); }), "Illegal sound number 70!");
    // Past the table but below 70: refused by the loaded check, not read past the table first.
    Point3D near = {0, 0, -100};
    EXPECT_TRUE(
        EndsWith(FatalAlertMessageOf([&] { PlayEffectAt(60, &near); }), ": sound effect wasn't loaded!"));
}

// Menus, effects and items run in tools and tests that never start the sound: they must stay silent
// rather than stop on the unloaded-effect check.
TEST(GameSoundNotStarted, EffectsAreDroppedWithoutAnAlert)
{
    ASSERT_EQ(gEffectChannelCount, 0);
    EXPECT_EQ(FatalAlertMessageOf([] { EXPECT_EQ(PlayEffectCentered(EFFECT_SPLASH), -1); }), "");
    EXPECT_EQ(FatalAlertMessageOf([] { EXPECT_EQ(PlayEffectAt(EFFECT_SPLASH, &kOrigin), -1); }), "");
}

TEST_F(GameSoundTest, MissingAiffFallsBackToMp3AndMissingBothIsFatal)
{
    const std::filesystem::path main = folder.Path() / "Data" / "Audio" / "Main";
    std::filesystem::remove(main / "DIRT.aiff");
    WriteFileBytes(main / "DIRT.mp3", EncodeMP3(TestTone(1, 44100, 30000, false), 64));
    LoadSoundBank(SOUND_BANK_MAIN);
    EXPECT_GE(PlayEffectCentered(EFFECT_DIRT), 0);

    std::filesystem::remove(main / "DIRT.mp3");
    EXPECT_TRUE(EndsWith(FatalAlertMessageOf([] { LoadSoundBank(SOUND_BANK_MAIN); }), ": !iErr"));
}

TEST_F(GameSoundTest, DamagedEffectFileIsAFatalAlertNamingIt)
{
    const std::filesystem::path main = folder.Path() / "Data" / "Audio" / "Main";
    WriteFileBytes(main / "SPLASH.aiff", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I'});
    std::string message = FatalAlertMessageOf([] { LoadSoundBank(SOUND_BANK_MAIN); });
    EXPECT_NE(message.find("SPLASH.aiff"), std::string::npos) << message;
}

// ---------------------------------------------------------------------------------------------------------
// Channel rotation
// ---------------------------------------------------------------------------------------------------------

TEST_F(GameSoundTest, ChannelsAreTakenInRotationNotLowestFirst)
{
    EXPECT_EQ(PlayEffectCentered(EFFECT_SPLASH), 0);
    EXPECT_EQ(PlayEffectCentered(EFFECT_SPLASH), 1);
    int16_t first = 0;
    StopEffectChannel(&first);
    EXPECT_EQ(first, -1);
    // Channel 0 is free again, but the scan starts after the channel used last.
    EXPECT_EQ(PlayEffectCentered(EFFECT_SPLASH), 2);
}

TEST_F(GameSoundTest, FullPoolDropsTheEffectAndTheScanResumesAfterTheLastChannel)
{
    for (int i = 0; i < MAX_EFFECT_CHANNELS; i++)
        ASSERT_EQ(PlayEffectCentered(EFFECT_SPLASH), i);
    EXPECT_EQ(PlayEffectCentered(EFFECT_GETPOW), -1);
    EXPECT_EQ(gLastEffectChannel, MAX_EFFECT_CHANNELS - 1);

    int16_t seven = 7, two = 2;
    StopEffectChannel(&seven);
    StopEffectChannel(&two);
    EXPECT_EQ(PlayEffectCentered(EFFECT_GETPOW), 2); // wraps round from the end
    EXPECT_EQ(PlayEffectCentered(EFFECT_GETPOW), 7);
    EXPECT_EQ(PlayEffectCentered(EFFECT_GETPOW), -1);
}

TEST_F(GameSoundTest, FinishedEffectFreesItsChannelButALoopKeepsIt)
{
    int16_t shot = PlayEffectCentered(EFFECT_STUNGUN);
    int16_t hum = PlayEffectCentered(EFFECT_JETPACKHUM);
    Mix(4 * kTestEffectFrames); // twice the length of either sound at the output rate
    EXPECT_FALSE(IsEffectChannelBusy(shot));
    EXPECT_TRUE(IsEffectChannelBusy(hum));
}

// ---------------------------------------------------------------------------------------------------------
// Positional volumes (listener at the origin looking along -z)
// ---------------------------------------------------------------------------------------------------------

TEST_F(GameSoundTest, VolumeFallsWithDistanceAndStopsBelowAudibility)
{
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -700}), 256);  // full up to 700
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -350}), 256);  // never louder than full
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -1400}), 128); // half at twice the distance
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {0, 0, -1400}), 128);
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -29000}), 6);       // 700 / 29000 * 256 = 6.18
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -30000}), 0);       // 5.97 truncates to 5: silent
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, -700}, 0.5f), 128); // volume adjust
    // At the ear itself: full level (no division by zero), all of it on one side.
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, kOrigin) + RightAt(EFFECT_SPLASH, kOrigin), 512);
}

TEST_F(GameSoundTest, ReferenceVolumeStretchesOrShrinksTheReach)
{
    EXPECT_EQ(LeftAt(EFFECT_MINEEXPLODE, {0, 0, -2100}), 256); // 3.0: full out to 2100
    EXPECT_EQ(LeftAt(EFFECT_MINEEXPLODE, {0, 0, -4200}), 128);
    EXPECT_EQ(LeftAt(EFFECT_MENUSELECT, {0, 0, -700}), 38); // 0.15 x 256 = 38.4
}

TEST_F(GameSoundTest, BalanceFollowsTheSideOfTheListener)
{
    // Fully to the right: twice the level on the right, nothing on the left; and the mirror image.
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {700, 0, 0}), 0);
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {700, 0, 0}), 512);
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {-700, 0, 0}), 512);
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {-700, 0, 0}), 0);
    // Behind sounds like in front: both sides equal.
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {0, 0, 1400}), 128);
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {0, 0, 1400}), 128);
    // Ahead and to the right at 45 degrees, distance 1400: g = 128, m = 1 - cos 45 = 0.2929.
    EXPECT_NEAR(LeftAt(EFFECT_SPLASH, {989.95f, 0, -989.95f}), 90, 1);
    EXPECT_NEAR(RightAt(EFFECT_SPLASH, {989.95f, 0, -989.95f}), 165, 1);
}

TEST_F(GameSoundTest, SplitScreenUsesTheNearerListener)
{
    gNumPanes = 2;
    gListeners[1] = {{10000, 0, 0}, {1, 0, 0}}; // far off, looking along +x
    // Nearer listener 1, the sound on its right (+z when looking along +x).
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {10000, 0, 700}), 0);
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {10000, 0, 700}), 512);
    gNumPanes = 1; // one pane: listener 1 is ignored however near; listener 0 hears it faintly
    EXPECT_EQ(LeftAt(EFFECT_SPLASH, {10000, 0, 700}), 1);
    EXPECT_EQ(RightAt(EFFECT_SPLASH, {10000, 0, 700}), 32);
}

TEST_F(GameSoundTest, ListenersSitAheadOfEachPaneCamera)
{
    GameViewInfo view = {};
    view.cameras[0].eye = {100, 50, 1000};
    view.cameras[0].target = {100, 50, 0};
    view.cameras[1].eye = {0, 0, 0};
    view.cameras[1].target = {0, 0, 0}; // no direction at all
    GameViewInfo* saved = gGameViewInfoPtr;
    gGameViewInfoPtr = &view;
    gNumPanes = 2;
    PlaceListeners();
    gGameViewInfoPtr = saved;
    EXPECT_FLOAT_EQ(gListeners[0].ear.z, 700);
    EXPECT_FLOAT_EQ(gListeners[0].ear.x, 100);
    EXPECT_FLOAT_EQ(gListeners[0].facing.z, -1);
    EXPECT_FLOAT_EQ(gListeners[1].ear.x, 0);
    EXPECT_FLOAT_EQ(gListeners[1].facing.x, 0);
    EXPECT_FLOAT_EQ(gListeners[1].facing.z, 0);
}

TEST_F(GameSoundTest, PositionalPlayReachesTheChannelAndSilentOnesTakeNone)
{
    Point3D right = {700, 0, 0};
    int16_t channel = PlayEffectAt(EFFECT_SPLASH, &right);
    ASSERT_GE(channel, 0);
    EXPECT_DOUBLE_EQ(Parameters(channel).pan, 1.0);
    EXPECT_DOUBLE_EQ(Parameters(channel).volume, 2.0);

    Point3D far = {0, 0, -50000};
    EXPECT_EQ(PlayEffectAt(EFFECT_SPLASH, &far), -1);
    EXPECT_EQ(PlayEffectCentered(EFFECT_SPLASH), channel + 1); // nothing was taken
}

// ---------------------------------------------------------------------------------------------------------
// Looping effects owned by nodes
// ---------------------------------------------------------------------------------------------------------

TEST_F(GameSoundTest, LoopFollowsItsNodeAndStopsWhenTheNodeIsDeleted)
{
    InitObjectPool();
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    ASSERT_EQ(node->LoopChannel, -1);

    Point3D ahead = {0, 0, -700};
    node->LoopChannel = PlayEffectAtRate(EFFECT_JETPACKHUM, &ahead, kNormalRate, 1.0f);
    const int16_t channel = node->LoopChannel;
    ASSERT_GE(channel, 0);
    EXPECT_DOUBLE_EQ(Parameters(channel).pan, 0.0);

    // The node moves to the listener's left; the loop goes with it and keeps playing past its length.
    Point3D left = {-700, 0, 0};
    Mix(4 * kTestEffectFrames);
    EXPECT_FALSE(FollowEffectChannel(EFFECT_JETPACKHUM, &node->LoopChannel, &left));
    EXPECT_DOUBLE_EQ(Parameters(channel).pan, -1.0);
    EXPECT_TRUE(IsEffectChannelBusy(channel));

    DisposeObject(node);
    EXPECT_EQ(node->LoopChannel, -1);
    EXPECT_FALSE(IsEffectChannelBusy(channel));
    EXPECT_EQ(gEffectChannelInfo[channel].effectNum, -1);
    DisposeAllObjects();
}

TEST_F(GameSoundTest, FollowerOfATakenOverChannelLetsGo)
{
    int16_t mine = PlayEffectCentered(EFFECT_JETPACKHUM);
    int16_t copy = mine;
    StopEffectChannel(&copy);
    // Channels rotate: fill round until this channel is given to another effect.
    for (int i = 0; i < MAX_EFFECT_CHANNELS; i++)
        PlayEffectCentered(EFFECT_SPLASH);
    ASSERT_EQ(gEffectChannelInfo[mine].effectNum, EFFECT_SPLASH);
    EXPECT_TRUE(FollowEffectChannel(EFFECT_JETPACKHUM, &mine, &kOrigin));
    EXPECT_EQ(mine, -1);
    // Stopping "if playing" leaves the new owner alone.
    int16_t other = 0;
    EXPECT_FALSE(StopEffectChannelIfPlaying(&other, EFFECT_JETPACKHUM));
}

TEST_F(GameSoundTest, LoopOutOfHearingGivesItsChannelBack)
{
    Point3D near = {0, 0, -700}, far = {0, 0, -100000};
    int16_t channel = PlayEffectAt(EFFECT_MISSILEENGINE, &near);
    const int16_t index = channel;
    EXPECT_FALSE(FollowEffectChannel(EFFECT_MISSILEENGINE, &channel, &far));
    EXPECT_EQ(channel, -1);
    EXPECT_FALSE(IsEffectChannelBusy(index));
    EXPECT_EQ(gEffectChannelInfo[index].effectNum, -1);
}

// ---------------------------------------------------------------------------------------------------------
// Songs and volumes
// ---------------------------------------------------------------------------------------------------------

TEST_F(GameSoundTest, HalfVolumeSettingsScaleEffectsAndTheSongTable)
{
    gPrefs.effectsVolume = 50;
    gPrefs.musicVolume = 50;
    ApplyVolumeSettings();
    int16_t channel = PlayEffectCentered(EFFECT_SPLASH);
    EXPECT_DOUBLE_EQ(Parameters(channel).volume, 128.0 / 256);
    EXPECT_DOUBLE_EQ(Parameters(channel).pan, 0);

    PlaySong(SONG_LEVEL1, true); // song volume 1.1: 1.1 x 256 x 0.5 = 140.8
    EXPECT_DOUBLE_EQ(Tarnet::Sound::GetChannelParameters(gMusicChannel).volume, 140.0 / 256);
}

TEST_F(GameSoundTest, FadeScalesPlayingEffectsAndTheSong)
{
    int16_t channel = PlayEffectCentered(EFFECT_SPLASH);
    PlaySong(SONG_THEME, true);
    SetSoundMasterScale(0.25f);
    EXPECT_DOUBLE_EQ(Parameters(channel).volume, 64.0 / 256);
    EXPECT_DOUBLE_EQ(Tarnet::Sound::GetChannelParameters(gMusicChannel).volume, 64.0 / 256);
    SetSoundMasterScale(1.0f);
    EXPECT_DOUBLE_EQ(Parameters(channel).volume, 1.0);
}

TEST_F(GameSoundTest, SameSongAgainNeitherRestartsNorChangesItsLoop)
{
    PlaySong(SONG_INTRO, true);
    cmixer::WavStream* voice = GetChannelVoice(gMusicChannel);
    Mix(4096);
    const double position = voice->GetPosition();
    ASSERT_GT(position, 0);
    PlaySong(SONG_INTRO, false);
    EXPECT_DOUBLE_EQ(voice->GetPosition(), position);
    EXPECT_TRUE(voice->IsLooping());

    PlaySong(SONG_WIN, false); // another song starts from its beginning, once
    EXPECT_EQ(gCurrentSong, SONG_WIN);
    EXPECT_FALSE(voice->IsLooping());
    StopSong();
    EXPECT_EQ(gCurrentSong, -1);
    EXPECT_EQ(voice->GetState(), cmixer::kStopped);
}

TEST_F(GameSoundTest, MissingSongIsFatal)
{
    std::filesystem::remove(folder.Path() / "Data" / "Audio" / "winsong.mp3");
    EXPECT_TRUE(EndsWith(FatalAlertMessageOf([] { PlaySong(SONG_WIN, false); }), ": !iErr"));
}

TEST_F(GameSoundTest, PauseHoldsEveryChannelAndResumeContinues)
{
    int16_t channel = PlayEffectCentered(EFFECT_JETPACKHUM);
    PlaySong(SONG_THEME, true);
    PauseAllSound(true);
    EXPECT_EQ(GetChannelVoice(gEffectChannels[channel])->GetState(), cmixer::kPaused);
    EXPECT_EQ(GetChannelVoice(gMusicChannel)->GetState(), cmixer::kPaused);
    // A paused channel still counts as busy: nothing new may take it.
    EXPECT_TRUE(IsEffectChannelBusy(channel));
    PauseAllSound(false);
    EXPECT_EQ(GetChannelVoice(gEffectChannels[channel])->GetState(), cmixer::kPlaying);
    EXPECT_EQ(GetChannelVoice(gMusicChannel)->GetState(), cmixer::kPlaying);
}
