// Feeds arbitrary bytes to the model-file reader as the contents of a TQ3D file. What it accepts is
// published into a model-group slot (bounds and radii of every model), every triangle corner is looked
// up in every per-point array as drawing would, the sphere-map change is tried on every model, and all
// of it is freed again. Arrays go to the heap and textures stay decoded in memory, so no OpenGL is
// needed. A refused file ends in a fatal alert, which the installed presenter turns into an exception;
// the reader must have freed everything by then, which the live counts and LeakSanitizer check.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "3D/TQ3D.h"
#include "System/Alerts.h"

static void IgnoreAlert(const char*, bool) {}

// Reads every array entry a triangle corner reaches, as the draw call would.
static float TouchMesh(const VertexArrayGeometry* data)
{
    float sum = 0;
    for (int32_t i = 0; i < data->numTriangles * 3; i++) {
        uint32_t p = data->triangles[i];
        sum += data->points[p].x;
        if (data->normals)
            sum += data->normals[p].y;
        if (data->uvs[0])
            sum += data->uvs[0][p * 2 + 1];
        if (data->colors)
            sum += data->colors[p * 4 + 3];
    }
    return sum;
}

static float TouchTree(MetaObject* obj)
{
    if (obj->type == MO_TYPE_GEOMETRY)
        return TouchMesh(MO_GetGeometryData(obj));
    float sum = 0;
    if (obj->type == MO_TYPE_GROUP) {
        const MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            sum += TouchTree(group->objects[i]);
    }
    return sum;
}

// Called by libFuzzer only: every refusal prints its alert, and millions of them would slow the run;
// libFuzzer reports on standard error. The replay test keeps its output.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    if (!started) {
        SetAlertPresenter(IgnoreAlert);
        MO_InitMetaObjectList();
        TQ3D_InitContainers();
        started = true;
    }
    if (size > INT32_MAX)
        return 0;
    int32_t blocksBefore = gLiveBlockCount;

    TQ3DParsedFile parsed;
    try {
        TQ3D_ParseFile("fuzz.tq3d", data, int32_t(size), -1, &parsed);
    } catch (const FatalAlertError&) {
        if (gNumMetaObjects != 0 || gLiveBlockCount != blocksBefore)
            std::abort(); // a refused file left something behind
        return 0;
    }

    int models = TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL);
    volatile float sink = 0;
    for (int t = 0; t < models; t++) {
        sink = sink + TouchTree(gTQ3DModelList[MODEL_GROUP_GLOBAL][t]);
        try {
            SetSphereMapInfo(MODEL_GROUP_GLOBAL, t, -1, 1, 0);
        } catch (const FatalAlertError&) {
            // A model that is not made of textured meshes cannot take a sphere map.
        }
    }
    TQ3D_FreeParsedFile(&parsed);
    TQ3D_DisposeAllContainers();
    if (gNumMetaObjects != 0 || gLiveBlockCount != blocksBefore)
        std::abort();
    return 0;
}
