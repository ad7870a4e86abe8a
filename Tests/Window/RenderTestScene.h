// Scene pieces shared by the render window tests: a view over the test window and simple meshes.
#pragma once

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Support/AlertCapture.h"
#include "Support/TestWindow.h"
#include "System/Prefs.h"

#include <algorithm>
#include <cstring>

// A 640 x 480 window with a game view made from the setup the test adjusts in AdjustSetup.
class RenderWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        gPrefs.stereoMode = 0;
        gPrefs.splitScreenMode = 1;
        gNumPanes = 1;
        MO_InitMetaObjectList();
        OGL_NewViewSetup(&setup);
    }
    void TearDown() override
    {
        if (gGameViewInfoPtr)
            OGL_DisposeGameView();
        gPrefs.stereoMode = 0;
        gNumPanes = 1;
        WindowTest::TearDown();
    }
    void MakeView() { OGL_SetupGameView(&setup); }

    ViewSetupRecord setup;
};

// A material of one colour, optionally with a texture name it then owns.
inline MetaObject* MakeColorMaterial(float r, float g, float b, float a, GLuint texture = 0,
                                     uint32_t flags = 0)
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.flags = flags | (texture ? MO_MATERIAL_FLAG_TEXTURED : 0);
    material.diffuseColor[0] = r;
    material.diffuseColor[1] = g;
    material.diffuseColor[2] = b;
    material.diffuseColor[3] = a;
    if (texture) {
        material.numMipmaps = 1;
        material.textureName[0] = texture;
    }
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

// A rectangle facing +z (counter-clockwise seen from the front), split into cols x rows quads, with
// normals +z and uvs 0..1; corners at (x0, y0) and (x1, y1), depth z. The material (may be null) gains
// a reference.
inline MetaObject* MakeGridMesh(float x0, float y0, float x1, float y1, float z, int cols, int rows,
                                MetaObject* material)
{
    VertexArrayGeometry g;
    memset(&g, 0, sizeof(g));
    g.varPool = -1;
    g.numMaterials = material ? 1 : 0;
    g.materials[0] = material;
    g.numPoints = (cols + 1) * (rows + 1);
    g.numTriangles = cols * rows * 2;
    g.points = (Point3D*)AllocPtr(g.numPoints * sizeof(Point3D));
    g.normals = (Vector3D*)AllocPtr(g.numPoints * sizeof(Vector3D));
    g.uvs[0] = (float*)AllocPtr(g.numPoints * 2 * sizeof(float));
    g.triangles = (uint32_t*)AllocPtr(g.numTriangles * 3 * sizeof(uint32_t));
    for (int row = 0; row <= rows; row++) {
        for (int col = 0; col <= cols; col++) {
            int i = row * (cols + 1) + col;
            float u = (float)col / cols, v = (float)row / rows;
            g.points[i] = {x0 + (x1 - x0) * u, y0 + (y1 - y0) * v, z};
            g.normals[i] = {0, 0, 1};
            g.uvs[0][i * 2] = u;
            g.uvs[0][i * 2 + 1] = v;
        }
    }
    uint32_t* t = g.triangles;
    for (int row = 0; row < rows; row++) {
        for (int col = 0; col < cols; col++) {
            uint32_t a = row * (cols + 1) + col, b = a + 1, c = a + cols + 1, d = c + 1;
            *t++ = a;
            *t++ = b;
            *t++ = d;
            *t++ = a;
            *t++ = d;
            *t++ = c;
        }
    }
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &g);
}

// Mean brightness (r + g + b) / 3 of a pixel.
inline int Brightness(Rgba p)
{
    return (p.r + p.g + p.b) / 3;
}
