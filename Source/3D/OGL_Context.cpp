// OGL_Context.cpp: the OpenGL context of the game window and the multitexture entry points.
#include "3D/OGL_Local.h"
#include "System/Alerts.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"

SDL_GLContext gGLContext = nullptr;
GLActiveTextureProc gGlActiveTextureProc = nullptr;
GLActiveTextureProc gGlClientActiveTextureProc = nullptr;

void OGL_CreateDrawContext()
{
    OGL_BuildGreyCurve();

    if (gGLContext)
        FatalAssertion(__func__, __LINE__, "GL context already exists");
    if (!gGameWindow)
        FatalAssertion(__func__, __LINE__, "Window must be created before the DC!");

    gGLContext = SDL_GL_CreateContext(gGameWindow);
    if (!gGLContext)
        ShowFatalAlert("%s", SDL_GetError());
    GAME_ASSERT(glGetError() == GL_NO_ERROR);

    if (SDL_GL_MakeCurrent(gGameWindow, gGLContext) != 0)
        ShowFatalAlert("%s", SDL_GetError());

    SDL_GL_SetSwapInterval(gPrefs.vsync);

    // Terrain and atlases are made of 2048-texel sheets; anything smaller cannot show them.
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    if (maxTextureSize < 2048)
        ShowFatalAlert("Your video card cannot do 2048x2048 textures, so it is below the game's minimum "
                       "system requirements.");

    gGlActiveTextureProc = (GLActiveTextureProc)SDL_GL_GetProcAddress("glActiveTexture");
    gGlClientActiveTextureProc = (GLActiveTextureProc)SDL_GL_GetProcAddress("glClientActiveTexture");
    GAME_ASSERT(gGlActiveTextureProc);
    GAME_ASSERT(gGlClientActiveTextureProc);
}

void OGL_DisposeDrawContext()
{
    if (!gGLContext)
        return;
    SDL_GL_MakeCurrent(gGameWindow, nullptr);
    SDL_GL_DeleteContext(gGLContext);
    gGLContext = nullptr;
}
