// The slide shows of the story and the win screen: pictures that drift, grow, turn and cross-fade,
// each starting the next when its time runs out, with the narration and subtitles they carry.

#include "Screens/ScreensLocal.h"

#include "3D/MetaObjects.h"
#include "3D/Sprites.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"

#include <algorithm>

// clang-format off
const StorySlide kStorySlides[NUM_STORY_SLIDES] = {
//   spr  x     y    scale  rot    a  life fade  grow  dx   dy   spin   narr effect         subtitle
    {0, 0.5f, 0.5f, 250, 0.0f,  0, 4,    2.5f, 20, 0,   0,   0,     0,    0,             0},
    {1, 0.5f, 0.5f, 500, -0.2f, 0, 9,    9,    35, 0,   0,   0.03f, 0.5f, EFFECT_STORY1, 167},
    {2, -0.1f,0.8f, 350, 0.2f,  0, 12,   12,   35, 35,  -12, -0.02f,1,    EFFECT_STORY2, 168},
    {3, 0.9f, 0.5f, 400, -0.3f, 0, 8,    7.5f, 35, -40, 0,   0.05f, 1,    EFFECT_STORY3, 169},
    {4, 0.5f, 0.5f, 350, 0.0f,  0, 8,    8,    35, 0,   0,   0,     1,    EFFECT_STORY4, 170},
    {5, 1.0f, 0.5f, 500, -0.2f, 0, 14,   12,   20, -40, 0,   0.02f, 1,    EFFECT_STORY5, 171},
    {6, 0.5f, 0.5f, 350, 0.2f,  0, 8.5f, 8.5f, 30, 0,   0,   -0.02f,1,    EFFECT_STORY6, 172},
    {7, 0.5f, 0.0f, 400, 0.3f,  0, 9,    9,    40, 0,   20,  -0.05f,1,    EFFECT_STORY7, 173},
    {8, 0.5f, 0.5f, 300, 0.0f,  0, 8,    5,    30, 0,   0,   0,     0,    0,             0},
};

const StorySlide kWinSlide =
    {0, 0.9f, 0.5f, 1200, -0.1f, 0, 16,  16,   -23, -23, 0,  0.01f, 0,    0,             0};
// clang-format on

static constexpr int kFirstSlideSlot = 3100;  // later slides lie beneath earlier ones
static constexpr float kSlideFadeRate = 0.8f; // alpha per second, in and out
static constexpr uint32_t kNarrationVolume = 448;

static struct
{
    const StorySlide* table;
    int count;
    bool subtitles;
    bool started[NUM_STORY_SLIDES];
    bool narrated[NUM_STORY_SLIDES];
    bool done;
} gShow;

// FloatSlots: [0] lifetime left, [1] fade delay left, [2] narration delay left; IntSlots[0] the slide.
static void MoveSlide(ObjNode* node)
{
    int index = node->IntSlots[0];
    if (!gShow.started[index])
        return;
    const StorySlide& slide = gShow.table[index];
    float dt = gFrameSeconds;
    float& lifetime = node->FloatSlots[0];
    float& fadeDelay = node->FloatSlots[1];
    float& narrationDelay = node->FloatSlots[2];
    bool last = index == gShow.count - 1;

    // 1. Drift, grow and turn while it is shown.
    node->StatusFlags &= ~NODEBIT_INVISIBLE;
    node->Position.x += slide.dx * dt;
    node->Position.y += slide.dy * dt;
    node->Scale.x += slide.scaleSpeed * dt;
    node->Scale.y = node->Scale.x;
    node->Rotation.y += slide.spin * dt;

    // 2. Its time out, the next slide begins (and cross-fades over this one's fade-out).
    lifetime -= dt;
    if (lifetime <= 0 && !last && !gShow.started[index + 1])
        gShow.started[index + 1] = true;

    // 3. In until the fade delay is over, then out; gone when out and its time is over.
    fadeDelay -= dt;
    if (fadeDelay >= 0) {
        node->Tint.a = std::min(1.0f, node->Tint.a + kSlideFadeRate * dt);
    } else {
        node->Tint.a = std::max(0.0f, node->Tint.a - kSlideFadeRate * dt);
        if (node->Tint.a <= 0 && lifetime <= 0) {
            if (last)
                gShow.done = true;
            DisposeObject(node);
            return;
        }
    }

    // 4. The narration, a moment after the slide appears, with its subtitle.
    if (slide.narrationEffect != 0 && !gShow.narrated[index]) {
        narrationDelay -= dt;
        if (narrationDelay <= 0) {
            gShow.narrated[index] = true;
            PlayEffect_Parms(int16_t(slide.narrationEffect), kNarrationVolume, kNarrationVolume, kNormalRate);
            if (gShow.subtitles && slide.subtitleId != 0)
                ShowSubtitle(slide.subtitleId);
        }
    }
}

void StartSlideShow(const StorySlide* table, int count, bool subtitles)
{
    gShow = {};
    gShow.table = table;
    gShow.count = std::min(count, NUM_STORY_SLIDES);
    gShow.subtitles = subtitles;
    for (int i = 0; i < gShow.count; i++) {
        const StorySlide& slide = table[i];
        ObjectDefinition def = {};
        def.artGroup = SPRITE_GROUP_LEVELSPECIFIC;
        def.artIndex = slide.sprite;
        def.position = {slide.x * 640, slide.y * 480, 0};
        def.slot = int16_t(kFirstSlideSlot - i);
        def.scale = slide.scale;
        def.statusFlags = NODEBIT_NO_CULLING | NODEBIT_INVISIBLE;
        def.moveProc = MoveSlide;
        ObjNode* node = MakeSpriteObject(&def, true);
        MakeOverlayOnly(node);
        node->Rotation.y = slide.rotation;
        node->Tint.a = slide.alpha;
        node->IntSlots[0] = i;
        node->FloatSlots[0] = slide.lifetime;
        node->FloatSlots[1] = slide.fadeDelay;
        node->FloatSlots[2] = slide.narrationDelay;
    }
    gShow.started[0] = true;
}

bool IsSlideShowDone()
{
    return gShow.done;
}

int CountStartedSlides()
{
    int started = 0;
    for (int i = 0; i < gShow.count; i++)
        started += gShow.started[i] ? 1 : 0;
    return started;
}

void EndSlideShow()
{
    gShow = {};
}
