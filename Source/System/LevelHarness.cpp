#include "System/LevelHarness.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Boot.h"
#include "System/GameShell.h"
#include "System/Level.h"
#include "System/Prefs.h"

void HarnessPrepareGame()
{
    FindDataFolder();
    InitGameSubsystems();
    LoadSharedArt();
}

void HarnessFinishGame()
{
    DisposeAllObjects();
    TQ3D_DisposeAllContainers();
    DisposeAllSpriteGroups();
    DisposeAllAtlases();
}

void HarnessStartLevel(int levelIndex, int16_t playMode, int numPanes, int splitScreenMode)
{
    gLevelIndex = levelIndex;
    gPlayMode = playMode;
    gNumPanes = numPanes;
    gPrefs.splitScreenMode = uint8_t(splitScreenMode);
    InitPlayerRecords(false); // as a new game: the mode's lives, health and weapons
    StartLevel();
    BeginLevelPlay();
}

int HarnessPlayFrames(int frames, void (*beforeFrame)(int frame), void (*afterFrame)(int frame))
{
    for (int frame = 0; frame < frames; frame++) {
        if (beforeFrame)
            beforeFrame(frame);
        bool goesOn = PlayLevelFrame();
        if (afterFrame)
            afterFrame(frame);
        if (!goesOn)
            return frame + 1;
    }
    return frames;
}

void HarnessParkPlayers()
{
    for (int player = 0; player < MAX_PLAYERS; player++)
        for (ObjNode* part = gPlayers[player].objNode; part; part = part->ChainNext)
            part->StatusFlags |= NODEBIT_INVISIBLE | NODEBIT_FROZEN;
}

void HarnessSkipArrival()
{
    ObjNode* node = gPlayers[0].objNode;
    if (gPlayMode != kPlayMode_Adventure || !node || !node->Skeleton)
        return;
    SetSkeletonAnim(node->Skeleton, PLAYER_ANIM_FLY);
    ChangePlayerOpacity(0, 1.0f);
}

void HarnessEndLevel()
{
    FinishLevelPlay();
    EndLevel();
}
