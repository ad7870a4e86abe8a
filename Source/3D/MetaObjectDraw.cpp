// MetaObjectDraw.cpp: the draw walk that turns a MetaObject tree into fixed-function OpenGL. Every state
// change goes through the caches of the OpenGL support, and each mesh is one indexed draw call.
#include "3D/MetaObjects.h"
#include "3D/OGL_Local.h"
#include "Interface/Overlay.h"
#include "System/Alerts.h"

#include <cmath>

MetaObject* gLastAppliedMaterial = nullptr;
uint32_t gMaterialFlagsOverride = 0;
float gDrawOpacity = 1.0f;
float gDrawTint[3] = {1, 1, 1};
int32_t gTrianglesDrawn = 0;

// Wrapping is a property of the texture object; the material's *_SET bits record what it has now.
static void ApplyWrapping(MaterialRecord* material, uint32_t flags, uint32_t clampFlag, uint32_t setFlag,
                          GLenum wrapParameter)
{
    if ((flags & clampFlag) && !(material->flags & setFlag)) {
        glTexParameteri(GL_TEXTURE_2D, wrapParameter, GL_CLAMP_TO_EDGE);
        material->flags |= setFlag;
    } else if (!(flags & clampFlag) && (material->flags & setFlag)) {
        glTexParameteri(GL_TEXTURE_2D, wrapParameter, GL_REPEAT);
        material->flags &= ~setFlag;
    }
}

void MO_DrawMaterial(MetaObject* materialObject)
{
    if (materialObject->cookie != MO_COOKIE)
        ShowFatalAlert("MO_DrawMaterial: bad cookie!");
    MaterialRecord* material = MO_GetMaterialData(materialObject);
    uint32_t flags = material->flags | gMaterialFlagsOverride;

    // 1. Texture: a material applied twice in a row keeps its binding.
    if (flags & MO_MATERIAL_FLAG_TEXTURED) {
        if (materialObject == gLastAppliedMaterial)
            OGL_EnableTexture2D();
        else
            OGL_Texture_SetOpenGLTexture(material->textureName[0]);
        ApplyWrapping(material, flags, MO_MATERIAL_FLAG_CLAMP_U, MO_MATERIAL_FLAG_CLAMP_U_SET,
                      GL_TEXTURE_WRAP_S);
        ApplyWrapping(material, flags, MO_MATERIAL_FLAG_CLAMP_V, MO_MATERIAL_FLAG_CLAMP_V_SET,
                      GL_TEXTURE_WRAP_T);
    } else {
        OGL_DisableTexture2D();
    }

    // 2. Colour, faded by the object's opacity and tinted by its tint.
    float r = material->diffuseColor[0] * gDrawTint[0];
    float g = material->diffuseColor[1] * gDrawTint[1];
    float b = material->diffuseColor[2] * gDrawTint[2];
    float a = material->diffuseColor[3];
    if (gDrawOpacity != 1.0f)
        a *= gDrawOpacity;
    OGL_SetColor4f(r, g, b, a);

    // 3. Blending only where something can show through.
    if (a != 1.0f || (flags & MO_MATERIAL_FLAG_ALWAYS_BLEND))
        OGL_EnableBlend();
    else
        OGL_DisableBlend();

    gLastAppliedMaterial = materialObject;
}

// How a second texture layer combines with the first.
static void SetLayerCombine(uint16_t layerCombine)
{
    switch (layerCombine) {
    case MO_LAYER_COMBINE_MODULATE:
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        break;
    case MO_LAYER_COMBINE_ADD_COLOR:
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_ADD);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
        break;
    case MO_LAYER_COMBINE_ADD_COLOR_ALPHA:
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_ADD);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_ADD);
        break;
    default:
        break;
    }
}

