// Shadows.h: object shadows. A shadow is a flat node under its owner, drawn with a sprite of the global
// sprite group; it follows the owner whenever the owner commits a move (MoveShadowNode, ObjNode.h).
#pragma once

struct ObjNode;

// A shadow (sprite `kind` of the global sprite group, base size scaleX by scaleZ) on the ground under
// owner, kept as owner->Shadow. With checkBlockers it also rests on boxes of shadow-surface objects.
ObjNode* MakeShadowNode(ObjNode* owner, int kind, float scaleX, float scaleZ, bool checkBlockers);
