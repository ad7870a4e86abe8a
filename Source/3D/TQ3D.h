// TQ3D.h: model files. A TQ3D file is a big-endian, tag-structured list of materials (with their
// texture images), a tree of groups and indexed triangle meshes. Loading one fills a container (the
// file's materials and a root group whose direct members are the file's models) in one of the
// model-group slots, and publishes each model with its bounding box and radius in the model tables
// that display-group objects are made from.
//
// A model file is untrusted input: every count, index and size in it is checked against what the
// file really holds, and anything wrong ends in a fatal alert naming the file. When a fatal alert
// returns control (tests and tools install an alert presenter), nothing the loader made is left
// behind.
#pragma once

#include <SDL_opengl.h>
#include <cstdint>

#include "3D/MetaObjects.h"
#include "Tarnet/MacTypes.h"

// ---------------------------------------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------------------------------------

constexpr int TQ3D_HEADER_SIZE = 20; // "TQ3D", then 16 bytes nobody reads

// Record tags; each is followed by its payload.
enum
{
    TQ3D_TAG_MATERIAL_FLAGS = 0,         // uint32 flags; starts a new material
    TQ3D_TAG_MATERIAL_DIFFUSE_COLOR = 1, // 4 floats of the current material
    TQ3D_TAG_TEXTURE_MAP = 2,            // 36-byte texture header, then the raw pixels
    TQ3D_TAG_GROUP_START = 3,
    TQ3D_TAG_GROUP_END = 4,
    TQ3D_TAG_GEOMETRY = 5,      // 52-byte geometry header; starts a new mesh
    TQ3D_TAG_POINTS = 6,        // numPoints x 3 floats of the current mesh
    TQ3D_TAG_NORMALS = 7,       // numPoints x 3 floats
    TQ3D_TAG_UVS = 8,           // numPoints x 2 floats, layer 0
    TQ3D_TAG_VERTEX_COLORS = 9, // numPoints x 4 bytes
    TQ3D_TAG_TRIANGLES = 10,    // numTriangles x 3 uint32 point indices
    TQ3D_TAG_END_FILE = 11,
    TQ3D_TAG_BOUNDING_BOX = 12,     // 6 floats, an empty byte, 3 padding bytes
    TQ3D_TAG_JPEG_TEXTURE_MAP = 13, // 16-byte header, the compressed image, an optional alpha mask
};

constexpr int TQ3D_TEXTURE_HEADER_SIZE = 36;
constexpr int TQ3D_GEOMETRY_HEADER_SIZE = 52;
constexpr int TQ3D_JPEG_HEADER_SIZE = 16;
constexpr int TQ3D_BOUNDING_BOX_SIZE = 28;

// Source pixel formats of a raw texture map.
constexpr uint32_t TQ3D_PIXELS_RGBA = 0x1908;          // 4 bytes a pixel
constexpr uint32_t TQ3D_PIXELS_1555_REVERSED = 0x8366; // 16-bit words
constexpr uint32_t TQ3D_PIXELS_8888_REVERSED = 0x8367; // 32-bit words

// ---------------------------------------------------------------------------------------------------------
// Limits, slots and tables
// ---------------------------------------------------------------------------------------------------------

constexpr int MAX_TQ3D_GROUPS = 12;
constexpr int MAX_OBJECTS_IN_GROUP = 100;
constexpr int MAX_TQ3D_MATERIALS = 400;
constexpr int TQ3D_GROUP_STACK_SIZE = 49;   // group nesting depth
constexpr int MAX_TQ3D_TEXTURE_SIZE = 4096; // pixels on either side of one texture map

// The models of a file are the root group's members, so a group's limit is also the file's.
static_assert(MO_MAX_ITEMS_IN_GROUP <= MAX_OBJECTS_IN_GROUP);

// Model-group slots.
enum
{
    MODEL_GROUP_GLOBAL = 0,        // ":models:Global.tq3d"
    MODEL_GROUP_LEVELSPECIFIC = 1, // the scene's ":models:%s.tq3d"
    MODEL_GROUP_LEVELINTRO = 2,    // ":models:levelintro.tq3d"
    MODEL_GROUP_WEAPONS = 3,       // ":Models:Weapons.tq3d"
    MODEL_GROUP_PLAYERPARTS = 4,   // ":models:playerparts.tq3d"
    MODEL_GROUP_SKELETONBASE = 5,  // + skeleton type: a skeleton's reference model, arrays on the heap
};

