// SkeletonLocal.h: what the skeleton sources share among themselves. Not for the rest of the game.
#pragma once

#include "Skeleton/Skeleton.h"

// The file being loaded, for messages; null when none is.
extern const char* gSkeletonFileName;

// A fatal alert with the formatted message, followed by the name of the skeleton file being loaded.
[[noreturn]] void SkeletonFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Splits the reference model's meshes under root into info's meshes, skin points and skin normals.
void DecomposeReferenceModel(SkeletonInfoType* info, MetaObject* root);
// Checks the parent links (in range, joint 0 the root, no cycles) and fills the child lists.
void CreateSkeletonFromBones(SkeletonInfoType* info);
// A joint's matrix relative to its parent from a pose.
void BuildJointMatrix(const KeyframeRecord* pose, Matrix4x4* out);