// Layers of their own per unit: each unit gets its material and its texture coordinates. Model files
// store coordinates for the first layer only, so a layer without its own uses the first layer's.
static void SetupMultiLayerMaterials(const VertexArrayGeometry* data)
{
    MaterialRecord* firstMaterial = MO_GetMaterialData(data->materials[0]);
    for (int i = 0; i < data->numMaterials; i++) {
        OGL_SetActiveTextureUnit(i);
        OGL_EnableTexture2D();
        const float* layerUVs = data->uvs[i] ? data->uvs[i] : data->uvs[0];
        if (layerUVs) {
            glTexCoordPointer(2, GL_FLOAT, 0, layerUVs);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY); // never a pointer left by another mesh
        }
        if (i == 0) {
            MO_DrawMaterial(data->materials[0]);
            gLastAppliedMaterial = nullptr; // unit 1 binds over it: the next material must bind again
        } else {
            SetLayerCombine(firstMaterial->layerCombine);
            MO_DrawMaterial(data->materials[i]);
        }
    }
    OGL_SetActiveTextureUnit(0);
}

// A reflection layer on unit 1 over the first layer: the sphere map of envMapNum, with generated
// coordinates. Any layer mode other than 0 draws no second layer. Returns whether the layer is in use
// (it needs normals even with lighting off).
static bool SetupSphereMapLayer(const MaterialRecord* material)
{
    if (material->envMapNum >= gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS])
        ShowFatalAlert("MO_DrawGeometry_VertexArray: illegal envMapNum");
    if (material->layerMode != 0)
        return false;

    OGL_EnableTexture2D();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    OGL_SetActiveTextureUnit(1);
    OGL_EnableTexture2D();
    MO_DrawMaterial(gSpriteGroupList[SPRITE_GROUP_REFLECTIONS][material->envMapNum].materialObject);
    SetLayerCombine(material->layerCombine);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    OGL_SetActiveTextureUnit(0);
    return true;
}

