// ObjectDraw.cpp: per-pane culling and the draw pass over the object list.
//
// The pass switches render state only where it differs from the node drawn before, so nodes that share
// settings should share a slot range. Lighting, face culling, fog and blending go through the renderer's
// caches; depth test, depth writes, alpha test and normal rescaling have no cache and are tracked here.
#include <algorithm>
#include <cmath>

#include "3D/OGL_Support.h"
#include "Objects/ObjectsLocal.h"

// The level set-up writes these from the far clip distance.
float gFadeStartDistance = 0.0f;
float gFadeEndDistance = 0.0f;

// The node bits that choose render state, with NODEBIT_ALPHA_TEST kept only while the strict alpha test
// applies (fully opaque nodes).
constexpr uint32_t kRenderStateBits = NODEBIT_SHOW_BACKFACES | NODEBIT_LIGHTING_OFF | NODEBIT_FOG_OFF |
                                      NODEBIT_ADDITIVE | NODEBIT_CLAMP_UV | NODEBIT_DEPTH_WRITE_OFF |
                                      NODEBIT_DEPTH_TEST_OFF | NODEBIT_ALPHA_TEST;
// Lighting and fog are not put back: every node sets both for itself before it draws.
constexpr uint32_t kRestoredStateBits = kRenderStateBits & ~(NODEBIT_LIGHTING_OFF | NODEBIT_FOG_OFF);

constexpr float kStrictAlphaThreshold = 0.6f;
constexpr uint32_t kClampFlags = MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V;

static uint32_t CulledBit(int pane)
{
    return NODEBIT_CULLED_PANE0 << pane;
}

void MakeOverlayOnly(ObjNode* node)
{
    node->StatusFlags |= NODEBIT_PANE_ONLY;
    node->PaneIndex = uint8_t(gNumPanes);
}

bool IsNodeCulledInAllPanes(const ObjNode* node)
{
    for (int pane = 0; pane < gNumPanes; pane++) {
        if (!(node->StatusFlags & CulledBit(pane)))
            return false;
    }
    return true;
}

void CullObjectsForPane(int pane)
{
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        node->StatusFlags &= ~CulledBit(pane);
        // Invisible nodes, nodes that ask not to be culled and nodes without a known box are kept.
        if ((node->StatusFlags & (NODEBIT_INVISIBLE | NODEBIT_NO_CULLING)) || node->ModelBounds.isEmpty)
            continue;

        bool visible;
        if (node->Genre == SKELETON_GENRE) {
            // The skinned box is already posed and turned; only its placement is missing.
            Matrix4x4 placement;
            MatrixTranslate(&placement, node->Position.x, node->Position.y, node->Position.z);
            visible = IsBoxVisible(&node->ModelBounds, &placement);
        } else {
            visible = IsBoxVisible(&node->ModelBounds, &node->Transform);
        }
        if (!visible)
            node->StatusFlags |= CulledBit(pane);
    }
}

static bool IsNodeDrawnInPane(const ObjNode* node, int pane)
{
    uint32_t flags = node->StatusFlags;
    if (flags & (NODEBIT_INVISIBLE | CulledBit(pane)))
        return false;
    if (flags & NODEBIT_PANE_ONLY) {
        if (node->PaneIndex != pane)
            return false;
    } else if (pane == gNumPanes) {
        return false; // the overlay pass draws only overlay nodes
    }
    return node->CType != INVALID_NODE_FLAG && node->Tint.a > 0.0f;
}

// Lowers *opacity with the distance from the pane's camera; false (and culled in the pane) once the node
// has faded out completely.
static bool FadeWithDistance(ObjNode* node, int pane, const Point3D* eye, float* opacity)
{
    if (gFadeStartDistance == 0.0f || !(node->StatusFlags & NODEBIT_DISTANCE_FADE))
        return true;

    // Cheap distance on the ground plane; big models start fading a little earlier.
    float dx = std::fabs(node->Position.x - eye->x);
    float dz = std::fabs(node->Position.z - eye->z);
    float distance = std::max(dx, dz) + 0.375f * std::min(dx, dz);
    if (!node->Skeleton && !node->ModelBounds.isEmpty)
        distance += 0.2f * (node->ModelBounds.maxX - node->ModelBounds.minX);

    if (distance >= gFadeStartDistance) {
        *opacity -= (distance - gFadeStartDistance) * (1.0f / (gFadeEndDistance - gFadeStartDistance));
        if (*opacity <= 0.0f) {
            node->StatusFlags |= CulledBit(pane);
            return false;
        }
    }
    return true;
}

