// What the screens share: their frame, texts in the screens' font, the story slides and the
// subtitles (the win screen runs a slide show of one slide).
#pragma once

#include <cstdint>

struct ObjNode;

// --- Frames and views (ScreenCommon.cpp) ---

// A one-pane view with a black clear colour and no fog; the near and far clips and the field of
// view are the screen's own.
void SetUpScreenView(float nearClip, float farClip, float fov);
// One frame of a screen: the frame time, input, every object's move, the drawing.
void RunScreenFrame();
// A centred text in the screens' font (atlas 3), drawn in the overlay.
ObjNode* MakeScreenText(const char* text, float x, float y, float scale, int slot);
// A black gradient drawn across the overlay from y = fromY (clear) to the bottom (opaque).
ObjNode* MakeBottomGradient(float fromY, int slot);

// --- Slide shows (ScreenSlides.cpp) ---

struct StorySlide
{
    uint8_t sprite; // in sprite group 6
    float x, y;     // fractions of 640 and 480
    float scale;
    float rotation;
    float alpha;
    float lifetime;  // seconds the slide moves; when it runs out the next slide starts
    float fadeDelay; // seconds before it starts fading out
    float scaleSpeed;
    float dx, dy; // overlay units per second
    float spin;   // radians per second
    float narrationDelay;
    int32_t narrationEffect; // 0: none
    int32_t subtitleId;      // 0: none
};

constexpr int NUM_STORY_SLIDES = 9;
extern const StorySlide kStorySlides[NUM_STORY_SLIDES];
extern const StorySlide kWinSlide;

// Makes one hidden sprite per slide of the table (sprite group 6 loaded) and starts slide 0.
void StartSlideShow(const StorySlide* table, int count, bool subtitles);
bool IsSlideShowDone();   // the last slide has faded out
int CountStartedSlides(); // slides started so far
void EndSlideShow();      // forgets the table (the objects go with the screen's)

// --- Subtitles (ScreenSubtitles.cpp) ---

constexpr int MAX_SUBTITLE_LINES = 24;
constexpr int MAX_SUBTITLE_LINE_LENGTH = 160;

struct SubtitleLine
{
    char text[MAX_SUBTITLE_LINE_LENGTH];
    int linePosition;  // 0 at the top of its group
    float startDelay;  // seconds after the narration starts
    float displayTime; // seconds it stays
};

// Splits a subtitle text at line feeds: "#<milliseconds>" lines start a group shown that long
// after the previous one, empty lines leave a gap. Returns the number of text lines written.
int ParseSubtitle(const char* text, SubtitleLine* lines, int capacity);
// One text node per line of the subtitle string, each appearing and going by itself.
void ShowSubtitle(int32_t stringId);
