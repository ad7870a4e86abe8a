// QuadMesh.h: object nodes whose geometry is a growable mesh of textured quads. The node's BaseGroup holds
// its transform and, second, one vertex-array geometry with one material; quad q uses points 4q..4q+3 and
// the triangles (4q, 4q+1, 4q+2) and (4q+2, 4q+3, 4q).
#pragma once

#include "3D/MetaObjects.h"

struct ObjNode;
struct ObjectDefinition;

// A node (QUADMESH_GENRE unless def->genre is set) with room for `capacity` quads drawn with material
// (a reference is taken), or with a plain white material when material is null.
ObjNode* MakeQuadMesh(ObjectDefinition* def, int capacity, MetaObject* material);
// The node's quad mesh; the node must be a text or quad mesh.
VertexArrayGeometry* GetQuadMeshWithin(ObjNode* node);
// Frees the mesh's arrays and makes room for exactly `quads` quads with the fixed triangles; counts 0.
void SetQuadMeshCapacity(VertexArrayGeometry* mesh, int quads);
