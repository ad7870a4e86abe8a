// InfobarGauges.cpp: the three round gauges, the weapon panel and the rotating mini-map, with the
// two-layer meshes the gauges and the map are drawn through (the second layer, the round mask, cuts
// them to a circle).
#include "Interface/InfobarLocal.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "System/Alerts.h"
#include "System/LevelGlobals.h"
#include "System/Memory.h"
#include "System/Prefs.h"
#include "Terrain/Terrain.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <iterator>

constexpr int kNumGauges = 3;
constexpr float kGaugeHalfSize = 19.35f;
constexpr float kMapHalfSize = 32;

struct GaugeDefinition
{
    int fillSprite, frameSprite;
    float anchorX; // from the left anchor; all hang 21.5 below the top
};

static const GaugeDefinition kGauges[kNumGauges] = {
    {HUD_SPRITE_HEALTH_FILL, HUD_SPRITE_HEALTH_FRAME, 21.5f},
    {HUD_SPRITE_SHIELD_FILL, HUD_SPRITE_SHIELD_FRAME, 64.5f},
    {HUD_SPRITE_FUEL_FILL, HUD_SPRITE_FUEL_FRAME, 107.5f},
};

// Where each level's map picture lies in map units: u = (mx - a) x ku, v = (mz - bz) x kv; the map
// shows u +- halfWindow, v +- halfWindow around the player.
struct MapCalibration
{
    float a, ku, bz, kv, halfWindow;
};

static const MapCalibration kMapCalibrations[NUM_LEVELS] = {
    {1175, 0.00011f, 911, 0.00011f, 0.18f},        {527, 0.0001057f, 275, 0.0001057f, 0.24f},
    {496, 0.0001029f, 192, 0.0001029f, 0.29f},     {779, 0.0001463f, 317, 0.0001463f, 0.3f},
    {743, 0.000148853f, 329, 0.000148853f, 0.25f}, {2732, 0.000371f, 1328, 0.000371f, 0.5f},
    {3152, 0.00054585f, 1692, 0.00054585f, 0.3f},  {1499, 0.0001999f, 809, 0.0001999f, 0.3f},
    {2544, 0.0002735f, 728, 0.0002735f, 0.5f},
};

static VertexArrayGeometry gGaugeMeshes[kNumGauges];
static VertexArrayGeometry gMapMesh;
static bool gMeshesMade = false;
static bool gMapMeshMade = false;

// --- Meshes ---

// A quad of four points on the heap, triangles (0, 1, 2) and (2, 0, 3), two layers.
static void MakeTwoLayerQuad(VertexArrayGeometry* mesh, MetaObject* layer0, MetaObject* layer1)
{
    *mesh = {};
    mesh->varPool = -1;
    mesh->numPoints = 4;
    mesh->numTriangles = 2;
    mesh->points = (Point3D*)AllocPtrClear(int32_t(sizeof(Point3D)) * 4);
    mesh->uvs[0] = (float*)AllocPtrClear(int32_t(sizeof(float)) * 8);
    mesh->uvs[1] = (float*)AllocPtrClear(int32_t(sizeof(float)) * 8);
    mesh->triangles = (uint32_t*)AllocPtr(int32_t(sizeof(uint32_t)) * 6);
    static const uint32_t kTriangles[6] = {0, 1, 2, 2, 0, 3};
    std::copy(std::begin(kTriangles), std::end(kTriangles), mesh->triangles);
    mesh->numMaterials = 2;
    mesh->materials[0] = MO_AddReference(layer0);
    mesh->materials[1] = MO_AddReference(layer1);
    mesh->bounds.isEmpty = true;
}

static void FreeTwoLayerQuad(VertexArrayGeometry* mesh)
{
    SafeDisposePtr(mesh->points);
    SafeDisposePtr(mesh->uvs[0]);
    SafeDisposePtr(mesh->uvs[1]);
    SafeDisposePtr(mesh->triangles);
    for (MetaObject*& material : mesh->materials) {
        if (material)
            MO_DisposeObjectReference(material);
        material = nullptr;
    }
    *mesh = {};
}

static MetaObject* InfobarMaterial(int sprite)
{
    GAME_ASSERT(gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] > sprite);
    return gSpriteGroupList[SPRITE_GROUP_INFOBAR][sprite].materialObject;
}

// The fill image multiplied by the round mask on the second unit.
static void MarkAsMaskedLayer(MetaObject* material, uint32_t extraFlags)
{
    MaterialRecord* record = MO_GetMaterialData(material);
    record->flags |= extraFlags;
    record->layerCombine = MO_LAYER_COMBINE_MODULATE;
}