static uint32_t RenderStateOfNode(const ObjNode* node, float opacity)
{
    uint32_t state = node->StatusFlags & kRenderStateBits;
    if (opacity != 1.0f)
        state &= ~NODEBIT_ALPHA_TEST; // a fading node must not lose its translucent pixels
    return state;
}

// Issues the render state for the bits of `changed`; `state` says which way each goes.
static void ApplyRenderState(uint32_t state, uint32_t changed)
{
    if (changed & NODEBIT_SHOW_BACKFACES) {
        if (state & NODEBIT_SHOW_BACKFACES)
            OGL_DisableCullFace();
        else
            OGL_EnableCullFace();
    }
    if (changed & NODEBIT_LIGHTING_OFF) {
        if (state & NODEBIT_LIGHTING_OFF)
            OGL_DisableLighting();
        else
            OGL_EnableLighting();
    }
    if ((changed & NODEBIT_FOG_OFF) && gGameViewInfoPtr->useFog) {
        if (state & NODEBIT_FOG_OFF)
            OGL_DisableFog();
        else
            OGL_EnableFog();
    }
    if (changed & NODEBIT_ADDITIVE) {
        if (state & NODEBIT_ADDITIVE) {
            OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
            gMaterialFlagsOverride |= MO_MATERIAL_FLAG_ALWAYS_BLEND;
        } else {
            OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            gMaterialFlagsOverride &= ~MO_MATERIAL_FLAG_ALWAYS_BLEND;
        }
    }
    if (changed & NODEBIT_CLAMP_UV) {
        if (state & NODEBIT_CLAMP_UV)
            gMaterialFlagsOverride |= kClampFlags;
        else
            gMaterialFlagsOverride &= ~kClampFlags;
    }
    if (changed & NODEBIT_DEPTH_WRITE_OFF)
        glDepthMask((state & NODEBIT_DEPTH_WRITE_OFF) ? GL_FALSE : GL_TRUE);
    if (changed & NODEBIT_DEPTH_TEST_OFF) {
        if (state & NODEBIT_DEPTH_TEST_OFF)
            glDisable(GL_DEPTH_TEST);
        else
            glEnable(GL_DEPTH_TEST);
    }
    if (changed & NODEBIT_ALPHA_TEST) {
        if (state & NODEBIT_ALPHA_TEST)
            glAlphaFunc(GL_GREATER, kStrictAlphaThreshold);
        else
            glAlphaFunc(GL_NOTEQUAL, 0.0f);
    }
}

// Turns the node about Y to face the camera on the ground plane.
static void TurnToCamera(ObjNode* node, const Point3D* eye)
{
    float angle = std::atan2(eye->x - node->Position.x, eye->z - node->Position.z);
    node->Rotation.y = angle + PI;
    RebuildNodeTransform(node);
}

static void DrawBoxLoop(float x1, float z1, float x2, float z2, float top, float bottom)
{
    glBegin(GL_LINE_LOOP);
    glVertex3f(x1, top, z1);
    glVertex3f(x2, top, z2);
    glVertex3f(x2, bottom, z2);
    glVertex3f(x1, bottom, z1);
    glEnd();
}

