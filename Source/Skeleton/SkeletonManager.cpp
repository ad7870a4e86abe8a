// SkeletonManager.cpp: the table of loaded skeleton types, and the easing curve every animation uses.
#include "Skeleton/SkeletonLocal.h"

#include "System/Alerts.h"

#include <cstring>

const char* const kSkeletonFileNames[MAX_SKELETON_TYPES] = {
    ":Skeletons:quor.skeleton",      ":Skeletons:wormhole.skeleton", ":Skeletons:raptor.skeleton",
    ":Skeletons:bonusworm.skeleton", ":Skeletons:brach.skeleton",    ":Skeletons:worm.skeleton",
    ":Skeletons:ramphor.skeleton",
};

SkeletonInfoType* gLoadedSkeletons[MAX_SKELETON_TYPES];
int32_t gSkeletonMeshCount[MAX_SKELETON_TYPES];
SkeletonInfoType* gCurrentSkeleton = nullptr;
float gAccelerationCurve[ACCELERATION_CURVE_SIZE];

void InitSkeletonManager()
{
    // Smoothstep: slow out of 0, fast through the middle, slow into 1.
    for (int i = 0; i < ACCELERATION_CURVE_SIZE; i++) {
        float b = float(i) / float(ACCELERATION_CURVE_SIZE);
        gAccelerationCurve[i] = b * b * (3.0f - 2.0f * b);
    }
    memset(gLoadedSkeletons, 0, sizeof(gLoadedSkeletons));
    memset(gSkeletonMeshCount, 0, sizeof(gSkeletonMeshCount));
    gCurrentSkeleton = nullptr;
}

int LoadASkeleton(int type)
{
    if (type < 0 || type >= MAX_SKELETON_TYPES)
        ShowFatalAlert("LoadASkeleton: MAX_SKELETON_TYPES exceeded!");
    if (gLoadedSkeletons[type])
        ShowFatalAlert("LoadASkeleton:  skeleton already loaded!");
    gLoadedSkeletons[type] = LoadSkeleton(type);
    gSkeletonMeshCount[type] = gLoadedSkeletons[type]->meshCount;
    return gSkeletonMeshCount[type];
}

void FreeSkeletonFile(int type)
{
    if (type < 0 || type >= MAX_SKELETON_TYPES || !gLoadedSkeletons[type])
        return;
    FreeSkeletonInfo(gLoadedSkeletons[type]);
    gLoadedSkeletons[type] = nullptr;
    gSkeletonMeshCount[type] = 0;
}

void FreeAllSkeletonFiles(int exceptType)
{
    for (int type = 0; type < MAX_SKELETON_TYPES; type++) {
        if (type != exceptType)
            FreeSkeletonFile(type);
    }
}
