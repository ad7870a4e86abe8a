// TextMesh.cpp: text nodes and the layout of their meshes.
#include "3D/TextMesh.h"

#include "3D/Atlas.h"
#include "3D/OGL_Local.h"
#include "3D/QuadMesh.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"

#include <cstddef>

// The menus keep their row flags in the first bytes of the general block; the box lives at its end.
constexpr size_t kTextBoxOffset = sizeof(((ObjNode*)nullptr)->GeneralBlock) - sizeof(TextMeshBox);
static_assert(kTextBoxOffset % alignof(TextMeshBox) == 0);

TextMeshBox* TextMesh_GetBox(ObjNode* node)
{
    return reinterpret_cast<TextMeshBox*>(node->GeneralBlock + kTextBoxOffset);
}

ObjNode* TextMesh_NewEmpty(int capacity, ObjectDefinition* def)
{
    def->statusFlags |= NODEBIT_CLAMP_UV | NODEBIT_NO_CULLING | NODEBIT_LIGHTING_OFF |
                        NODEBIT_DEPTH_TEST_OFF | NODEBIT_DEPTH_WRITE_OFF | NODEBIT_FOG_OFF;
    def->genre = TEXTMESH_GENRE;
    int fontAtlasNum = def->artGroup;
    GAME_ASSERT((size_t)fontAtlasNum < (size_t)MAX_ATLASES);
    GAME_ASSERT(gAtlases[fontAtlasNum]);
    ObjNode* node = MakeQuadMesh(def, capacity, gAtlases[fontAtlasNum]->material);
    *TextMesh_GetBox(node) = {0, 0, 0, 0};
    return node;
}

ObjNode* TextMesh_New(const char* text, int flags, ObjectDefinition* def)
{
    ObjNode* node = TextMesh_NewEmpty(0, def);
    TextMesh_Update(text, flags, node);
    return node;
}

void TextMesh_Update(const char* text, int flags, ObjNode* node)
{
    GAME_ASSERT((size_t)node->ArtGroup < (size_t)MAX_ATLASES);
    const Atlas* font = gAtlases[node->ArtGroup];
    GAME_ASSERT(font);

    TextMetrics metrics;
    Atlas_ComputeMetrics(font, text, flags, &metrics);
    *TextMesh_GetBox(node) = {metrics.lineX[0], metrics.lineX[0] + metrics.maxWidth, metrics.lineY[0],
                              metrics.lineY[0] + metrics.totalHeight};

    VertexArrayGeometry* mesh = GetQuadMeshWithin(node);
    int quads = metrics.numQuads;
    if (mesh->pointCapacity < quads * 4)
        SetQuadMeshCapacity(mesh, quads);
    mesh->numTriangles = quads * 2;
    mesh->numPoints = quads * 4;
    if (quads == 0)
        return;

    GAME_ASSERT(mesh->uvs[0]);
    GAME_ASSERT(mesh->triangles);
    GAME_ASSERT(mesh->numMaterials == 1);
    GAME_ASSERT(mesh->materials[0]);
    Atlas_LayoutQuads(font, text, flags, &metrics, mesh->points, mesh->uvs[0], quads);
}

TextMeshExtents TextMesh_GetExtents(ObjNode* textNode)
{
    GAME_ASSERT(textNode->Genre == TEXTMESH_GENRE);
    const TextMeshBox* box = TextMesh_GetBox(textNode);
    TextMeshExtents extents;
    extents.top = textNode->Scale.y * box->textTop + textNode->Position.y;
    extents.bottom = textNode->Scale.y * box->textBottom + textNode->Position.y;
    extents.left = textNode->Scale.x * box->textLeft + textNode->Position.x;
    extents.right = textNode->Scale.x * box->textRight + textNode->Position.x;
    return extents;
}

void TextMesh_DrawExtents(ObjNode* node)
{
    TextMeshExtents e = TextMesh_GetExtents(node);
    float z = node->Position.z;
    OGL_PushState();
    OGL_DisableTexture2D();
    glBegin(GL_LINE_LOOP);
    glColor4f(1, 1, 1, 1);
    glVertex3f(e.left, e.top, z);
    glVertex3f(e.right, e.top, z);
    glColor4f(0, 0.5f, 1, 1);
    glVertex3f(e.right, e.bottom, z);
    glVertex3f(e.left, e.bottom, z);
    glEnd();
    float cachedColor[4]; // the colours above went around the colour cache: put its colour back
    OGL_GetCurrentColor(cachedColor);
    glColor4fv(cachedColor);
    OGL_PopState();
}
