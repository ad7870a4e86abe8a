// MetaObjects.h: the render graph. A MetaObject is a reference-counted node that is a piece of geometry,
// a group of other nodes, a material, a transform matrix, a full-screen picture or a 2D sprite. Model
// files load into trees of them, every drawable object owns a base group of them, and MO_DrawObject turns
// a tree into fixed-function OpenGL calls.
//
// Ownership: whoever creates an object holds one reference; every group that contains it holds one; a
// vertex array holds one on each of its materials, a picture and a sprite on their material. The object
// is destroyed when the last reference is dropped with MO_DisposeObjectReference.
//
// Every misuse (bad cookie, full group, unknown type) is a programming error and ends the program with a
// fatal alert naming the routine.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "System/Memory.h"

struct ObjNode;

// ---------------------------------------------------------------------------------------------------------
// Codes and limits
// ---------------------------------------------------------------------------------------------------------

constexpr uint32_t MO_COOKIE = 0xFEEDFACE;      // a live object
constexpr uint32_t MO_DEAD_COOKIE = 0xDEADBEEF; // written just before the memory is freed

constexpr uint32_t MO_TYPE_GEOMETRY = FourCharCode("geom");
constexpr uint32_t MO_TYPE_GROUP = FourCharCode("grup");
constexpr uint32_t MO_TYPE_MATERIAL = FourCharCode("matl");
constexpr uint32_t MO_TYPE_MATRIX = FourCharCode("mtrx");
constexpr uint32_t MO_TYPE_PICTURE = FourCharCode("pict");
constexpr uint32_t MO_TYPE_SPRITE = FourCharCode("sprt");
constexpr uint32_t MO_GEOMETRY_SUBTYPE_VERTEXARRAY = FourCharCode("vary");

constexpr int MO_MAX_ITEMS_IN_GROUP = 70;
constexpr int MO_MAX_MIPMAPS = 6;
constexpr int MAX_MESHES_IN_MODEL = 10; // world-space meshes captured per object for picking

// Material flags; the low five also come from model files.
enum
{
    MO_MATERIAL_FLAG_TEXTURED = 0x01,     // bind and enable the texture
    MO_MATERIAL_FLAG_ALWAYS_BLEND = 0x02, // blend even when alpha is 1
    MO_MATERIAL_FLAG_CLAMP_U = 0x04,      // clamp-to-edge in S, else repeat
    MO_MATERIAL_FLAG_CLAMP_V = 0x08,      // clamp-to-edge in T, else repeat
    MO_MATERIAL_FLAG_MULTITEXTURE = 0x10, // second, sphere-mapped reflection layer
    MO_MATERIAL_FLAG_CLAMP_U_SET = 0x20,  // bookkeeping: the texture object currently clamps S
    MO_MATERIAL_FLAG_CLAMP_V_SET = 0x40,  // bookkeeping: the texture object currently clamps T
};

// Second-layer combine modes of a multitexture material.
enum
{
    MO_LAYER_COMBINE_MODULATE = 0,
    MO_LAYER_COMBINE_ADD_COLOR = 1,       // add colour, modulate alpha
    MO_LAYER_COMBINE_ADD_COLOR_ALPHA = 2, // add colour, add alpha
};

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

// The header every MetaObject begins with; the type's record follows it in the same allocation.
struct MetaObject
{
    uint32_t cookie;  // MO_COOKIE while alive
    int32_t refCount; // number of owners; 1 at creation
    uint32_t type;    // MO_TYPE_...
    uint64_t subType; // MO_GEOMETRY_SUBTYPE_VERTEXARRAY for geometry, 0 otherwise
    MetaObject* prevNode;
    MetaObject* nextNode; // links in the list of live objects, newest last
};

// An indexed triangle mesh; also embedded by value in skinned and text meshes.
struct VertexArrayGeometry
{
    int16_t varPool;      // vertex-array pool holding the arrays, or -1 for the general heap
    int16_t numMaterials; // 0, 1 or 2 layers; -1 = draw with the material applied just before
    MetaObject* materials[2];
    int32_t numPoints;
    int32_t numTriangles;
    Point3D* points;
    Vector3D* normals;                       // may be null
    float* uvs[2];                           // per layer, numPoints x (u, v); may be null
    float* colors;                           // numPoints x (r, g, b, a); may be null
    uint32_t* triangles;                     // numTriangles x 3 point indices
    BoundingBox bounds;                      // as stored by the model file
    int32_t pointCapacity, triangleCapacity; // growable meshes only, else 0
};

