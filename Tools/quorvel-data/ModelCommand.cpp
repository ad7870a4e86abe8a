// quorvel-data model FILE.tq3d OUT.png: loads FILE with the game's own loader, prints one line per
// model (index, meshes, triangles, bounding box) and renders every model with the game's renderer into a
// contact sheet: a grid of cells, each model lit from a three-quarter view and framed by its box.
// Needs a display (Xvfb will do); the window stays hidden.

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Commands.h"
#include "DataForge/Writers/ImageWriter.h"
#include "System/Alerts.h"
#include "System/HiddenWindow.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"

namespace {

constexpr int kCellSize = 256; // pixels of one model's cell; the window is one cell
constexpr int kCellGap = 2;    // dark lines between cells
constexpr float kViewAngle = 0.8f;

// A fatal alert has printed its message already; the exception ends the command.
void QuietPresenter(const char*, bool) {}

struct ModelCounts
{
    int meshes = 0;
    int triangles = 0;
};

void CountMeshes(MetaObject* obj, ModelCounts* counts)
{
    if (obj->type == MO_TYPE_GEOMETRY) {
        counts->meshes++;
        counts->triangles += MO_GetGeometryData(obj)->numTriangles;
    } else if (obj->type == MO_TYPE_GROUP) {
        const MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            CountMeshes(group->objects[i], counts);
    }
}

// Reflection layers need the sphere-map images, which a lone model file does not bring; the sheet
// shows the base layer.
void DropReflectionLayers(TQ3DContainer* container)
{
    if (gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS] > 0)
        return;
    for (int i = 0; i < container->numMaterials; i++)
        MO_GetMaterialData(container->materials[i])->flags &= ~uint32_t(MO_MATERIAL_FLAG_MULTITEXTURE);
}

// One model seen from the front right, above; models are drawn at unit size so one camera fits all.
void SetupModelView()
{
    gNumPanes = 1;
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearColor[0] = 0.30f;
    setup.clearColor[1] = 0.33f;
    setup.clearColor[2] = 0.38f;
    setup.nearClip = 0.05f;
    setup.farClip = 20;
    setup.fov = kViewAngle;
    setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = 0.35f;
    setup.lightCount = 2;
    Normalize3XYZ(-0.5f, -1.0f, -0.7f, &setup.lightDirection[0]);
    Normalize3XYZ(0.8f, 0.2f, 0.6f, &setup.lightDirection[1]);
    for (int c = 0; c < 3; c++)
        setup.lightColor[1][c] = 0.3f;
    float distance = 1.0f / std::sin(kViewAngle / 2);
    Vector3D eye;
    Normalize3XYZ(1.0f, 0.75f, 1.2f, &eye);
    setup.cameraFrom[0] = {eye.x * distance, eye.y * distance, eye.z * distance};
    setup.cameraTo[0] = {0, 0, 0};
    OGL_SetupGameView(&setup);
}

// The model inside a group whose matrix centres its box on the origin and shrinks it to unit radius.
MetaObject* MakeFramedModel(MetaObject* model, const BoundingBox* box)
{
    float cx = (box->minX + box->maxX) / 2, cy = (box->minY + box->maxY) / 2,
          cz = (box->minZ + box->maxZ) / 2;
    float dx = box->maxX - box->minX, dy = box->maxY - box->minY, dz = box->maxZ - box->minZ;
    float radius = std::sqrt(dx * dx + dy * dy + dz * dz) / 2;
    Matrix4x4 toCentre, scale, frame;
    MatrixTranslate(&toCentre, -cx, -cy, -cz);
    MatrixScale(&scale, 1 / radius, 1 / radius, 1 / radius);
    MatrixMultiply(&toCentre, &scale, &frame);

    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* matrix = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &frame);
    MO_AppendToGroup(group, matrix);
    MO_DisposeObjectReference(matrix);
    MO_AppendToGroup(group, model);
    return group;
}

MetaObject* gModelToDraw;
std::vector<uint8_t> gCellPixels; // bottom row first, as OpenGL reads them