void MakeInfobarMeshes()
{
    DisposeInfobarMeshes();
    MetaObject* mask = InfobarMaterial(HUD_SPRITE_ROUND_MASK);

    static const float kCorners[4][2] = {{-kGaugeHalfSize, -kGaugeHalfSize},
                                         {kGaugeHalfSize, -kGaugeHalfSize},
                                         {kGaugeHalfSize, kGaugeHalfSize},
                                         {-kGaugeHalfSize, kGaugeHalfSize}};
    static const float kMaskUVs[8] = {0, 1, 1, 1, 1, 0, 0, 0};
    for (int i = 0; i < kNumGauges; i++) {
        MetaObject* fill = InfobarMaterial(kGauges[i].fillSprite);
        MarkAsMaskedLayer(fill, MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_MULTITEXTURE);
        VertexArrayGeometry* mesh = &gGaugeMeshes[i];
        MakeTwoLayerQuad(mesh, fill, mask);
        for (int p = 0; p < 4; p++)
            mesh->points[p] = {kCorners[p][0], kCorners[p][1], 0};
        std::copy(std::begin(kMaskUVs), std::end(kMaskUVs), mesh->uvs[1]);
    }
    gMeshesMade = true;

    if (gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR_MAP] > 0) {
        MetaObject* map = gSpriteGroupList[SPRITE_GROUP_INFOBAR_MAP][0].materialObject;
        MarkAsMaskedLayer(map, MO_MATERIAL_FLAG_MULTITEXTURE);
        MakeTwoLayerQuad(&gMapMesh, map, mask);
        static const float kFullImage[8] = {0, 1, 1, 1, 1, 0, 0, 0};
        std::copy(std::begin(kFullImage), std::end(kFullImage), gMapMesh.uvs[1]);
        gMapMeshMade = true;
    }
}

void DisposeInfobarMeshes()
{
    if (gMeshesMade) {
        for (VertexArrayGeometry& mesh : gGaugeMeshes)
            FreeTwoLayerQuad(&mesh);
    }
    if (gMapMeshMade)
        FreeTwoLayerQuad(&gMapMesh);
    gMeshesMade = false;
    gMapMeshMade = false;
}

// --- Gauges ---

static float GaugeValue(const PlayerRecord& player, int gauge)
{
    float value = gauge == 0 ? player.health : gauge == 1 ? player.shieldTimer / 3.0f : player.jetFuel;
    return std::clamp(value, 0.0f, 1.0f);
}

void DrawGauges(int pane)
{
    if (!gMeshesMade)
        return;
    const PlayerRecord& player = gPlayers[pane];
    for (int i = 0; i < kNumGauges; i++) {
        // The fill image's upper half is the empty gauge, its lower half the full one: a window of
        // half its height slides down as the value rises.
        float v = GaugeValue(player, i);
        float vLow = v * 0.5f, vHigh = v * 0.5f + 0.5f;
        float* uvs = gGaugeMeshes[i].uvs[0];
        const float layer0[8] = {0, vLow, 1, vLow, 1, vHigh, 0, vHigh};
        std::copy(std::begin(layer0), std::end(layer0), uvs);

        glPushMatrix();
        glTranslatef(gHud.left + kGauges[i].anchorX, gHud.top + 21.5f, 0);
        if (!gPrefs.reducedDetail)
            DrawInfobarSpriteCentered(2, 2, 55.9f, HUD_SPRITE_SHADOW);
        MO_DrawGeometry_VertexArray(&gGaugeMeshes[i]);
        DrawInfobarSpriteCentered(0, 0, 43, kGauges[i].frameSprite);
        OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
        DrawInfobarSpriteCentered(0, 0, 43, HUD_SPRITE_GAUGE_SHINE);
        OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glPopMatrix();
    }
}

// --- Weapon panel ---

