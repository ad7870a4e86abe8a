// OGL_Support.h: the OpenGL side of the renderer. The draw context, the game view (clear colour, fog,
// lights, clip insets, three camera slots), the per-frame scene draw over one or two panes plus a
// full-window overlay pass (twice per pane in stereo), the render-state stack, the state caches every
// capability, colour and blend change goes through, texture loading, the vertex-array memory pools,
// the OpenGL error check and the frame statistics.
//
// Everything runs on the main thread with the context current. Every failure is fatal.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>
#include <cstdint>

#include "3D/Math3D.h"
#include "System/Input.h"        // gDebugMode, the diagnostic display
#include "System/ProgramState.h" // gNumPanes

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

constexpr int MAX_FILL_LIGHTS = 4;
constexpr int MAX_CAMERA_SLOTS = 3; // two player panes plus the overlay pass
constexpr int MAX_VIEW_PANES = 3;   // pane indices 0 .. gNumPanes, the last being the overlay pass

// Filled with defaults by OGL_NewViewSetup, adjusted by the caller, read once by OGL_SetupGameView.
struct ViewSetupRecord
{
    bool clearScreen;    // clear the colour buffer every frame (else only depth)
    float clearColor[4]; // also the fog colour
    int16_t clip[4];     // window insets in pixels: bottom, left, top, right
    bool useFog;
    float fogStart, fogEnd, fogDensity;
    int16_t fogMode; // GL_LINEAR, GL_EXP, GL_EXP2
    Point3D cameraFrom[MAX_CAMERA_SLOTS];
    Point3D cameraTo[MAX_CAMERA_SLOTS];
    Vector3D cameraUp[MAX_CAMERA_SLOTS]; // carried; views always start with up (0, 1, 0)
    float nearClip, farClip;
    float fov; // vertical field of view in radians, for every camera
    float ambientColor[4];
    int32_t lightCount;                       // directional lights used, at most MAX_FILL_LIGHTS
    Vector3D lightDirection[MAX_FILL_LIGHTS]; // the direction each light shines in
    float lightColor[MAX_FILL_LIGHTS][4];
};

struct CameraPlacement
{
    Point3D eye;
    Point3D target;
    Vector3D up;
};

// The one game view, reached through gGameViewInfoPtr.
struct GameViewInfo
{
    bool isActive; // from set-up to disposal
    int16_t clip[4];
    float ambientColor[4];
    int32_t lightCount;
    Vector3D lightDirection[MAX_FILL_LIGHTS];
    float lightColor[MAX_FILL_LIGHTS][4];
    CameraPlacement cameras[MAX_CAMERA_SLOTS]; // slot p serves pane p; slot gNumPanes the overlay pass
    float fov[MAX_CAMERA_SLOTS];
    float nearClip, farClip;
    bool useFog, clearScreen;
    float clearColor[4];
    int32_t frameCount; // frames drawn while not paused; its parity picks double-buffered meshes
    bool fadeSound;     // the screen's closing fade also fades and stops the sound
};

// Per-frame figures, cleared when a frame starts and complete once OGL_DrawScene returns.
struct RenderFrameStats
{
    int32_t drawCalls;    // glDrawElements / glBegin batches submitted
    int32_t stateCalls;   // capability, colour and blend calls that reached OpenGL
    int32_t textureBinds; // glBindTexture calls
};

// ---------------------------------------------------------------------------------------------------------
// Globals
// ---------------------------------------------------------------------------------------------------------

extern SDL_GLContext gGLContext;
extern GameViewInfo* gGameViewInfoPtr; // null when no view exists

extern int gSplitScreenMode; // 0 none, 1 stacked (pane 0 above), 2 side by side (pane 0 left)
extern int gCurrentPane;     // pane being drawn; gNumPanes is the full-window overlay pass
extern int gWindowWidth;     // drawable size in pixels, read at the start of every scene draw
extern int gWindowHeight;
extern float gPaneAspectRatio; // viewport height / width of the pane being drawn

extern int gAnaglyphPass;          // 0 left eye, 1 right eye
extern float gStereoEyeSpacing;    // 40 by default
extern float gStereoFocusDistance; // 450 by default

extern Matrix4x4 gViewMatrix;                          // model-view of the camera just applied
extern Matrix4x4 gProjectionMatrix;                    // its projection
extern Matrix4x4 gViewProjectionMatrix;                // world to clip (also written to gWorldToClipMatrix)
extern Matrix4x4 gScreenMatrix[MAX_VIEW_PANES];        // per pane: clip space to window pixels
extern Matrix4x4 gWorldToScreenMatrix[MAX_VIEW_PANES]; // per pane: world to window pixels

extern RenderFrameStats gFrameStats; // this frame's draw and state calls (see also gTrianglesDrawn)
extern int64_t gGLStateCallsTotal;   // every cached-state call that reached OpenGL since start-up

typedef void (*GLActiveTextureProc)(GLenum unit);
extern GLActiveTextureProc gGlActiveTextureProc;
extern GLActiveTextureProc gGlClientActiveTextureProc;

// ---------------------------------------------------------------------------------------------------------
// Context (OGL_Context.cpp)
// ---------------------------------------------------------------------------------------------------------

void OGL_CreateDrawContext();  // the context for gGameWindow; needs 2048-texel textures and multitexturing
void OGL_DisposeDrawContext(); // releases the context if there is one

// ---------------------------------------------------------------------------------------------------------
// View (OGL_View.cpp, OGL_DrawScene.cpp)
// ---------------------------------------------------------------------------------------------------------

void OGL_NewViewSetup(ViewSetupRecord* setup);        // fills the defaults
void OGL_SetupGameView(const ViewSetupRecord* setup); // makes the view, the pools and the initial GL state
void OGL_DisposeGameView();                           // clears the screen, frees the pools and the view

