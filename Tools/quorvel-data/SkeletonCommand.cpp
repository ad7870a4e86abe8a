// quorvel-data skeleton: a skeleton file through the game's own loader, animation and skinning.
//
//   quorvel-data skeleton FILE.skeleton OUT.png [--anim A]
//       a contact sheet: one row per animation (or only A), each at eight moments of the animation, the
//       skin drawn by the game's renderer with the joints marked (yellow dots, orange bones).
//   quorvel-data skeleton FILE.skeleton --anim A --seconds S [--position X Y Z] [--rotation X Y Z]
//                         [--scale K] [--vertices]
//       makes one creature at that place, starts A, advances it S seconds in frames of at most 1/30 s,
//       skins it and prints its state, one fact a line:
//           skin points N / skin normals N / anim time T / stopped 0|1 / event flags F0 F1 F2 F3 F4
//           joint J: X Y Z                   (world position of every joint)
//           bounds: MINX MINY MINZ MAXX MAXY MAXZ
//           mesh M vertex I: X Y Z           (with --vertices, every skinned vertex)
//       Needs no window: the model's textures are decoded and dropped.
//
// The skeleton type (the model slot) is taken from the file name when it is one of the game's seven;
// any other name loads as type 0.

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Commands.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Memory.h"
#include "System/Prefs.h"
#include "Tarnet/Files/Files.h"
#include "Tarnet/Resources/Resources.h"
#include "Tarnet/Tarnet.h"

namespace {

constexpr int kCellSize = 300;
constexpr int kCellGap = 2;
constexpr int kMoments = 8;
constexpr float kMaxStepSeconds = 1.0f / 30.0f;
constexpr float kViewAngle = 0.8f;

// A fatal alert has printed its message already; the exception ends the command.
void QuietPresenter(const char*, bool) {}

struct Options
{
    std::string file;
    std::string picture;
    int anim = -1;
    float seconds = -1;
    Point3D position = {0, 0, 0};
    Vector3D rotation = {0, 0, 0};
    float scale = 1;
    bool vertices = false;
};

bool ParseFloats(const CommandArgs& args, size_t* i, float* out, int count)
{
    for (int k = 0; k < count; k++) {
        if (++*i >= args.size())
            return false;
        char* end = nullptr;
        out[k] = std::strtof(args[*i].c_str(), &end);
        if (!end || *end)
            return false;
    }
    return true;
}

bool ParseOptions(const CommandArgs& args, Options* o)
{
    if (args.empty())
        return false;
    o->file = args[0];
    for (size_t i = 1; i < args.size(); i++) {
        const std::string& a = args[i];
        float v[3];
        if (a == "--anim" && ParseFloats(args, &i, v, 1))
            o->anim = int(v[0]);
        else if (a == "--seconds" && ParseFloats(args, &i, v, 1))
            o->seconds = v[0];
        else if (a == "--position" && ParseFloats(args, &i, v, 3))
            o->position = {v[0], v[1], v[2]};
        else if (a == "--rotation" && ParseFloats(args, &i, v, 3))
            o->rotation = {v[0], v[1], v[2]};
        else if (a == "--scale" && ParseFloats(args, &i, v, 1))
            o->scale = v[0];
        else if (a == "--vertices")
            o->vertices = true;
        else if (a.rfind("--", 0) != 0 && o->picture.empty() && i == 1)
            o->picture = a;
        else
            return false;
    }
    if (o->picture.empty())
        return o->anim >= 0 && o->seconds >= 0 && std::isfinite(o->seconds) && o->scale != 0;
    return o->seconds < 0;
}

int SkeletonTypeOfFile(const std::string& path)
{
    std::string name = std::filesystem::path(path).filename().string();
    for (int type = 0; type < MAX_SKELETON_TYPES; type++) {
        std::string known = kSkeletonFileNames[type];
        known = known.substr(known.rfind(':') + 1);
        if (name == known || name == known + ".rsrc")
            return type;
    }
    return 0;
}

// The skeleton file's spec (its ".rsrc" companion names the same file).
Tarnet::FSSpec SkeletonSpec(const std::string& path)
{
    std::string file = path;
    if (file.size() > 5 && file.compare(file.size() - 5, 5, ".rsrc") == 0)
        file.resize(file.size() - 5);
    return Tarnet::HostPathToFSSpec(file);
}

bool OpenHiddenWindow(int size)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    gGameWindow = SDL_CreateWindow("quorvel-data skeleton", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   size, size, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!gGameWindow)
        return false;
    gPrefs.vsync = 0;
    gPrefs.stereoMode = 0;
    OGL_CreateDrawContext();
    return true;
}