// Debug display: the node's collision boxes as yellow outlines.
static void DrawCollisionBoxes(const ObjNode* node)
{
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableTexture2D();
    OGL_SetColor4f(1.0f, 1.0f, 0.0f, 1.0f);
    for (int i = 0; i < node->HitBoxCount; i++) {
        const CollisionBox* box = &node->HitBoxes[i];
        DrawBoxLoop(box->left, box->front, box->right, box->front, box->top, box->bottom); // front face
        DrawBoxLoop(box->left, box->back, box->right, box->back, box->top, box->bottom);   // back face
        DrawBoxLoop(box->left, box->back, box->left, box->front, box->top, box->bottom);   // left face
        DrawBoxLoop(box->right, box->back, box->right, box->front, box->top, box->bottom); // right face
    }
    OGL_PopState();
}

static void DrawNodeByGenre(ObjNode* node)
{
    if (node->DrawProc) {
        node->DrawProc(node);
        return;
    }
    switch (node->Genre) {
    case SKELETON_GENRE:
        DrawSkeletonNode(node);
        break;
    case DISPLAY_GROUP_GENRE:
        DrawDisplayGroupNode(node);
        break;
    case SPRITE_GENRE:
        DrawSpriteNode(node);
        break;
    case TEXTMESH_GENRE:
        DrawTextMeshNode(node);
        break;
    case QUADMESH_GENRE:
        DrawQuadMeshNode(node);
        break;
    default: // custom-draw nodes draw only through DrawProc; invisible ones draw nothing
        break;
    }
}

static void SetTextureScroll(const ObjNode* node)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(node->TextureOffset.u, node->TextureOffset.v, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

static void ResetTextureScroll()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void DrawObjectList()
{
    const int pane = gCurrentPane;
    bool anyStateApplied = false; // the first drawn node sets every state, whatever was left before
    uint32_t appliedState = 0;
    bool normalizeOn = false;

    // 1. Cull against this pane's view; distance fading measures from its camera.
    CullObjectsForPane(pane);
    const Point3D* eye = &gGameViewInfoPtr->cameras[pane].eye;

    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        // 2. Skip nodes this pane does not show.
        if (!IsNodeDrawnInPane(node, pane))
            continue;

        // 3. Fade with distance; a node faded out is treated as culled.
        float opacity = node->Tint.a;
        if (!FadeWithDistance(node, pane, eye, &opacity))
            continue;

        // 4. The materials drawn next pick up the node's colour and opacity.
        gDrawTint[0] = node->Tint.r;
        gDrawTint[1] = node->Tint.g;
        gDrawTint[2] = node->Tint.b;
        gDrawOpacity = opacity;

        // 5. Render state, only where it differs from the previous node's.
        uint32_t state = RenderStateOfNode(node, opacity);
        ApplyRenderState(state, anyStateApplied ? (state ^ appliedState) : kRenderStateBits);
        appliedState = state;

        // 6. Billboards face the camera of the pane being drawn.
        if (node->StatusFlags & NODEBIT_BILLBOARD)
            TurnToCamera(node, eye);

        // 7. Debug display of the collision boxes.
        if (gDebugMode == 2)
            DrawCollisionBoxes(node);

        // 8. Colour, texture scrolling and normal rescaling for this node's draw.
        OGL_SetColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        bool scrolled = (node->StatusFlags & NODEBIT_TEXTURE_SCROLL) != 0;
        if (scrolled)
            SetTextureScroll(node);
        bool wantNormalize = !(node->StatusFlags & NODEBIT_LIGHTING_OFF) && node->Scale.y != 1.0f;
        if (!anyStateApplied || wantNormalize != normalizeOn) {
            if (wantNormalize)
                glEnable(GL_NORMALIZE);
            else
                glDisable(GL_NORMALIZE);
            normalizeOn = wantNormalize;
        }
        anyStateApplied = true;

        // 9. Draw.
        DrawNodeByGenre(node);

        // 10. The texture matrix is shared by everything drawn after.
        if (scrolled)
            ResetTextureScroll();
    }

    // Leave the defaults the rest of the frame expects.
    if (anyStateApplied)
        ApplyRenderState(0, appliedState & kRestoredStateBits);
    gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1.0f;
    gDrawOpacity = 1.0f;
    gMaterialFlagsOverride = 0;
    glEnable(GL_NORMALIZE);
}