// Drawn in the pane; read back at the overlay pass, from the back buffer before the swap (the front
// buffer of a software renderer under Xvfb reads as zeros).
void DrawModelCell()
{
    if (gCurrentPane == 0 && gModelToDraw) {
        // Back faces too: a cloud layer faces down, towards a player below it, not towards this camera.
        OGL_DisableCullFace();
        MO_DrawObject(gModelToDraw);
        OGL_EnableCullFace();
    } else if (gCurrentPane == gNumPanes) {
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kCellSize, kCellSize, GL_RGBA, GL_UNSIGNED_BYTE, gCellPixels.data());
    }
}

void CopyCellIntoSheet(Image* sheet, int cell, int columns)
{
    int left = (cell % columns) * (kCellSize + kCellGap) + kCellGap;
    int top = (cell / columns) * (kCellSize + kCellGap) + kCellGap;
    for (int y = 0; y < kCellSize; y++) {
        const uint8_t* from = &gCellPixels[size_t(kCellSize - 1 - y) * kCellSize * 4];
        uint8_t* to = &sheet->pixels[(size_t(top + y) * sheet->width + left) * 4];
        for (int x = 0; x < kCellSize; x++) {
            memcpy(to + x * 4, from + x * 4, 3);
            to[x * 4 + 3] = 255;
        }
    }
}

Image MakeEmptySheet(int models, int* columns)
{
    *columns = std::max(1, int(std::ceil(std::sqrt(double(models)))));
    int rows = std::max(1, (models + *columns - 1) / *columns);
    Image sheet;
    sheet.width = *columns * (kCellSize + kCellGap) + kCellGap;
    sheet.height = rows * (kCellSize + kCellGap) + kCellGap;
    sheet.channels = 4;
    sheet.pixels.assign(size_t(sheet.width) * sheet.height * 4, 0);
    for (size_t i = 3; i < sheet.pixels.size(); i += 4) {
        sheet.pixels[i - 3] = sheet.pixels[i - 2] = sheet.pixels[i - 1] = 24;
        sheet.pixels[i] = 255;
    }
    return sheet;
}

void PrintModelLine(int t)
{
    ModelCounts counts;
    CountMeshes(gTQ3DModelList[MODEL_GROUP_GLOBAL][t], &counts);
    const BoundingBox* box = &gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][t];
    std::printf("%3d  meshes %2d  triangles %6d  min %g %g %g  max %g %g %g\n", t, counts.meshes,
                counts.triangles, box->minX, box->minY, box->minZ, box->maxX, box->maxY, box->maxZ);
}

} // namespace

int RunModelCommand(const CommandArgs& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvel-data model FILE.tq3d OUT.png\n");
        return 2;
    }
    Tarnet::Startup();
    SetAlertPresenter(QuietPresenter);
    gPrefs.stereoMode = 0;
    if (!OpenHiddenWindow("quorvel-data model", kCellSize, kCellSize)) {
        std::fprintf(stderr, "quorvel-data model: cannot open an OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    SetupModelView();
    MO_InitMetaObjectList();
    TQ3D_InitContainers();

    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(args[0]);
    int models = ImportTQ3D(&spec, MODEL_GROUP_GLOBAL, VERTEX_ARRAY_POOL_MODELS);
    DropReflectionLayers(gLoadedModelFiles[MODEL_GROUP_GLOBAL]);

    int columns = 1;
    Image sheet = MakeEmptySheet(models, &columns);
    gCellPixels.resize(size_t(kCellSize) * kCellSize * 4);
    for (int t = 0; t < models; t++) {
        PrintModelLine(t);
        const BoundingBox* box = &gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][t];
        bool hasPoints = box->minX <= box->maxX &&
                         (box->maxX > box->minX || box->maxY > box->minY || box->maxZ > box->minZ);
        gModelToDraw = hasPoints ? MakeFramedModel(gTQ3DModelList[MODEL_GROUP_GLOBAL][t], box) : nullptr;
        OGL_DrawScene(DrawModelCell);
        CopyCellIntoSheet(&sheet, t, columns);
        if (gModelToDraw)
            MO_DisposeObjectReference(gModelToDraw);
    }

    TQ3D_DisposeAllContainers();
    OGL_DisposeGameView();
    CloseHiddenWindow();
    WritePngFile(args[1], sheet);
    std::printf("%d models, %d x %d contact sheet written to %s\n", models, sheet.width, sheet.height,
                args[1].c_str());
    return 0;
}