struct MaterialRecord
{
    uint32_t flags;
    float diffuseColor[4];
    uint16_t layerMode;    // multitexture: 0 = sphere-mapped reflection, anything else draws no layer
    uint16_t layerCombine; // MO_LAYER_COMBINE_...
    uint16_t envMapNum;    // reflection image in SPRITE_GROUP_REFLECTIONS
    int32_t numMipmaps;    // texture names held, at most MO_MAX_MIPMAPS
    int32_t width, height; // of mip level 0
    uint32_t textureName[MO_MAX_MIPMAPS]; // only [0] is ever bound
};

struct MetaObjectGroupData
{
    int32_t numObjectsInGroup;
    MetaObject* objects[MO_MAX_ITEMS_IN_GROUP];
};

struct MetaObjectPictureData
{
    MetaObject* material; // the picture's texture
};

// A textured quad in the 640 x 480 overlay space.
struct SpriteRecord
{
    float width, height; // of the sprite image; carried, not used by drawing
    bool centered;
    Point3D position; // created as (-1, 1, 0)
    float scaleX, scaleY;
    float rotation; // radians
    MetaObject* material;
};

// What MO_CreateNewObjectOfType takes to make a sprite.
struct SpriteSetupRecord
{
    bool loadFile; // must be false: sprites come from loaded sprite groups
    int16_t group;
    int16_t type; // index within the group
    bool centered;
};

// One captured world-space mesh of an object, for geometry picking.
struct WorldMeshRecord
{
    VertexArrayGeometry geometry; // points are private world-space copies; other arrays are the model's
    PlaneEquation* planes;        // one per triangle
};

// Typed access to the record that follows the header.
inline VertexArrayGeometry* MO_GetGeometryData(MetaObject* obj)
{
    return reinterpret_cast<VertexArrayGeometry*>(obj + 1);
}
inline MetaObjectGroupData* MO_GetGroupData(MetaObject* obj)
{
    return reinterpret_cast<MetaObjectGroupData*>(obj + 1);
}
inline MaterialRecord* MO_GetMaterialData(MetaObject* obj)
{
    return reinterpret_cast<MaterialRecord*>(obj + 1);
}
inline Matrix4x4* MO_GetMatrixData(MetaObject* obj)
{
    return reinterpret_cast<Matrix4x4*>(obj + 1);
}
inline MetaObjectPictureData* MO_GetPictureData(MetaObject* obj)
{
    return reinterpret_cast<MetaObjectPictureData*>(obj + 1);
}
inline SpriteRecord* MO_GetSpriteData(MetaObject* obj)
{
    return reinterpret_cast<SpriteRecord*>(obj + 1);
}

// ---------------------------------------------------------------------------------------------------------
// Sprite group tables: numbered lists of images, each wrapped in a material. The sprite loader fills
// them; sprites and sphere-mapped reflections look their materials up here.
// ---------------------------------------------------------------------------------------------------------

constexpr int MAX_SPRITE_GROUPS = 9;
enum
{
    SPRITE_GROUP_REFLECTIONS = 1, // sphere maps of reflective materials
    SPRITE_GROUP_INFOBAR = 2,
    SPRITE_GROUP_CURSOR = 3,
    SPRITE_GROUP_PARTICLES = 4,
    SPRITE_GROUP_GLOBAL = 5,
    SPRITE_GROUP_LEVELSPECIFIC = 6, // the level's textures: enemy barrier, fence or dust devil
    SPRITE_GROUP_INFOBAR_MAP = 7,   // the level's mini-map
};

struct SpriteGroupEntry
{
    int32_t width, height;      // pixels of the image
    MetaObject* materialObject; // holds one reference
};

extern SpriteGroupEntry* gSpriteGroupList[MAX_SPRITE_GROUPS];
extern int32_t gNumSpritesInGroupList[MAX_SPRITE_GROUPS];

// ---------------------------------------------------------------------------------------------------------
// Globals
// ---------------------------------------------------------------------------------------------------------

