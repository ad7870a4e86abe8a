// TQ3D_Containers.cpp: the model-group slots, their published model tables, and the material changes
// the level code makes to loaded models (sphere-mapped reflections, extra flags).
#include "3D/TQ3D_Local.h"
#include "System/Alerts.h"
#include "System/Memory.h"

#include <cstring>

TQ3DContainer* gLoadedModelFiles[MAX_TQ3D_GROUPS];
int gNumObjectsInGroupList[MAX_TQ3D_GROUPS];
MetaObject* gTQ3DModelList[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP];
BoundingBox gTQ3DModelBBoxes[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP];
float gTQ3DModelRadii[MAX_TQ3D_GROUPS][MAX_OBJECTS_IN_GROUP];

// ---------------------------------------------------------------------------------------------------------
// Containers and slots
// ---------------------------------------------------------------------------------------------------------

TQ3DContainer* TQ3D_NewContainer()
{
    TQ3DContainer* container = (TQ3DContainer*)AllocPtrClear(sizeof(TQ3DContainer));
    container->root = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    return container;
}

void TQ3D_FreeContainer(TQ3DContainer* container)
{
    for (int32_t i = 0; i < container->numMaterials; i++)
        MO_DisposeObjectReference(container->materials[i]);
    MO_DisposeObjectReference(container->root);
    SafeDisposePtr(container);
}

void TQ3D_InitContainers()
{
    memset(gLoadedModelFiles, 0, sizeof(gLoadedModelFiles));
    memset(gNumObjectsInGroupList, 0, sizeof(gNumObjectsInGroupList));
}

void TQ3D_DisposeContainer(int groupNum)
{
    GAME_ASSERT(groupNum >= 0 && groupNum < MAX_TQ3D_GROUPS);
    if (!gLoadedModelFiles[groupNum])
        return;
    TQ3D_FreeContainer(gLoadedModelFiles[groupNum]);
    gLoadedModelFiles[groupNum] = nullptr;
}

void TQ3D_DisposeAllContainers()
{
    for (int groupNum = 0; groupNum < MAX_TQ3D_GROUPS; groupNum++)
        TQ3D_DisposeContainer(groupNum);
}

int TQ3D_PublishContainer(TQ3DParsedFile* parsed, int groupNum)
{
    GAME_ASSERT(groupNum >= 0 && groupNum < MAX_TQ3D_GROUPS);
    GAME_ASSERT(!gLoadedModelFiles[groupNum]);
    TQ3DContainer* container = parsed->container;
    parsed->container = nullptr;
    gLoadedModelFiles[groupNum] = container;

    // Every mesh was checked to hold the arrays its counts promise, so bounding it reads only real points.
    const MetaObjectGroupData* root = MO_GetGroupData(container->root);
    for (int t = 0; t < root->numObjectsInGroup; t++) {
        MetaObject* model = root->objects[t];
        gTQ3DModelList[groupNum][t] = model;
        MO_CalcBoundingBox(model, &gTQ3DModelBBoxes[groupNum][t], nullptr);
        MO_CalcBoundingSphere(model, &gTQ3DModelRadii[groupNum][t]);
    }
    gNumObjectsInGroupList[groupNum] = root->numObjectsInGroup;
    return root->numObjectsInGroup;
}

// ---------------------------------------------------------------------------------------------------------
// Material changes
// ---------------------------------------------------------------------------------------------------------

static bool IsVertexArray(const MetaObject* obj)
{
    return obj->type == MO_TYPE_GEOMETRY && obj->subType == MO_GEOMETRY_SUBTYPE_VERTEXARRAY;
}

