// The skeleton files of a data folder, read by the game's own loader and checked against what the game's
// code asks of each creature: joint and animation counts, the animations gameplay waits to finish (a stop
// event), events the game can apply, keyframes in tick order for every joint. Every creature is then made,
// played through each animation and freed, as a level would. No OpenGL: textures are decoded, not uploaded.
#include "DataForge/Check.h"

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Memory.h"
#include "Tarnet/Files/Files.h"
#include "Tarnet/Tarnet.h"

#include <string>
#include <vector>

namespace {

struct SkeletonRule
{
    int minJoints;
    int minAnims;
    std::vector<int> stopAnims;   // gameplay waits for these to finish
    std::vector<int> namedJoints; // joints the code asks for by number
};

const SkeletonRule kSkeletonRules[MAX_SKELETON_TYPES] = {
    {28, 14, {10}, {16, 21, 23, 27}}, // the player: wing tips, head, egg claw
    {2, 2, {}, {0, 1}},               // wormhole: mouth and the way in
    {23, 9, {2}, {3, 22}},            // raptor: the pounce segment
    {1, 1, {}, {}},                   // bonus worm
    {1, 5, {3, 4}, {}},               // brach: the idle one-shots
    {1, 2, {}, {}},                   // swamp worm
    {32, 5, {2}, {3, 31}},            // ramphor: the attack segment
};

void QuietPresenter(const char*, bool) {}

void CheckDefinition(const SkeletonInfoType* info, const SkeletonRule& rule, const std::string& file,
                     DataCheckReport* report)
{
    if (info->numJoints < rule.minJoints)
        report->Add(file, std::to_string(info->numJoints) + " joints, the game needs " +
                              std::to_string(rule.minJoints));
    if (info->animCount < rule.minAnims)
        report->Add(file, std::to_string(info->animCount) + " animations, the game needs " +
                              std::to_string(rule.minAnims));
    for (int a : rule.stopAnims) {
        bool stops = false;
        for (int e = 0; a < info->animCount && e < info->eventCount[a]; e++)
            stops |= info->events[a][e].type == ANIMEVENT_TYPE_STOP;
        if (!stops)
            report->Add(file, "animation " + std::to_string(a) +
                                  " needs a stop event: gameplay waits for it to end");
    }
    for (int a = 0; a < info->animCount; a++) {
        std::string anim = "animation " + std::to_string(a);
        for (int e = 0; e < info->eventCount[a]; e++) {
            const AnimEventRecord& event = info->events[a][e];
            bool known = event.type <= ANIMEVENT_TYPE_PAUSE;
            if (!known)
                report->Add(file, anim + " event " + std::to_string(e) + " has unknown type " +
                                      std::to_string(event.type));
            if ((event.type == ANIMEVENT_TYPE_SETFLAG || event.type == ANIMEVENT_TYPE_CLEARFLAG) &&
                event.value >= MAX_FLAGS_IN_OBJNODE)
                report->Add(file, anim + " event " + std::to_string(e) + " names flag " +
                                      std::to_string(event.value));
            if (e > 0 && event.time < info->events[a][e - 1].time)
                report->Add(file, anim + " events are not in time order");
        }
        for (int j = 0; j < info->numJoints; j++) {
            int count = info->keyframeCount[j][a];
            if (count == 0)
                report->Add(file, anim + " has no keyframe for joint " + std::to_string(j) +
                                      ": the pose would stop there");
            for (int k = 1; k < count; k++)
                if (info->keyframes[j][a][k].tick <= info->keyframes[j][a][k - 1].tick)
                    report->Add(file, anim + " joint " + std::to_string(j) + " keyframe ticks do not rise");
        }
    }
}

// Makes the creature and plays every animation for three seconds in 30 frames a second.
void PlayEveryAnimation(int type, const SkeletonRule& rule)
{
    ObjectDefinition def = {};
    def.artIndex = uint8_t(type);
    def.slot = 100;
    def.scale = 1;
    gFrameSeconds = 1.0f / 30;
    ObjNode* node = MakeNewSkeletonBaseData(&def);
    for (int a = 0; a < node->Skeleton->info->animCount; a++) {
        SetSkeletonAnim(node->Skeleton, a);
        for (int frame = 0; frame < 90; frame++) {
            AdvanceSkeletonAnimation(node);
            UpdateSkinnedGeometry(node);
        }
    }
    for (int j : rule.namedJoints) {
        Point3D p;
        FindJointPosition(node, j, &p);
    }
    DisposeObject(node);
    DisposeAllObjects();
}

} // namespace

void CheckSkeletons(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    Tarnet::Startup();
    SetAlertPresenter(QuietPresenter);
    gDataFolderSpec = Tarnet::HostPathToFSSpec(dataFolder / "Skeletons");
    gSkeletonTexturesUploaded = false;
    InitSkeletonManager();
    InitObjectPool();
    TQ3D_InitContainers();
    GameViewInfo standIn = {};
    gGameViewInfoPtr = &standIn;
    OGL_InitVertexArrayMemory();
    int32_t blocksBefore = gLiveBlockCount;

    for (int type = 0; type < MAX_SKELETON_TYPES; type++) {
        std::string name = kSkeletonFileNames[type];
        std::string file = "Skeletons/" + name.substr(name.rfind(':') + 1);
        try {
            LoadASkeleton(type);
            CheckDefinition(gLoadedSkeletons[type], kSkeletonRules[type], file, report);
            PlayEveryAnimation(type, kSkeletonRules[type]);
        } catch (const FatalAlertError& error) {
            report->Add(file, error.what());
        }
        DisposeAllObjects();
        FreeAllSkeletonFiles(-1);
        TQ3D_DisposeAllContainers();
    }

    if (gLiveBlockCount != blocksBefore)
        report->Add("Skeletons", "loading, playing and freeing the creatures left " +
                                     std::to_string(gLiveBlockCount - blocksBefore) + " blocks behind");
    OGL_DisposeVertexArrayMemory();
    if (gVertexArrayBytesForgotten != 0)
        report->Add("Skeletons",
                    "creatures left " + std::to_string(gVertexArrayBytesForgotten) + " bytes of skin behind");
    gGameViewInfoPtr = nullptr;
    gSkeletonTexturesUploaded = true;
    SetAlertPresenter(nullptr);
}
