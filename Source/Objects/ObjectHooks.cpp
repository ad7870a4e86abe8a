// ObjectHooks.cpp: the steps of the object engine that belong to other subsystems. Each routine is called
// at its place in the move pass or deletion; its owner fills the body in.
#include "Objects/ObjectsLocal.h"
#include "Skeleton/Skeleton.h"
#include "Terrain/SplineObjects.h"

// Skeletal animation: advances the pose of node->Skeleton by one frame.
void AdvanceNodeAnimation(ObjNode* node)
{
    AdvanceSkeletonAnimation(node);
}

// Skeletal animation: skins node->Skeleton's meshes and derives ModelBounds from them.
void SkinNodeGeometry(ObjNode* node)
{
    UpdateSkinnedGeometry(node);
}

// Skeletal animation: releases node->Skeleton; DisposeObject clears the field afterwards.
void FreeNodeSkeleton(ObjNode* node)
{
    FreeSkeletonInstance(node->Skeleton, node->ArtIndex);
}

// Particles and effects live above the engine; they register how a deleted node lets go of them.
static void (*gReleaseSparkleProc)(int16_t) = nullptr;
static void (*gReleaseContrailProc)(int16_t) = nullptr;

void SetNodeEffectReleaseProcs(void (*releaseSparkle)(int16_t), void (*releaseContrail)(int16_t))
{
    gReleaseSparkleProc = releaseSparkle;
    gReleaseContrailProc = releaseContrail;
}

// Particles and effects: deletes one sparkle.
void ReleaseNodeSparkle(int16_t sparkle)
{
    if (gReleaseSparkleProc)
        gReleaseSparkleProc(sparkle);
}

// Particles and effects: the contrail stops writing to the node's index, which is about to be freed.
void ReleaseNodeContrail(int16_t contrail)
{
    if (gReleaseContrailProc)
        gReleaseContrailProc(contrail);
}

// Game sound: stops the looping effect in node->LoopChannel, through the routine the sound system
// registered at start-up (the engine does not call up into the game).
static void (*gNodeLoopSoundStopper)(ObjNode* node) = nullptr;

void SetNodeLoopSoundStopper(void (*stopper)(ObjNode* node))
{
    gNodeLoopSoundStopper = stopper;
}

void StopNodeLoopSound(ObjNode* node)
{
    if (gNodeLoopSoundStopper && node->LoopChannel >= 0)
        gNodeLoopSoundStopper(node);
}

// Terrain items: clears the added bit of node->TerrainItem so the item can be made again in range.
void ReleaseTerrainItem(ObjNode* node)
{
    node->TerrainItem->flags &= uint16_t(~ITEM_FLAG_ADDED);
}

// Spline items: takes the node off the spline object list.
void RemoveNodeFromSplineList(ObjNode* node)
{
    RemoveFromSplineList(node);
}
