// RenderBenchmark: one frame of a scene of 200 meshes of 500 triangles with 20 textured materials, as
// the render core draws it (a group per mesh with its matrix, materials through the caches, one indexed
// draw call per mesh). Run under a display, e.g. Xvfb with Mesa's software renderer.
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Support/TestWindow.h"
#include "System/Prefs.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

constexpr int kNumMeshes = 200;
constexpr int kNumMaterials = 20;
constexpr int kGridCols = 25, kGridRows = 10; // 250 quads = 500 triangles

static MetaObject* gScene[kNumMeshes];

static MetaObject* MakeTexturedMaterial(int index)
{
    std::vector<uint8_t> pixels(64 * 64 * 4);
    for (int i = 0; i < 64 * 64; i++) {
        pixels[i * 4 + 0] = (uint8_t)(index * 12);
        pixels[i * 4 + 1] = (uint8_t)(255 - index * 12);
        pixels[i * 4 + 2] = (uint8_t)((i % 64) * 4);
        pixels[i * 4 + 3] = 255;
    }
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.flags = MO_MATERIAL_FLAG_TEXTURED;
    material.diffuseColor[0] = material.diffuseColor[1] = material.diffuseColor[2] =
        material.diffuseColor[3] = 1;
    material.numMipmaps = 1;
    material.width = material.height = 64;
    material.textureName[0] = OGL_TextureMap_Load(pixels.data(), 64, 64, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE);
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

// A 40 x 40 wavy sheet facing +z, its arrays in the model pool.
static MetaObject* MakeSheet(MetaObject* material)
{
    VertexArrayGeometry g;
    memset(&g, 0, sizeof(g));
    g.varPool = VERTEX_ARRAY_POOL_MODELS;
    g.numMaterials = 1;
    g.materials[0] = material;
    g.numPoints = (kGridCols + 1) * (kGridRows + 1);
    g.numTriangles = kGridCols * kGridRows * 2;
    g.points = (Point3D*)OGL_AllocVertexArrayMemory(g.numPoints * sizeof(Point3D), g.varPool);
    g.normals = (Vector3D*)OGL_AllocVertexArrayMemory(g.numPoints * sizeof(Vector3D), g.varPool);
    g.uvs[0] = (float*)OGL_AllocVertexArrayMemory(g.numPoints * 2 * sizeof(float), g.varPool);
    g.triangles = (uint32_t*)OGL_AllocVertexArrayMemory(g.numTriangles * 3 * sizeof(uint32_t), g.varPool);
    for (int row = 0; row <= kGridRows; row++) {
        for (int col = 0; col <= kGridCols; col++) {
            int i = row * (kGridCols + 1) + col;
            float u = (float)col / kGridCols, v = (float)row / kGridRows;
            g.points[i] = {-20 + 40 * u, -20 + 40 * v, (col % 2) * 2.0f};
            g.normals[i] = {0, 0, 1};
            g.uvs[0][i * 2] = u;
            g.uvs[0][i * 2 + 1] = v;
        }
    }
    uint32_t* t = g.triangles;
    for (int row = 0; row < kGridRows; row++) {
        for (int col = 0; col < kGridCols; col++) {
            uint32_t a = row * (kGridCols + 1) + col, b = a + 1, c = a + kGridCols + 1, d = c + 1;
            uint32_t quad[6] = {a, b, d, a, d, c};
            memcpy(t, quad, sizeof(quad));
            t += 6;
        }
    }
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &g);
}

// 20 x 10 objects, each a group of its placement matrix and a sheet; materials alternate per object.
static void BuildScene()
{
    MetaObject* materials[kNumMaterials];
    for (int i = 0; i < kNumMaterials; i++)
        materials[i] = MakeTexturedMaterial(i);
    for (int i = 0; i < kNumMeshes; i++) {
        Matrix4x4 placement;
        MatrixTranslate(&placement, (i % 20 - 9.5f) * 45, (i / 20 - 4.5f) * 45, -700);
        MetaObject* matrix = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &placement);
        MetaObject* sheet = MakeSheet(materials[i % kNumMaterials]);
        gScene[i] = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
        MO_AppendToGroup(gScene[i], matrix);
        MO_AppendToGroup(gScene[i], sheet);
        MO_DisposeObjectReference(matrix);
        MO_DisposeObjectReference(sheet);
    }
    for (int i = 0; i < kNumMaterials; i++)
        MO_DisposeObjectReference(materials[i]);
}

static void DrawScenePane()
{
    if (gCurrentPane == gNumPanes)
        return;
    for (int i = 0; i < kNumMeshes; i++)
        MO_DrawObject(gScene[i]);
}

static void BM_DrawScene200Meshes(benchmark::State& state)
{
    if (!IsDisplayAvailable() || !OpenTestWindow(1280, 720)) {
        state.SkipWithError("no display: run under Xvfb");
        return;
    }
    gNumPanes = 1;
    MO_InitMetaObjectList();
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.farClip = 2000;
    setup.useFog = true;
    setup.fogStart = 500;
    setup.fogEnd = 1500;
    OGL_SetupGameView(&setup);
    BuildScene();

    int64_t drawCalls = 0, triangles = 0, stateCalls = 0;
    for (auto _ : state) {
        OGL_DrawScene(DrawScenePane);
        glFinish(); // count the rendering, not just the submission
        drawCalls += gFrameStats.drawCalls;
        triangles += gTrianglesDrawn;
        stateCalls += gFrameStats.stateCalls;
    }
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    state.counters["drawCalls/frame"] = (double)drawCalls / (double)state.iterations();
    state.counters["stateCalls/frame"] = (double)stateCalls / (double)state.iterations();
    state.counters["triangles/frame"] = (double)triangles / (double)state.iterations();

    for (int i = 0; i < kNumMeshes; i++)
        MO_DisposeObjectReference(gScene[i]);
    OGL_DisposeGameView();
    CloseTestWindow();
}
BENCHMARK(BM_DrawScene200Meshes)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