void DrawWeaponPanel(int pane)
{
    const PlayerRecord& player = gPlayers[pane];
    float x = gHud.left + 150, y = gHud.top;
    DrawInfobarSprite(x - 15, y - 5, 119, HUD_SPRITE_WEAPON_PLATE);
    DrawInfobarSprite(x, y, 85, HUD_SPRITE_WEAPON_PANEL);

    int weapon = player.currentWeapon;
    if (weapon < 0 || weapon >= NUM_WEAPON_AMMO_TYPES)
        return;
    DrawInfobarSprite(x + 2.21f, y + 2.04f, 38.25f, HUD_SPRITE_WEAPON_ICON_0 + weapon);

    float ammoX = x + 38.25f, ammoY = y + 18.87f;
    if (weapon == 3) {
        // The sonic scream's ammunition is its charge: up to nine marks.
        int marks = int(std::ceil(std::clamp(player.weaponCharge, 0.0f, 1.0f) * 9));
        for (int i = 0; i < marks; i++)
            DrawInfobarSprite(ammoX + 4.25f * float(i), ammoY, 8.5f, HUD_SPRITE_CHARGE_MARK);
        return;
    }
    int count = std::clamp(int(player.ammo[weapon]), 0, 999);
    float digitX = ammoX + 19.72f;
    for (int i = 0; i < 3; i++) {
        DrawInfobarSprite(digitX, ammoY, 17, HUD_SPRITE_DIGIT_0 + count % 10);
        count /= 10;
        digitX -= 9.86f;
    }
}

// --- Mini-map ---

// A world position as a point of the map picture.
static void MapCoordinates(const MapCalibration& cal, float worldX, float worldZ, float* u, float* v)
{
    *u = (worldX * gWorldToMap - cal.a) * cal.ku;
    *v = (worldZ * gWorldToMap - cal.bz) * cal.kv;
}

// The other player as a dot, where it lies on the turned map; nothing once it is off the disc.
static void DrawRivalOnMap(int pane, const MapCalibration& cal, float u, float v, float mapX, float mapY,
                           float cosH, float sinH)
{
    if (gNumPanes < 2)
        return;
    const PlayerRecord& rival = gPlayers[1 - pane];
    if (!rival.objNode)
        return;
    float ru, rv;
    MapCoordinates(cal, rival.coord.x, rival.coord.z, &ru, &rv);
    float dx = (ru - u) / cal.halfWindow * kMapHalfSize;
    float dy = (rv - v) / cal.halfWindow * kMapHalfSize;
    float x = dx * cosH - dy * sinH, y = dx * sinH + dy * cosH;
    if (x * x + y * y > 29.0f * 29.0f)
        return;
    DrawInfobarSpriteCentered(mapX + x, mapY + y, 12, HUD_SPRITE_MAP_RIVAL);
}

void DrawMiniMap(int pane)
{
    if (!gMapMeshMade || gLevelIndex < 0 || gLevelIndex >= NUM_LEVELS)
        return;
    const MapCalibration& cal = kMapCalibrations[gLevelIndex];
    const PlayerRecord& player = gPlayers[pane];
    float heading = player.objNode ? player.objNode->Rotation.y : player.startHeading;
    float mapX = gHud.right - 55, mapY = gHud.bottom - 48;

    // 1. The corners turn with the heading, so what lies ahead is always up.
    static const float kCorners[4][2] = {{-kMapHalfSize, kMapHalfSize},
                                         {kMapHalfSize, kMapHalfSize},
                                         {kMapHalfSize, -kMapHalfSize},
                                         {-kMapHalfSize, -kMapHalfSize}};
    float cosH = std::cos(heading), sinH = std::sin(heading);
    for (int i = 0; i < 4; i++) {
        float x = kCorners[i][0], y = kCorners[i][1];
        gMapMesh.points[i] = {mapX + x * cosH - y * sinH, mapY + x * sinH + y * cosH, 0};
    }

    // 2. The window of the picture around the player.
    float u, v;
    MapCoordinates(cal, player.coord.x, player.coord.z, &u, &v);
    float h = cal.halfWindow;
    const float window[8] = {u - h, v + h, u + h, v + h, u + h, v - h, u - h, v - h};
    std::copy(std::begin(window), std::end(window), gMapMesh.uvs[0]);

    // 3. Shadow, backing, the map, the frame, the glass, and the players on top.
    if (!gPrefs.reducedDetail)
        DrawInfobarSpriteCentered(mapX + 3, mapY + 3, 104, HUD_SPRITE_SHADOW);
    DrawInfobarSpriteCentered(mapX, mapY, 80, HUD_SPRITE_MAP_BACKING);
    MO_DrawGeometry_VertexArray(&gMapMesh);
    DrawInfobarSpriteCentered(mapX, mapY, 80, HUD_SPRITE_MAP_FRAME);
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawInfobarSpriteCentered(mapX, mapY, 80, HUD_SPRITE_MAP_GLOW);
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawRivalOnMap(pane, cal, u, v, mapX, mapY, cosH, sinH);
    DrawInfobarSpriteCentered(mapX, mapY, 11, HUD_SPRITE_MAP_SELF);
}
