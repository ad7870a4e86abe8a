// Where a shadow comes to rest as its owner moves: on the ground under the owner, turned to the slope and
// shrinking with the owner's height, or on the top of a shadow-surface box below the owner.

#include "Unit/Terrain/TerrainTestSupport.h"

#include "Objects/ObjNode.h"
#include "Objects/Shadows.h"

#include <cmath>

namespace {

constexpr uint32_t kShadowSurface = 0x80; // collision-type bit of objects shadows rest on

// One supertile whose ground falls toward +x: 1000 at x = 0, 50 lower per tile.
PlayfieldDescription SlopingMap()
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.heightDivisor = 210.0f; // heights in world units
    for (int row = 0; row <= p.mapDepth; row++)
        for (int col = 0; col <= p.mapWidth; col++)
            p.heights[size_t(row * (p.mapWidth + 1) + col)] = 1000.0f - col * 50.0f;
    return p;
}

} // namespace

class Shadows : public TerrainTest
{
protected:
    void SetUp() override
    {
        TerrainTest::SetUp();
        InitObjectPool();
        gFadeStartDistance = 0;
        Load(SlopingMap());
    }
    void TearDown() override
    {
        DisposeAllObjects();
        gFadeStartDistance = 0;
        TerrainTest::TearDown();
    }

    // A world object with one box from 10 below to 20 above its position.
    static ObjNode* MakeOwner(float x, float y, float z, int slot = 100)
    {
        ObjectDefinition def = {};
        def.genre = CUSTOM_DRAW_GENRE;
        def.position = {x, y, z};
        def.slot = int16_t(slot);
        def.rotationY = 0.5f;
        def.scale = 1;
        ObjNode* owner = MakeNewObject(&def);
        SetSingleCollisionBox(owner, 20, -10, -5, 5, 5, -5);
        return owner;
    }

    // A shadow-surface object whose box top is at `top` over x, z in [-100, 100] around (x, z).
    static ObjNode* MakeBlocker(float x, float z, float top, uint32_t ctype = kShadowSurface, int slot = 50)
    {
        ObjectDefinition def = {};
        def.genre = CUSTOM_DRAW_GENRE;
        def.position = {x, top, z};
        def.slot = int16_t(slot);
        def.scale = 1;
        ObjNode* blocker = MakeNewObject(&def);
        blocker->CType = ctype;
        SetSingleCollisionBox(blocker, 0, -50, -100, 100, 100, -100);
        return blocker;
    }

    static void MoveTo(ObjNode* owner, float x, float y, float z)
    {
        BeginNodeUpdate(owner);
        gWorkPos = {x, y, z};
        CommitNodeUpdate(owner);
    }
};

TEST_F(Shadows, NewShadowLiesOnTheGroundAfterEveryWorldObject)
{
    ObjNode* owner = MakeOwner(500, 1200, 600);
    ObjNode* shadow = MakeShadowNode(owner, 2, 3, 4, false);
    EXPECT_EQ(owner->Shadow, shadow);
    EXPECT_EQ(shadow->Slot, SHADOW_SLOT);
    EXPECT_EQ(shadow->Genre, CUSTOM_DRAW_GENRE);
    EXPECT_EQ(shadow->Variant, 2);
    EXPECT_EQ(shadow->StatusFlags, NODEBIT_LIGHTING_OFF | NODEBIT_DEPTH_WRITE_OFF);
    EXPECT_NEAR(shadow->Position.y, TerrainHeightAt(500, 600) + 2.1f, 1e-3f);
    EXPECT_FLOAT_EQ(shadow->Rotation.y, 0.5f);
    // It can be drawn before its owner ever moves: its transform already holds its place.
    EXPECT_FLOAT_EQ(shadow->Transform.value[13], shadow->Position.y);
    EXPECT_FLOAT_EQ(shadow->Transform.value[12], 500);

    // An owner drawn after the world objects gets its shadow right after it; faraway levels fade it.
    gFadeStartDistance = 1000;
    ObjNode* late = MakeOwner(500, 1200, 600, 3050);
    EXPECT_EQ(MakeShadowNode(late, 0, 1, 1, false)->Slot, 3051);
    EXPECT_TRUE(late->Shadow->StatusFlags & NODEBIT_DISTANCE_FADE);
}