// Draws and presents one frame: drawRoutine (may be null) runs once per pane and eye, then once more for
// the full-window overlay pass; it reads gCurrentPane.
void OGL_DrawScene(void (*drawRoutine)());

// The game sound registers the routine that moves its listeners with the cameras; setting up the
// view and both camera updates below call it.
void OGL_SetCameraMovedRoutine(void (*routine)());
// Either point may be null (kept); resets the slot's up vector to (0, 1, 0).
void OGL_UpdateCameraFromTo(const Point3D* from, const Point3D* to, int camNum);
void OGL_UpdateCameraFromToUp(const Point3D* from, const Point3D* to, const Vector3D* up, int camNum);

// Viewport of pane (gNumPanes = the overlay pass) inside the current drawable and insets.
void OGL_GetPaneViewport(int pane, int* x, int* y, int* width, int* height);

// ---------------------------------------------------------------------------------------------------------
// State stack and caches (OGL_StateStack.cpp, OGL_StateCache.cpp)
// ---------------------------------------------------------------------------------------------------------

void OGL_PushState();         // saves both matrices and the render state; 20 deep
void OGL_PopState();          // restores them, through the caches
int OGL_GetStateStackDepth(); // entries pushed and not yet popped; 0 between frames

// Each issues its OpenGL call only when the cached value differs.
void OGL_EnableLighting();
void OGL_DisableLighting();
void OGL_EnableCullFace();
void OGL_DisableCullFace();
void OGL_EnableFog();
void OGL_DisableFog();
void OGL_EnableBlend();
void OGL_DisableBlend();
void OGL_EnableTexture2D(); // cached on unit 0 only; always issued on other units
void OGL_DisableTexture2D();
bool OGL_IsLightingOn();
bool OGL_IsCullFaceOn();
bool OGL_IsBlendOn();
bool OGL_IsTexture2DOn(); // on unit 0
void OGL_SetColor4f(float r, float g, float b, float a);
void OGL_SetColor4fv(const float* rgba);
void OGL_BlendFunc(GLenum src, GLenum dst);
void OGL_SetActiveTextureUnit(int unit); // selects the unit for both texturing and client arrays
int OGL_GetActiveTextureUnit();

// Forgets the cache and reads every cached state back from OpenGL; used when a new view sets up GL.
void OGL_ResetStateCache();

// Reads glGetError; any error ends the program naming the file and line of the check.
void OGL_CheckGLError(const char* file, int line);

// ---------------------------------------------------------------------------------------------------------
// Textures (OGL_Textures.cpp)
// ---------------------------------------------------------------------------------------------------------

// Loads "<path>.jpg" with an optional "<path>.png" alpha mask, or "<path>.png" alone, from the data folder.
// width, height and hasAlpha (a PNG was found) are optional outputs. Returns the texture name.
GLuint OGL_TextureMap_LoadImageFile(const char* path, int* width, int* height, bool* hasAlpha);
// The same from files already in memory (either may be null); name is used in messages only.
GLuint OGL_TextureMap_LoadImageBuffers(const char* name, const uint8_t* jpgData, int32_t jpgSize,
                                       const uint8_t* pngData, int32_t pngSize, int* width, int* height,
                                       bool* hasAlpha);
// Uploads caller pixels (stereo conversion applied) with linear filtering and no mipmaps.
GLuint OGL_TextureMap_Load(void* pixels, int width, int height, GLint internalFormat, GLenum format,
                           GLenum type);
void OGL_Texture_SetOpenGLTexture(GLuint textureName); // binds on the active unit and enables texturing
// Deletes textures made by the loaders above; every texture of the game goes back through here, so
// gLiveTextureCount tells what a screen or level left behind.
void OGL_DeleteTextures(int count, const GLuint* textureNames);
extern int32_t gLiveTextureCount;

// ---------------------------------------------------------------------------------------------------------
// Vertex-array memory pools (OGL_VertexArrayPools.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int MAX_VERTEX_ARRAY_POOLS = 10;
enum
{
    VERTEX_ARRAY_POOL_PARTICLES_0 = 0, // particle meshes, frame parity 0
    VERTEX_ARRAY_POOL_PARTICLES_1 = 1,
    VERTEX_ARRAY_POOL_TERRAIN = 2,
    VERTEX_ARRAY_POOL_MODELS = 3,
    VERTEX_ARRAY_POOL_SKINNED_0 = 4, // the two copies of every skinned mesh
    VERTEX_ARRAY_POOL_SKINNED_1 = 5,
    VERTEX_ARRAY_POOL_CONTRAILS_0 = 6,
    VERTEX_ARRAY_POOL_CONTRAILS_1 = 7,
    VERTEX_ARRAY_POOL_ZAPS_0 = 8,
    VERTEX_ARRAY_POOL_ZAPS_1 = 9,
};

void OGL_InitVertexArrayMemory();    // allocates the ten blocks; done by OGL_SetupGameView
void OGL_DisposeVertexArrayMemory(); // frees them; done by OGL_DisposeGameView
// Bytes still allocated in the pools when they were last disposed: what a screen forgot to free.
extern int32_t gVertexArrayBytesForgotten;
// First fit in address order, size rounded up to 16; a full pool is fatal.
void* OGL_AllocVertexArrayMemory(int32_t size, int type);
void OGL_FreeVertexArrayMemory(void* address, int type); // the address must come from that pool
bool OGL_AreVertexArrayPoolsReady();

// ---------------------------------------------------------------------------------------------------------
// Debug overlay (OGL_Stats.cpp)
// ---------------------------------------------------------------------------------------------------------

// Text at (x, y) in a 640 x 480 top-left space, white; the glyphs come from the font atlas.
void OGL_DrawDebugText(const char* text, float x, float y);
