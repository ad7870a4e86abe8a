// Models whose second texture layer scrolls on its own: the wormholes and the shield bubble.

#include "Gameplay/Effects.h"

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"

#include <GL/gl.h>

void DrawWithScrolledSecondLayer(ObjNode* node)
{
    OGL_SetActiveTextureUnit(1);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(node->ExtraFloats[0], node->ExtraFloats[1], 0);
    glMatrixMode(GL_MODELVIEW);
    OGL_SetActiveTextureUnit(0);

    if (node->Skeleton)
        DrawSkinnedMeshes(node);
    else if (node->BaseGroup)
        MO_DrawObject(node->BaseGroup);

    // The next object's second layer must not inherit this one's scroll.
    OGL_SetActiveTextureUnit(1);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    OGL_SetActiveTextureUnit(0);
}
