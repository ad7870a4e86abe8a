// MetaObjects.cpp: creation, reference counting, groups and disposal of MetaObjects, and the list of
// every live object (kept for consistency checks; it is never walked to draw).
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "System/Alerts.h"

#include <cstring>

MetaObject* gFirstMetaObject = nullptr;
MetaObject* gLastMetaObject = nullptr;
int gNumMetaObjects = 0;

SpriteGroupEntry* gSpriteGroupList[MAX_SPRITE_GROUPS];
int32_t gNumSpritesInGroupList[MAX_SPRITE_GROUPS];

void MO_InitMetaObjectList()
{
    gFirstMetaObject = nullptr;
    gLastMetaObject = nullptr;
    gNumMetaObjects = 0;
}

static size_t RecordSizeOfType(uint32_t type, uint64_t subType)
{
    switch (type) {
    case MO_TYPE_GEOMETRY:
        if (subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("AllocateEmptyMetaObject: object subtype not recognized");
        return sizeof(VertexArrayGeometry);
    case MO_TYPE_GROUP:
        return sizeof(MetaObjectGroupData);
    case MO_TYPE_MATERIAL:
        return sizeof(MaterialRecord);
    case MO_TYPE_MATRIX:
        return sizeof(Matrix4x4);
    case MO_TYPE_PICTURE:
        return sizeof(MetaObjectPictureData);
    case MO_TYPE_SPRITE:
        return sizeof(SpriteRecord);
    default:
        ShowFatalAlert("AllocateEmptyMetaObject: object type not recognized");
    }
}

// A zeroed object of the type with its header filled, appended to the live list.
static MetaObject* AllocateEmptyMetaObject(uint32_t type, uint64_t subType)
{
    size_t size = sizeof(MetaObject) + RecordSizeOfType(type, subType);
    MetaObject* obj = (MetaObject*)AllocPtrClear((int32_t)size);
    if (!obj)
        ShowFatalAlert("AllocateEmptyMetaObject: AllocPtr failed!");

    obj->cookie = MO_COOKIE;
    obj->refCount = 1;
    obj->type = type;
    obj->subType = subType;

    if (!gFirstMetaObject) {
        if (gLastMetaObject)
            ShowFatalAlert("AllocateEmptyMetaObject: gFirstMetaObject & gLastMetaObject should be nil");
        gFirstMetaObject = obj;
        gNumMetaObjects = 1;
    } else {
        obj->prevNode = gLastMetaObject;
        gLastMetaObject->nextNode = obj;
        gNumMetaObjects++;
    }
    gLastMetaObject = obj;
    return obj;
}

static void SetMetaObjectToGeometry(MetaObject* obj, const VertexArrayGeometry* data)
{
    if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
        ShowFatalAlert("SetMetaObjectToGeometry: unknown subType");
    VertexArrayGeometry* geometry = MO_GetGeometryData(obj);
    *geometry = *data;
    for (int i = 0; i < geometry->numMaterials; i++) {
        if (geometry->materials[i])
            MO_AddReference(geometry->materials[i]);
    }
}

// Loads the image of a colon path and wraps it in a clamped, textured material.
static void SetMetaObjectToPicture(MetaObject* obj, const char* path)
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    int width = 0, height = 0;
    material.textureName[0] = OGL_TextureMap_LoadImageFile(path, &width, &height, nullptr);
    material.flags = MO_MATERIAL_FLAG_TEXTURED | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;
    material.diffuseColor[0] = material.diffuseColor[1] = material.diffuseColor[2] =
        material.diffuseColor[3] = 1;
    material.numMipmaps = 1;
    material.width = width;
    material.height = height;
    MO_GetPictureData(obj)->material = MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

static void SetMetaObjectToSprite(MetaObject* obj, const SpriteSetupRecord* inData)
{
    if (inData->loadFile)
        FatalAssertion("SetMetaObjectToSprite", __LINE__, "!inData->loadFile");
    int group = inData->group, type = inData->type;
    if (group < 0 || group >= MAX_SPRITE_GROUPS || type < 0 || type >= gNumSpritesInGroupList[group])
        ShowFatalAlert("SetMetaObjectToSprite: illegal type");

    const SpriteGroupEntry* entry = &gSpriteGroupList[group][type];
    SpriteRecord* sprite = MO_GetSpriteData(obj);
    sprite->material = MO_AddReference(entry->materialObject);
    sprite->width = (float)entry->width;
    sprite->height = (float)entry->height;
    sprite->centered = inData->centered;
    sprite->position = {-1, 1, 0};
    sprite->scaleX = sprite->scaleY = 1;
    sprite->rotation = 0;
}

MetaObject* MO_CreateNewObjectOfType(uint32_t type, uint64_t subType, const void* data)
{
    MetaObject* obj = AllocateEmptyMetaObject(type, subType);
    switch (type) {
    case MO_TYPE_GEOMETRY:
        SetMetaObjectToGeometry(obj, (const VertexArrayGeometry*)data);
        break;
    case MO_TYPE_GROUP:
        break;
    case MO_TYPE_MATERIAL:
        *MO_GetMaterialData(obj) = *(const MaterialRecord*)data;
        break;
    case MO_TYPE_MATRIX:
        *MO_GetMatrixData(obj) = *(const Matrix4x4*)data;
        break;
    case MO_TYPE_PICTURE:
        SetMetaObjectToPicture(obj, (const char*)data);
        break;
    case MO_TYPE_SPRITE:
        SetMetaObjectToSprite(obj, (const SpriteSetupRecord*)data);
        break;
    default:
        ShowFatalAlert("MO_CreateNewObjectOfType: object type not recognized");
    }
    return obj;
}

MetaObject* MO_AddReference(MetaObject* obj)
{
    obj->refCount++;
    return obj;
}

void MO_AppendToGroup(MetaObject* group, MetaObject* obj)
{
    if (group->cookie != MO_COOKIE || obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_AppendToGroup: cookie is invalid!");
    MetaObjectGroupData* data = MO_GetGroupData(group);
    if (data->numObjectsInGroup >= MO_MAX_ITEMS_IN_GROUP)
        ShowFatalAlert("MO_AppendToGroup: too many objects in group!");
    data->objects[data->numObjectsInGroup++] = MO_AddReference(obj);
}

void MO_AttachToGroupStart(MetaObject* group, MetaObject* obj)
{
    if (group->cookie != MO_COOKIE || obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_AttachToGroupStart: cookie is invalid!");
    MetaObjectGroupData* data = MO_GetGroupData(group);
    if (data->numObjectsInGroup >= MO_MAX_ITEMS_IN_GROUP)
        ShowFatalAlert("MO_AttachToGroupStart: too many objects in group!");
    memmove(&data->objects[1], &data->objects[0], data->numObjectsInGroup * sizeof(MetaObject*));
    data->objects[0] = MO_AddReference(obj);
    data->numObjectsInGroup++;
}

// Returns an array to the pool it came from, or to the heap.
static void FreeVertexArray(void* array, int16_t varPool)
{
    if (!array)
        return;
    if (varPool == -1)
        SafeDisposePtr(array);
    else
        OGL_FreeVertexArrayMemory(array, varPool);
}

static void DisposeVertexArrayContents(VertexArrayGeometry* data)
{
    for (int i = 0; i < data->numMaterials; i++) {
        if (data->materials[i])
            MO_DisposeObjectReference(data->materials[i]);
        data->materials[i] = nullptr;
    }
    FreeVertexArray(data->points, data->varPool);
    FreeVertexArray(data->normals, data->varPool);
    FreeVertexArray(data->uvs[0], data->varPool);
    FreeVertexArray(data->uvs[1], data->varPool);
    FreeVertexArray(data->colors, data->varPool);
    FreeVertexArray(data->triangles, data->varPool);
}

static void DisposeObjectContents(MetaObject* obj)
{
    switch (obj->type) {
    case MO_TYPE_GEOMETRY:
        if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("MO_DisposeObject: unknown sub-type");
        DisposeVertexArrayContents(MO_GetGeometryData(obj));
        break;
    case MO_TYPE_GROUP: {
        MetaObjectGroupData* data = MO_GetGroupData(obj);
        for (int i = 0; i < data->numObjectsInGroup; i++)
            MO_DisposeObjectReference(data->objects[i]);
        data->numObjectsInGroup = 0;
        break;
    }
    case MO_TYPE_MATERIAL: {
        MaterialRecord* data = MO_GetMaterialData(obj);
        if (data->numMipmaps > 0)
            OGL_DeleteTextures(data->numMipmaps, data->textureName);
        break;
    }
    case MO_TYPE_PICTURE:
        MO_DisposeObjectReference(MO_GetPictureData(obj)->material);
        break;
    case MO_TYPE_SPRITE:
        MO_DisposeObjectReference(MO_GetSpriteData(obj)->material);
        break;
    default:
        break;
    }
}

static void DetachFromLinkedList(MetaObject* obj)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_DetachFromLinkedList: cookie is invalid!");

    MetaObject* prev = obj->prevNode;
    MetaObject* next = obj->nextNode;
    if (prev)
        prev->nextNode = next;
    else
        gFirstMetaObject = next;
    if (next)
        next->prevNode = prev;
    else
        gLastMetaObject = prev;

    gNumMetaObjects--;
    if (gNumMetaObjects < 0)
        ShowFatalAlert("MO_DetachFromLinkedList: counter mismatch");
    if (gNumMetaObjects == 0) {
        if (prev || next)
            ShowFatalAlert("MO_DetachFromLinkedList: prev/next should be nil!");
        if (gFirstMetaObject)
            ShowFatalAlert("MO_DetachFromLinkedList: gFirstMetaObject should be nil!");
        if (gLastMetaObject)
            ShowFatalAlert("MO_DetachFromLinkedList: gLastMetaObject should be nil!");
    }
}

void MO_DisposeObjectReference(MetaObject* obj)
{
    if (!obj)
        ShowFatalAlert("MO_DisposeObjectReference: obj == nil");
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_DisposeObjectReference: bad cookie!");

    obj->refCount--;
    if (obj->refCount < 0)
        ShowFatalAlert("MO_DisposeObjectReference: refcount < 0!");
    if (obj->refCount > 0)
        return;

    DisposeObjectContents(obj);
    DetachFromLinkedList(obj);
    obj->cookie = MO_DEAD_COOKIE;
    SafeDisposePtr(obj);
}