TEST_F(Shadows, ShadowFollowsItsOwnerOntoTheSlopeAndShrinksWithHeight)
{
    ObjNode* owner = MakeOwner(500, 1200, 600);
    ObjNode* shadow = MakeShadowNode(owner, 0, 2, 3, false);
    owner->Tint.a = 0.5f;
    owner->StatusFlags |= NODEBIT_INVISIBLE;

    float ground = TerrainHeightAt(900, 700);
    MoveTo(owner, 900, ground + 410, 700); // its base (10 below) is 400 above the ground
    EXPECT_FLOAT_EQ(shadow->Position.x, 900);
    EXPECT_FLOAT_EQ(shadow->Position.z, 700);
    EXPECT_NEAR(shadow->Position.y, ground + 2.1f, 1e-3f);
    EXPECT_FLOAT_EQ(shadow->Tint.a, 0.45f);
    EXPECT_TRUE(shadow->StatusFlags & NODEBIT_INVISIBLE);
    float f = 1 - (400 - 2.1f) * 0.001f;
    EXPECT_NEAR(shadow->Scale.x, 2 * f, 1e-4f);
    EXPECT_NEAR(shadow->Scale.z, 3 * f, 1e-4f);

    // Laid on the slope: the shadow's up axis is the ground's normal, and the shrink is already drawn.
    Vector3D normal;
    GetTerrainNormalAt(900, 700, &normal);
    const float* m = shadow->Transform.value;
    float upLength = std::sqrt(m[4] * m[4] + m[5] * m[5] + m[6] * m[6]);
    EXPECT_NEAR(m[4] / upLength, normal.x, 1e-4f);
    EXPECT_NEAR(m[5] / upLength, normal.y, 1e-4f);
    float sideLength = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    EXPECT_NEAR(sideLength, 2 * f, 1e-3f);

    // Far above the ground the shadow is gone rather than turned inside out.
    owner->StatusFlags &= ~NODEBIT_INVISIBLE;
    MoveTo(owner, 900, ground + 3000, 700);
    EXPECT_FALSE(shadow->StatusFlags & NODEBIT_INVISIBLE);
    EXPECT_FLOAT_EQ(shadow->Scale.x, 0);
    EXPECT_FLOAT_EQ(shadow->Scale.z, 0);
}

TEST_F(Shadows, BoxBelowTheOwnerCatchesTheShadowFlatAndFullSize)
{
    float ground = TerrainHeightAt(800, 800);
    ObjNode* owner = MakeOwner(800, ground + 600, 800);
    ObjNode* shadow = MakeShadowNode(owner, 0, 2, 3, true);
    MoveTo(owner, 800, ground + 600, 800); // on the sloping ground first: tilted and shrunk
    ASSERT_LT(shadow->Scale.x, 2.0f);

    MakeBlocker(800, 800, ground + 300);
    MakeBlocker(800, 800, ground + 200); // lower: the highest surface wins
    MoveTo(owner, 810, ground + 600, 790);
    EXPECT_NEAR(shadow->Position.y, ground + 302.1f, 1e-3f);
    EXPECT_FLOAT_EQ(shadow->Scale.x, 2);
    EXPECT_FLOAT_EQ(shadow->Scale.z, 3);
    // Flat on the box top, turned with the owner, whatever tilt the ground gave it before.
    EXPECT_NEAR(shadow->Transform.value[4], 0, 1e-5f);
    EXPECT_NEAR(shadow->Transform.value[6], 0, 1e-5f);
    EXPECT_NEAR(shadow->Transform.value[0], 2 * std::cos(0.5f), 1e-4f);
    EXPECT_NEAR(shadow->Transform.value[13], ground + 302.1f, 1e-3f);
}

TEST_F(Shadows, OnlyShadowSurfacesUnderAndBelowTheOwnerCatchTheShadow)
{
    float ground = TerrainHeightAt(800, 800);
    ObjNode* owner = MakeOwner(800, ground + 600, 800);
    ObjNode* shadow = MakeShadowNode(owner, 0, 1, 1, true);

    MakeBlocker(800, 800, ground + 700);                       // above the owner's top
    MakeBlocker(1100, 800, ground + 300);                      // not under the owner
    MakeBlocker(800, 800, ground + 300, 0x10);                 // not a shadow surface
    MakeBlocker(800, 800, ground + 300, kShadowSurface, 3000); // not a world object
    owner->CType = kShadowSurface;                             // its own top is no resting place
    MoveTo(owner, 800, ground + 600, 800);
    EXPECT_NEAR(shadow->Position.y, ground + 2.1f, 1e-3f);

    // Without the blocker check the ground takes it even over a surface.
    ObjNode* other = MakeOwner(800, ground + 600, 800);
    ObjNode* otherShadow = MakeShadowNode(other, 0, 1, 1, false);
    MakeBlocker(800, 800, ground + 300);
    MoveTo(other, 800, ground + 600, 800);
    EXPECT_NEAR(otherShadow->Position.y, ground + 2.1f, 1e-3f);
}