// One loaded file.
struct TQ3DContainer
{
    int32_t numMaterials;
    MetaObject* materials[MAX_TQ3D_MATERIALS]; // in file order; each holds a reference
    MetaObject* root;                          // its direct members are the models; holds a reference
};

extern TQ3DContainer* gLoadedModelFiles[MAX_TQ3D_GROUPS]; // null for an empty slot
extern int gNumObjectsInGroupList[MAX_TQ3D_GROUPS];       // models of the slot's file
// Model t of group g: the t-th member of the root (a group or a mesh); no reference of its own.
extern MetaObject* gTQ3DModelList[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP];
extern BoundingBox gTQ3DModelBBoxes[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP]; // in model space
extern float gTQ3DModelRadii[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP];        // about the model origin

// ---------------------------------------------------------------------------------------------------------
// Loading and disposal (TQ3D_Import.cpp, TQ3D_Containers.cpp)
// ---------------------------------------------------------------------------------------------------------

void TQ3D_InitContainers(); // empties every slot; start-up

// Loads the file named by spec into the empty slot groupNum with its arrays in vertex-array pool
// varPool (-1: the heap), uploads its textures and fills the slot's tables. Returns the model count.
int ImportTQ3D(const Tarnet::FSSpec* spec, int groupNum, int varPool);
// ImportTQ3D of a colon path in the data folder into groupNum with the model pool, after freeing
// whatever the slot held. Returns the model count.
int LoadModelGroup(int groupNum, const char* colonPath);

// Drops the container's references to its materials and root and empties the slot. The model
// tables of the slot must not be used afterwards; objects made from its models keep them alive.
void TQ3D_DisposeContainer(int groupNum);
void TQ3D_DisposeAllContainers();

// ---------------------------------------------------------------------------------------------------------
// Loading in two steps, for code without an OpenGL context (TQ3D_Reader.cpp, TQ3D_Containers.cpp)
// ---------------------------------------------------------------------------------------------------------

// A texture map of a file, decoded to pixels that OpenGL takes as format RGBA with `type`.
struct TQ3DTextureImage
{
    MetaObject* material; // the material it belongs to (held by the container)
    int32_t width, height;
    GLenum type;      // GL_UNSIGNED_BYTE or one of the packed types
    uint8_t* pixels;  // owned by the image
    bool fromDecoder; // pixels come from the image decoder rather than AllocPtr
};

// A file read into a container that is not yet in a slot, with its texture maps not yet uploaded.
struct TQ3DParsedFile
{
    TQ3DContainer* container;
    int32_t numImages;
    int32_t imageCapacity;
    TQ3DTextureImage* images; // in file order
};

// Reads a whole model file held in memory. fileName is only used in messages. Needs no OpenGL;
// with varPool -1 it needs no vertex-array pools either.
void TQ3D_ParseFile(const char* fileName, const uint8_t* data, int32_t size, int varPool,
                    TQ3DParsedFile* parsed);
// Uploads every image into its material (as the next texture name) and frees the images.
void TQ3D_UploadTextureImages(TQ3DParsedFile* parsed, const char* fileName);
// Frees what the parse made: the images and, if it is still there, the container.
void TQ3D_FreeParsedFile(TQ3DParsedFile* parsed);
// Puts the parsed container into the empty slot groupNum and fills the slot's tables; the slot
// owns it from now on. Returns the model count.
int TQ3D_PublishContainer(TQ3DParsedFile* parsed, int groupNum);

// ---------------------------------------------------------------------------------------------------------
// Changing loaded materials (TQ3D_Containers.cpp)
// ---------------------------------------------------------------------------------------------------------

// Gives the first material of meshes of model `type` a sphere-mapped reflection layer. For a
// model that is a group, geometryNum picks one member or -1 all of them (each must be a mesh); a
// model that is a mesh is changed directly.
void SetSphereMapInfo(int groupNum, int type, int geometryNum, uint16_t combine, uint16_t envMapNum);
// ORs flags into the first material of the selected meshes (selection as above).
void TQ3D_SetContainerMaterialFlags(int groupNum, int type, int geometryNum, uint32_t flags);
void SetSphereMapInfoOnMaterialObject(MetaObject* material, uint16_t combine, uint16_t envMapNum);

// ---------------------------------------------------------------------------------------------------------
// Images (TQ3D_Images.cpp)
// ---------------------------------------------------------------------------------------------------------

// Decodes a compressed image description (a big-endian offset d, then from byte d to the end an
// encoded image) to 8-bit RGBA, which must be width x height. Free the result with FreeDecodedImage.
uint8_t* DecompressQTImage(const uint8_t* buffer, int32_t size, int width, int height);
