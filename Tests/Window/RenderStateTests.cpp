#include "RenderTestScene.h"

using RenderState = RenderWindowTest;

TEST_F(RenderState, RedundantStateChangesIssueNoOpenGLCall)
{
    MakeView();
    OGL_EnableBlend();
    OGL_SetColor4f(0.5f, 0.5f, 0.5f, 1);
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
    OGL_DisableLighting();
    int64_t before = gGLStateCallsTotal;

    OGL_EnableBlend();
    OGL_SetColor4f(0.5f, 0.5f, 0.5f, 1);
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE);
    OGL_DisableLighting();
    EXPECT_EQ(gGLStateCallsTotal, before);

    OGL_DisableBlend();
    EXPECT_EQ(gGLStateCallsTotal, before + 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(RenderState, SameMaterialTwiceCostsNoBindAndNoStateCall)
{
    MakeView();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    MetaObject* material = MakeColorMaterial(1, 0.5f, 0.25f, 0.5f, texture);
    MO_DrawMaterial(material);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "alpha below 1 blends";

    int64_t calls = gGLStateCallsTotal;
    int binds = gFrameStats.textureBinds;
    MO_DrawMaterial(material);
    EXPECT_EQ(gGLStateCallsTotal, calls);
    EXPECT_EQ(gFrameStats.textureBinds, binds);
    MO_DisposeObjectReference(material);
}

TEST_F(RenderState, OpacityAndTintReachTheColourAndOverrideForcesBlending)
{
    MakeView();
    MetaObject* material = MakeColorMaterial(1, 1, 1, 1);
    gDrawOpacity = 0.5f;
    gDrawTint[1] = 0.25f;
    MO_DrawMaterial(material);
    float color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 0.25f);
    EXPECT_FLOAT_EQ(color[3], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    gDrawOpacity = 1;
    gDrawTint[1] = 1;
    MO_DrawMaterial(material);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    gMaterialFlagsOverride = MO_MATERIAL_FLAG_ALWAYS_BLEND;
    MO_DrawMaterial(material);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    gMaterialFlagsOverride = 0;
    MO_DisposeObjectReference(material);
}

TEST_F(RenderState, PopRestoresWhatPushSavedAndTheMatrices)
{
    MakeView();
    OGL_DisableBlend();
    OGL_EnableLighting();
    OGL_SetColor4f(1, 1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    OGL_PushState();
    OGL_EnableBlend();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    OGL_BlendFunc(GL_ONE, GL_ONE);
    OGL_SetColor4f(0, 1, 0, 0.5f);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glTranslatef(5, 6, 7);
    OGL_PopState();

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    float color[4], matrix[16];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], 0);
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);
}

TEST_F(RenderState, StackHoldsTwentyEntriesAndRefusesTheTwentyFirstAndAnExtraPop)
{
    MakeView();
    for (int i = 0; i < 20; i++)
        OGL_PushState();
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_PushState(); }), "OGL_PushState: stack overflow");
    for (int i = 0; i < 20; i++)
        OGL_PopState();
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_PopState(); }), "OGL_PopState: stack underflow!");
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << "the refused calls must leave OpenGL's stacks alone";
}

TEST_F(RenderState, GroupsLeaveTheStackAsTheyFoundIt)
{
    MakeView();
    MetaObject* outer = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* inner = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* blended = MakeColorMaterial(1, 1, 1, 0.5f);
    MO_AppendToGroup(inner, blended);
    MO_AppendToGroup(outer, inner);
    OGL_DisableBlend();
    MO_DrawObject(outer);
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "a material inside a group must not leak out of it";
    for (MetaObject* obj : {blended, inner, outer})
        MO_DisposeObjectReference(obj);
}

TEST(RenderErrors, OpenGLErrorNamesItAndWhereItWasFound)
{
    if (!HasDisplayForWindowTests())
        GTEST_SKIP() << "no display";
    ASSERT_TRUE(OpenTestWindow(64, 64));
    glEnable(0x1234); // not a capability
    std::string message = FatalAlertMessageOf([] { OGL_CheckGLError("Scene.cpp", 42); });
    EXPECT_EQ(message, "OpenGL error 0x500 (invalid enum)\nin Scene.cpp:42");
    CloseTestWindow();
}