void MO_DrawGeometry_VertexArray(VertexArrayGeometry* data)
{
    bool useLayers = false;
    bool sphereMapped = false;

    // 1. Positions, and vertex colours when the mesh has them.
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, data->points);
    if (data->colors) {
        glColorPointer(4, GL_FLOAT, 0, data->colors);
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    OGL_CheckGLError(__FILE__, __LINE__);

    // 2. Texture layers.
    if (data->numMaterials == 0) {
        OGL_DisableTexture2D();
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    } else if (data->numMaterials >= 2) {
        SetupMultiLayerMaterials(data);
        useLayers = true;
    } else {
        // One layer, or none of its own (terrain): the material applied last decides.
        if (data->numMaterials == 1)
            MO_DrawMaterial(data->materials[0]);
        const MaterialRecord* material =
            gLastAppliedMaterial ? MO_GetMaterialData(gLastAppliedMaterial) : nullptr;
        if (material && (material->flags & MO_MATERIAL_FLAG_TEXTURED) && data->uvs[0]) {
            // The first layer's coordinates come first whatever lies on top: a material whose second
            // layer is off must not draw from the array a previous mesh left behind.
            glTexCoordPointer(2, GL_FLOAT, 0, data->uvs[0]);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            if (material->flags & MO_MATERIAL_FLAG_MULTITEXTURE) {
                useLayers = true;
                sphereMapped = SetupSphereMapLayer(material);
            }
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    OGL_CheckGLError(__FILE__, __LINE__);

    // 3. Normals only matter to lighting and to sphere mapping.
    if (data->normals && (OGL_IsLightingOn() || sphereMapped)) {
        glNormalPointer(GL_FLOAT, 0, data->normals);
        glEnableClientState(GL_NORMAL_ARRAY);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }

    // 4. The whole mesh in one call.
    if (data->numTriangles > 0) {
        GAME_ASSERT(data->triangles);
        glDrawElements(GL_TRIANGLES, data->numTriangles * 3, GL_UNSIGNED_INT, data->triangles);
        OGL_CountDrawCall();
    }
    gTrianglesDrawn += data->numTriangles;
    OGL_CheckGLError(__FILE__, __LINE__);

    // 5. Leave unit 1 off and unit 0 plain for whoever draws next. The material applied last was bound
    //    on unit 1, so the next material must bind again.
    if (useLayers) {
        OGL_SetActiveTextureUnit(1);
        OGL_DisableTexture2D();
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        OGL_SetActiveTextureUnit(0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        gLastAppliedMaterial = nullptr;
    }
}

// A full-screen picture, scaled up on screens taller than 4:3 so that it still covers them.
static void DrawPicture(MetaObject* obj)
{
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(-5, 1); // the picture sits just behind the screen in stereo

    float s = (1.0f / gPaneAspectRatio) / (4.0f / 3.0f);
    s = fminf(fmaxf(s, 1.0f), 3.0f);
    glTranslatef(320, (s - 1) * 0.333f * 480 + 240, 0);
    glScalef(s, s, 1);

    MO_DrawMaterial(MO_GetPictureData(obj)->material);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(-320, 240);
    glTexCoord2f(1, 1);
    glVertex2f(320, 240);
    glTexCoord2f(1, 0);
    glVertex2f(320, -240);
    glTexCoord2f(0, 0);
    glVertex2f(-320, -240);
    glEnd();
    OGL_CountDrawCall();
    gTrianglesDrawn += 2;
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

// A 2D sprite quad in the current (overlay) projection.
static void DrawSprite(MetaObject* obj)
{
    const SpriteRecord* sprite = MO_GetSpriteData(obj);
    MO_DrawMaterial(sprite->material);

    const MaterialRecord* material = MO_GetMaterialData(sprite->material);
    float w = sprite->scaleX;
    float h = sprite->scaleY * ((float)material->height / (float)material->width);
    Point2D corners[4];
    if (sprite->centered) {
        corners[0] = {-w / 2, -h / 2};
        corners[1] = {w / 2, -h / 2};
        corners[2] = {w / 2, h / 2};
        corners[3] = {-w / 2, h / 2};
    } else {
        corners[0] = {0, 0};
        corners[1] = {w, 0};
        corners[2] = {w, h};
        corners[3] = {0, h};
    }
    if (sprite->rotation != 0) {
        Matrix3x3 rotation;
        Matrix2DRotate(&rotation, sprite->rotation);
        TransformPoints2D(corners, &rotation, corners, 4);
    }

    static const float kUVs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        glTexCoord2fv(kUVs[i]);
        glVertex3f(corners[i].x + sprite->position.x, corners[i].y + sprite->position.y, sprite->position.z);
    }
    glEnd();
    OGL_CountDrawCall();
    gTrianglesDrawn += 2;
}

void MO_DrawObject(MetaObject* obj)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_DrawObject: cookie is invalid!");

    switch (obj->type) {
    case MO_TYPE_GEOMETRY:
        if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("MO_DrawObject: unknown sub-type!");
        MO_DrawGeometry_VertexArray(MO_GetGeometryData(obj));
        break;
    case MO_TYPE_GROUP: {
        // The push scopes matrices and materials met inside the group to its later members.
        MetaObjectGroupData* group = MO_GetGroupData(obj);
        OGL_PushState();
        for (int i = 0; i < group->numObjectsInGroup; i++)
            MO_DrawObject(group->objects[i]);
        OGL_PopState();
        break;
    }
    case MO_TYPE_MATERIAL:
        MO_DrawMaterial(obj);
        break;
    case MO_TYPE_MATRIX:
        glMultMatrixf(MO_GetMatrixData(obj)->value);
        break;
    case MO_TYPE_PICTURE:
        DrawPicture(obj);
        break;
    case MO_TYPE_SPRITE:
        DrawSprite(obj);
        break;
    default:
        ShowFatalAlert("MO_DrawObject: unknown type!");
    }
}
