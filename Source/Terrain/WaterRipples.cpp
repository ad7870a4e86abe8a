// WaterRipples.cpp: expanding rings on the water. A fixed pool of 100; a full pool drops new ripples
// without a word. One ripple object moves and draws them all, and exists only while any is active.
#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/Water.h"

struct Ripple
{
    bool active;
    float x, y, z;
    float alpha;
    float fadeRate; // alpha lost per second
    float size;     // half-width
    float growth;   // size gained per second
};

static Ripple gRipples[MAX_RIPPLES];
static int gNumActiveRipples = 0;
static ObjNode* gRippleObject = nullptr;

constexpr int kRippleSprite = 4;      // in the global sprite group
constexpr float kAboveSurface = 0.5f; // keeps the ring off the water it lies on
constexpr uint32_t kRippleDrawFlags = NODEBIT_SHOW_BACKFACES | NODEBIT_LIGHTING_OFF |
                                      NODEBIT_DEPTH_WRITE_OFF | NODEBIT_FOG_OFF | NODEBIT_ADDITIVE;

int GetActiveRippleCount()
{
    return gNumActiveRipples;
}

void ClearRipplePool()
{
    for (Ripple& ripple : gRipples)
        ripple.active = false;
    gNumActiveRipples = 0;
    gRippleObject = nullptr; // the level's objects, this one among them, are gone
}

static void MoveRipples(ObjNode* node)
{
    for (Ripple& ripple : gRipples) {
        if (!ripple.active)
            continue;
        ripple.size += ripple.growth * gFrameSeconds;
        ripple.alpha -= ripple.fadeRate * gFrameSeconds;
        if (ripple.alpha <= 0) {
            ripple.active = false;
            gNumActiveRipples--;
        }
    }
    if (gNumActiveRipples <= 0)
        DisposeObject(node);
}

static void DrawRipples(ObjNode*)
{
    if (gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] <= kRippleSprite)
        return;
    MO_DrawMaterial(gSpriteGroupList[SPRITE_GROUP_GLOBAL][kRippleSprite].materialObject);
    for (const Ripple& ripple : gRipples) {
        if (!ripple.active)
            continue;
        OGL_SetColor4f(1, 1, 1, ripple.alpha);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex3f(ripple.x - ripple.size, ripple.y, ripple.z - ripple.size);
        glTexCoord2f(1, 0);
        glVertex3f(ripple.x + ripple.size, ripple.y, ripple.z - ripple.size);
        glTexCoord2f(1, 1);
        glVertex3f(ripple.x + ripple.size, ripple.y, ripple.z + ripple.size);
        glTexCoord2f(0, 1);
        glVertex3f(ripple.x - ripple.size, ripple.y, ripple.z + ripple.size);
        glEnd();
    }
    OGL_SetColor4f(1, 1, 1, 1);
    gDrawOpacity = 1.0f;
}

static void ForgetRippleObject(ObjNode* node)
{
    if (node == gRippleObject)
        gRippleObject = nullptr;
}

static void MakeRippleObject(int slot)
{
    if (gRippleObject)
        return;
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = int16_t(slot);
    def.statusFlags = kRippleDrawFlags;
    def.moveProc = MoveRipples;
    def.drawProc = DrawRipples;
    def.scale = 1;
    gRippleObject = MakeNewObject(&def);
    gRippleObject->DestroyProc = ForgetRippleObject;
}

// A free pool entry, or null when the pool is full.
static Ripple* TakeRipple()
{
    for (Ripple& ripple : gRipples) {
        if (!ripple.active) {
            ripple.active = true;
            gNumActiveRipples++;
            return &ripple;
        }
    }
    return nullptr;
}

void SpawnWaterRipples(float x, float z, float baseSize, float baseGrowth, float fadeRate, int count)
{
    float surface;
    if (!WaterHeightAt(x, z, &surface))
        return; // dry ground
    MakeRippleObject(RIPPLE_SLOT_WATER);
    for (int i = 0; i < count; i++) {
        Ripple* ripple = TakeRipple();
        if (!ripple)
            return;
        ripple->x = x, ripple->y = surface + kAboveSurface, ripple->z = z;
        ripple->size = RandomUnit() * baseSize * 2 + baseSize;
        ripple->growth = RandomUnit() * baseGrowth * 3 + baseGrowth;
        ripple->fadeRate = fadeRate;
        ripple->alpha = 0.999f - RandomUnit() * 0.3f;
    }
}

void SpawnRipple(const Point3D* point, float baseSize, float growth, float fadeRate)
{
    MakeRippleObject(RIPPLE_SLOT_POINT);
    Ripple* ripple = TakeRipple();
    if (!ripple)
        return;
    ripple->x = point->x, ripple->y = point->y + kAboveSurface, ripple->z = point->z;
    ripple->size = RandomUnit() * 30 + baseSize;
    ripple->growth = growth;
    ripple->fadeRate = fadeRate;
    ripple->alpha = 0.999f - RandomUnit() * 0.2f;
}