void CloseWindow()
{
    OGL_DisposeDrawContext();
    SDL_DestroyWindow(gGameWindow);
    gGameWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

ObjNode* MakeCreature(int type, const Options& o)
{
    ObjectDefinition def = {};
    def.artIndex = uint8_t(type);
    def.startAnim = 0;
    def.position = o.position;
    def.slot = 100;
    def.rotationY = o.rotation.y;
    def.scale = o.scale;
    gFrameSeconds = 0; // made without advancing: the command advances it itself
    ObjNode* node = MakeNewSkeletonBaseData(&def);
    node->Rotation = o.rotation;
    RebuildNodeTransform(node);
    return node;
}

void Advance(ObjNode* node, float seconds)
{
    while (seconds > 0) {
        gFrameSeconds = std::min(kMaxStepSeconds, seconds);
        AdvanceSkeletonAnimation(node);
        seconds -= gFrameSeconds;
    }
}

void PrintState(ObjNode* node, bool vertices)
{
    const SkeletonInstance* s = node->Skeleton;
    const SkeletonInfoType* info = s->info;
    std::printf("skin points %d\nskin normals %d\nanim time %.4f\nstopped %d\n", info->skinPointCount,
                info->skinNormalCount, s->animTime, s->animStopped ? 1 : 0);
    std::printf("event flags");
    for (int f = 0; f < MAX_FLAGS_IN_OBJNODE; f++)
        std::printf(" %d", node->EventFlags[f]);
    std::printf("\n");
    for (int j = 0; j < info->numJoints; j++) {
        Point3D p;
        FindJointPosition(node, j, &p);
        std::printf("joint %d: %.4f %.4f %.4f\n", j, p.x, p.y, p.z);
    }
    const BoundingBox& b = node->SkinnedBounds;
    std::printf("bounds: %.4f %.4f %.4f %.4f %.4f %.4f\n", b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ);
    if (!vertices)
        return;
    int parity = gGameViewInfoPtr ? (gGameViewInfoPtr->frameCount & 1) : 0;
    for (int m = 0; m < info->meshCount; m++) {
        const VertexArrayGeometry* mesh = &s->skinnedMeshes[parity][m];
        for (int i = 0; i < mesh->numPoints; i++)
            std::printf("mesh %d vertex %d: %.4f %.4f %.4f\n", m, i, mesh->points[i].x, mesh->points[i].y,
                        mesh->points[i].z);
    }
}

int RunPrintForm(const Options& o)
{
    Tarnet::FSSpec spec = SkeletonSpec(o.file);
    int type = SkeletonTypeOfFile(o.file);
    // Skinning needs no OpenGL: the model's textures are decoded and dropped.
    gSkeletonTexturesUploaded = false;
    GameViewInfo standIn = {};
    gGameViewInfoPtr = &standIn;
    OGL_InitVertexArrayMemory();

    gLoadedSkeletons[type] = LoadSkeletonFromSpec(&spec, type);
    gSkeletonMeshCount[type] = gLoadedSkeletons[type]->meshCount;
    ObjNode* node = MakeCreature(type, o);
    SetSkeletonAnim(node->Skeleton, o.anim);
    Advance(node, o.seconds);
    UpdateSkinnedGeometry(node);
    PrintState(node, o.vertices);

    DisposeAllObjects();
    FreeAllSkeletonFiles(-1);
    TQ3D_DisposeAllContainers();
    OGL_DisposeVertexArrayMemory();
    gGameViewInfoPtr = nullptr;
    return 0;
}

// ---------------------------------------------------------------------------------------------------------
// The contact sheet
// ---------------------------------------------------------------------------------------------------------

ObjNode* gSheetNode;
std::vector<uint8_t> gCellPixels;

void DrawJointMarks(ObjNode* node)
{
    const SkeletonInfoType* info = node->Skeleton->info;
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableTexture2D();
    glDisable(GL_DEPTH_TEST);
    OGL_SetColor4f(1.0f, 0.55f, 0.1f, 1.0f);
    glBegin(GL_LINES);
    for (int j = 1; j < info->numJoints; j++) {
        if (info->joints[j].parentJoint < 0)
            continue;
        Point3D a, b;
        FindJointPosition(node, j, &a);
        FindJointPosition(node, info->joints[j].parentJoint, &b);
        glVertex3f(a.x, a.y, a.z);
        glVertex3f(b.x, b.y, b.z);
    }
    glEnd();
    OGL_SetColor4f(1.0f, 0.95f, 0.2f, 1.0f);
    glPointSize(3);
    glBegin(GL_POINTS);
    for (int j = 0; j < info->numJoints; j++) {
        Point3D p;
        FindJointPosition(node, j, &p);
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    OGL_PopState();
}

void DrawSheetCell()
{
    if (gCurrentPane == 0) {
        OGL_DisableCullFace(); // membranes and tunnels are seen from both sides
        DrawSkinnedMeshes(gSheetNode);
        OGL_EnableCullFace();
        DrawJointMarks(gSheetNode);
    } else if (gCurrentPane == gNumPanes) {
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kCellSize, kCellSize, GL_RGBA, GL_UNSIGNED_BYTE, gCellPixels.data());
    }
}

void CopyCell(Image* sheet, int column, int row)
{
    int left = column * (kCellSize + kCellGap) + kCellGap;
    int top = row * (kCellSize + kCellGap) + kCellGap;
    for (int y = 0; y < kCellSize; y++) {
        const uint8_t* from = &gCellPixels[size_t(kCellSize - 1 - y) * kCellSize * 4];
        uint8_t* to = &sheet->pixels[(size_t(top + y) * sheet->width + left) * 4];
        for (int x = 0; x < kCellSize; x++) {
            memcpy(to + x * 4, from + x * 4, 3);
            to[x * 4 + 3] = 255;
        }
    }
}

// The rest model's box: every creature is framed by it, so motion shows against a fixed camera.
BoundingBox RestBounds(const SkeletonInfoType* info)
{
    BoundingBox box = {1e9f, 1e9f, 1e9f, -1e9f, -1e9f, -1e9f, false};
    for (int p = 0; p < info->skinPointCount; p++) {
        const Point3D& q = info->skinPoints[p].modelPoint;
        box.minX = std::min(box.minX, q.x);
        box.minY = std::min(box.minY, q.y);
        box.minZ = std::min(box.minZ, q.z);
        box.maxX = std::max(box.maxX, q.x);
        box.maxY = std::max(box.maxY, q.y);
        box.maxZ = std::max(box.maxZ, q.z);
    }
    return box;
}

int RunSheetForm(const Options& o)
{
    if (!OpenHiddenWindow(kCellSize)) {
        std::fprintf(stderr, "quorvel-data skeleton: cannot open an OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    Tarnet::FSSpec spec = SkeletonSpec(o.file);
    int type = SkeletonTypeOfFile(o.file);
    gLoadedSkeletons[type] = LoadSkeletonFromSpec(&spec, type);
    gSkeletonMeshCount[type] = gLoadedSkeletons[type]->meshCount;
    const SkeletonInfoType* info = gLoadedSkeletons[type];
    if (o.anim >= info->animCount)
        ShowFatalAlert("SetSkeletonAnim: illegal animNum");

    BoundingBox box = RestBounds(info);
    Point3D centre = {(box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2, (box.minZ + box.maxZ) / 2};
    float dx = box.maxX - box.minX, dy = box.maxY - box.minY, dz = box.maxZ - box.minZ;
    float radius = std::max(1.0f, std::sqrt(dx * dx + dy * dy + dz * dz) / 2);
    float distance = radius / std::sin(kViewAngle / 2) * 0.8f;
    Vector3D eye;
    Normalize3XYZ(0.9f, 0.75f, -1.2f, &eye); // front right, above: the face and the tops of the wings

    gNumPanes = 1;
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearColor[0] = 0.30f;
    setup.clearColor[1] = 0.34f;
    setup.clearColor[2] = 0.40f;
    setup.nearClip = distance * 0.05f;
    setup.farClip = distance * 4;
    setup.fov = kViewAngle;
    setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = 0.35f;
    setup.lightCount = 2;
    Normalize3XYZ(-0.5f, -1.0f, 0.4f, &setup.lightDirection[0]);
    Normalize3XYZ(0.8f, 0.2f, -0.6f, &setup.lightDirection[1]);
    for (int c = 0; c < 3; c++)
        setup.lightColor[1][c] = 0.3f;
    setup.cameraFrom[0] = {centre.x + eye.x * distance, centre.y + eye.y * distance,
                           centre.z + eye.z * distance};
    setup.cameraTo[0] = centre;
    OGL_SetupGameView(&setup);

    int first = o.anim >= 0 ? o.anim : 0;
    int rows = o.anim >= 0 ? 1 : info->animCount;
    Image sheet;
    sheet.width = kMoments * (kCellSize + kCellGap) + kCellGap;
    sheet.height = std::max(1, rows) * (kCellSize + kCellGap) + kCellGap;
    sheet.channels = 4;
    sheet.pixels.assign(size_t(sheet.width) * sheet.height * 4, 24);
    gCellPixels.resize(size_t(kCellSize) * kCellSize * 4);

    Options place;
    gSheetNode = MakeCreature(type, place);
    for (int row = 0; row < rows; row++) {
        int anim = first + row;
        SetSkeletonAnim(gSheetNode->Skeleton, anim);
        float length = std::max(1.0f, gSheetNode->Skeleton->animLength);
        float done = 0;
        std::printf("animation %d: %g ticks\n", anim, length);
        for (int m = 0; m < kMoments; m++) {
            // Moments spread over the animation, the last one at its end.
            float at = length * float(m) / float(kMoments - 1) / ANIMATION_TICKS_PER_SECOND;
            Advance(gSheetNode, at - done);
            done = at;
            UpdateSkinnedGeometry(gSheetNode);
            OGL_DrawScene(DrawSheetCell);
            CopyCell(&sheet, m, row);
        }
    }

    DisposeAllObjects();
    FreeAllSkeletonFiles(-1);
    TQ3D_DisposeAllContainers();
    OGL_DisposeGameView();
    CloseWindow();
    WritePngFile(o.picture, sheet);
    std::printf("%d animation%s, %d x %d contact sheet written to %s\n", rows, rows == 1 ? "" : "s",
                sheet.width, sheet.height, o.picture.c_str());
    return 0;
}

} // namespace

int RunSkeletonCommand(const CommandArgs& args)
{
    Options o;
    if (!ParseOptions(args, &o)) {
        std::fprintf(stderr,
                     "usage: quorvel-data skeleton FILE.skeleton OUT.png [--anim A]\n"
                     "       quorvel-data skeleton FILE.skeleton --anim A --seconds S [--position X Y Z]"
                     " [--rotation X Y Z] [--scale K] [--vertices]\n");
        return 2;
    }
    Tarnet::Startup();
    SetAlertPresenter(QuietPresenter);
    MO_InitMetaObjectList();
    TQ3D_InitContainers();
    InitSkeletonManager();
    InitObjectPool();
    return o.picture.empty() ? RunPrintForm(o) : RunSheetForm(o);
}
