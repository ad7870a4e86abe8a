// BaseGroup.h: the render group of a drawable node. Its first member is the node's transform matrix; the
// model geometry appended after it is shared with the model tables.
#pragma once

struct ObjNode;

// Gives node a new empty BaseGroup holding a matrix object of the node's Transform (scale, then
// rotation X-Y-Z, then position; the rotation-order bits are ignored), kept as TransformObject.
// A zero scale component is fatal.
void CreateBaseGroup(ObjNode* node);