extern MetaObject* gFirstMetaObject; // oldest live object
extern MetaObject* gLastMetaObject;  // newest live object
extern int gNumMetaObjects;          // length of that list

// Draw-time state; the scene draw resets all of it at the start of every frame.
extern MetaObject* gLastAppliedMaterial; // lets a repeated material skip its texture bind
extern uint32_t gMaterialFlagsOverride;  // ORed into every material's flags while drawing
extern float gDrawOpacity;               // 1 = off; else multiplies every material's alpha
extern float gDrawTint[3];               // multiplies every material's colour
extern int32_t gTrianglesDrawn;          // triangles submitted since the frame began

// ---------------------------------------------------------------------------------------------------------
// Creation, references and groups (MetaObjects.cpp)
// ---------------------------------------------------------------------------------------------------------

void MO_InitMetaObjectList(); // empties the list of live objects; once at start-up

// Makes an object with refCount 1. data: geometry a VertexArrayGeometry (arrays adopted, materials gain a
// reference); group nothing; material a MaterialRecord (texture names adopted); matrix a Matrix4x4;
// picture a colon path without extension; sprite a SpriteSetupRecord.
MetaObject* MO_CreateNewObjectOfType(uint32_t type, uint64_t subType, const void* data);

MetaObject* MO_AddReference(MetaObject* obj);    // one more owner; returns obj
void MO_DisposeObjectReference(MetaObject* obj); // one owner fewer; destroys the object at zero

void MO_AppendToGroup(MetaObject* group, MetaObject* obj); // adds at the end; the group takes a reference
void MO_AttachToGroupStart(MetaObject* group,
                           MetaObject* obj); // inserts at index 0; the group takes a reference

// ---------------------------------------------------------------------------------------------------------
// Drawing (MetaObjectDraw.cpp)
// ---------------------------------------------------------------------------------------------------------

void MO_DrawObject(MetaObject* obj);        // draws a tree; groups scope their matrices and materials
void MO_DrawMaterial(MetaObject* material); // applies one material through the state caches
void MO_DrawGeometry_VertexArray(VertexArrayGeometry* data); // one indexed draw call for the mesh

// ---------------------------------------------------------------------------------------------------------
// Bounds, texture scrolling, copies and world points (MetaObjectBounds.cpp, MetaObjectGeometry.cpp)
// ---------------------------------------------------------------------------------------------------------

// Resets box and grows it over every point under obj, transformed by matrix when it is not null
// (at most 1000 points per mesh then).
void MO_CalcBoundingBox(MetaObject* obj, BoundingBox* box, const Matrix4x4* matrix);
// Largest distance of any point under obj from the local origin.
void MO_CalcBoundingSphere(MetaObject* obj, float* radius);

void MO_Group_OffsetUVs(MetaObject* obj, float du,
                        float dv); // every first-layer uv under a geometry or group
void MO_VertexArray_OffsetUVs(MetaObject* obj, float du, float dv); // first-layer uvs of one geometry

// Independent copy of a mesh's arrays (points, normals, first-layer uvs, colours, triangles) from pool
// varPool, or the heap when it is -1; the materials gain a reference.
void MO_CopyVertexArrayData(const VertexArrayGeometry* in, VertexArrayGeometry* out, int16_t varPool);
// Frees what MO_CopyVertexArrayData made and drops its material references.
void MO_DisposeVertexArrayCopy(VertexArrayGeometry* data);

// Captures world-space points and triangle planes of obj (through the current model-view matrix) into
// meshes[*meshCount...], growing *meshCount; the caller clears the count first.
void MO_CalcWorldPoints_Object(WorldMeshRecord meshes[MAX_MESHES_IN_MODEL], int* meshCount, MetaObject* obj);
// The same from a given starting matrix instead of OpenGL's model-view: needs no draw context.
void MO_CalcWorldPoints_ObjectFrom(WorldMeshRecord meshes[MAX_MESHES_IN_MODEL], int* meshCount,
                                   MetaObject* obj, const Matrix4x4* start);
// Frees the private arrays of captured world meshes.
void MO_FreeWorldMeshes(WorldMeshRecord meshes[MAX_MESHES_IN_MODEL]);