// The model a level routine names; a model file with fewer models than the game expects is caught here
// rather than read as a stale table entry.
static MetaObject* LoadedModel(const char* routine, int groupNum, int type)
{
    if (groupNum < 0 || groupNum >= MAX_TQ3D_GROUPS || !gLoadedModelFiles[groupNum])
        ShowFatalAlert("%s: model group %d is not loaded", routine, groupNum);
    if (type < 0 || type >= gNumObjectsInGroupList[groupNum])
        ShowFatalAlert("%s: model %d of group %d does not exist (the group has %d models)", routine, type,
                       groupNum, gNumObjectsInGroupList[groupNum]);
    return gTQ3DModelList[groupNum][type];
}

// The first material of a mesh; a mesh without one has nothing to change.
static MetaObject* FirstMaterial(const char* noMaterials, MetaObject* mesh)
{
    const VertexArrayGeometry* data = MO_GetGeometryData(mesh);
    if (data->numMaterials < 1 || !data->materials[0])
        ShowFatalAlert("%s", noMaterials);
    return data->materials[0];
}

// What the selection rule picks: the model itself when it is a mesh, else member geometryNum of the
// group, or every member for -1. change runs on each picked mesh.
struct MaterialChange
{
    const char* outOfRange;
    const char* notVertexArray;
    const char* noMaterials;
};

template <typename Change>
static void ChangeSelectedMeshes(const MaterialChange* messages, MetaObject* model, int geometryNum,
                                 Change change)
{
    if (model->type == MO_TYPE_GROUP) {
        const MetaObjectGroupData* group = MO_GetGroupData(model);
        if (geometryNum < -1 || geometryNum >= group->numObjectsInGroup)
            ShowFatalAlert("%s", messages->outOfRange);
        if (geometryNum == -1) {
            for (int i = 0; i < group->numObjectsInGroup; i++) {
                if (!IsVertexArray(group->objects[i]))
                    ShowFatalAlert("%s", messages->notVertexArray);
                change(FirstMaterial(messages->noMaterials, group->objects[i]));
            }
            return;
        }
        model = group->objects[geometryNum];
    }
    if (!IsVertexArray(model))
        ShowFatalAlert("%s", messages->notVertexArray);
    change(FirstMaterial(messages->noMaterials, model));
}

void SetSphereMapInfoOnMaterialObject(MetaObject* material, uint16_t combine, uint16_t envMapNum)
{
    if (material->type != MO_TYPE_MATERIAL)
        ShowFatalAlert("SetSphereMapInfoOnMaterialObject:  object isnt a material");
    MaterialRecord* data = MO_GetMaterialData(material);
    data->flags |= MO_MATERIAL_FLAG_MULTITEXTURE;
    data->layerMode = 0; // sphere-mapped reflection
    data->layerCombine = combine;
    data->envMapNum = envMapNum;
}

void SetSphereMapInfo(int groupNum, int type, int geometryNum, uint16_t combine, uint16_t envMapNum)
{
    static const MaterialChange messages = {
        "TQ3D_SphereMapGeomteryMaterial: geometryNum out of range",
        "SetSphereMapInfo:  object isnt a vertex array",
        "SetSphereMapInfo:  no materials!",
    };
    MetaObject* model = LoadedModel("SetSphereMapInfo", groupNum, type);
    ChangeSelectedMeshes(&messages, model, geometryNum, [combine, envMapNum](MetaObject* material) {
        SetSphereMapInfoOnMaterialObject(material, combine, envMapNum);
    });
}

void TQ3D_SetContainerMaterialFlags(int groupNum, int type, int geometryNum, uint32_t flags)
{
    static const MaterialChange messages = {
        "TQ3D_SetContainerMaterialFlags: geometryNum out of range",
        "TQ3D_SetContainerMaterialFlags:  object isnt a vertex array",
        "TQ3D_SetContainerMaterialFlags:  no materials!",
    };
    MetaObject* model = LoadedModel("TQ3D_SetContainerMaterialFlags", groupNum, type);
    ChangeSelectedMeshes(&messages, model, geometryNum,
                         [flags](MetaObject* material) { MO_GetMaterialData(material)->flags |= flags; });
}
