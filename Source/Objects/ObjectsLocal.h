// ObjectsLocal.h: what the object-node files share among themselves. Not for the rest of the game.
#pragma once

#include "Objects/ObjNode.h"

// The node MoveObjects will visit next; unlinking that very node must advance it, or the pass would
// continue into a node that is no longer in the list.
extern ObjNode* gMoveNextNode;

// Links an unlinked node in slot order (after every node of equal slot) and clears NODEBIT_UNLINKED.
void LinkNodeBySlot(ObjNode* node);
// Takes a linked node out of the list, advancing gMoveNextNode past it, and sets NODEBIT_UNLINKED.
void UnlinkNodeFromList(ObjNode* node);
// Called by both, and with null when the list is emptied: the array of world nodes is out of date
// when the node is one of them (WorldNodes.cpp).
void NoteListChangedAt(const ObjNode* node);
// Frees every deleted node held since the last purge and lowers gLiveNodeCount accordingly.
void PurgeDeletedNodes();
// Empties the list of deleted nodes without purging them into the pool (which is being reset): a later
// purge would otherwise free pool entries that new nodes already use.
void ForgetDeletedNodes();
// Gives a purged node's memory back: heap nodes are freed, pool entries marked free.
void FreeNodeMemory(ObjNode* node);
void UpdateGridCell(ObjNode* node); // GridCell from Position

// Steps owned by subsystems built elsewhere (ObjectHooks.cpp).
void AdvanceNodeAnimation(ObjNode* node);     // before the move routine, for nodes with a Skeleton
void SkinNodeGeometry(ObjNode* node);         // after the move routine, for nodes still holding a Skeleton
void FreeNodeSkeleton(ObjNode* node);         // releases the SkeletonInstance of a skeleton node
void ReleaseNodeSparkle(int16_t sparkle);     // deletes one sparkle the node owned
void ReleaseNodeContrail(int16_t contrail);   // the contrail lets go of the node's index
void StopNodeLoopSound(ObjNode* node);        // stops the node's looping effect in LoopChannel
void ReleaseTerrainItem(ObjNode* node);       // lets the node's map item be created again later
void RemoveNodeFromSplineList(ObjNode* node); // takes a spline-driven node off the spline object list

// Genre drawers, called by DrawObjectList when the node has no DrawProc (ObjectGenreDraw.cpp).
void DrawSkeletonNode(ObjNode* node);
void DrawDisplayGroupNode(ObjNode* node);
void DrawSpriteNode(ObjNode* node);
void DrawTextMeshNode(ObjNode* node);
void DrawQuadMeshNode(ObjNode* node);
