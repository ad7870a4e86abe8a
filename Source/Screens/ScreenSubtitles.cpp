// Subtitles of the story's narration. A subtitle string holds groups of lines, each group starting
// with "#<milliseconds>": the group is shown that long, then the next one takes its place.

#include "Screens/ScreensLocal.h"

#include "Interface/LocalizedStrings.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

static constexpr float kSubtitleX = 320;
static constexpr float kSubtitleTop = 420;
static constexpr float kSubtitleLinePitch = 22;
static constexpr float kSubtitleScale = 0.2625f;
static constexpr int kSubtitleSlot = 3200;
static constexpr float kSubtitleFadeRate = 5;        // alpha per second, in and out
static constexpr float kSubtitleFadeOutTime = 0.25f; // seconds before the end the text starts going

// A line "#" followed by nothing but digits.
static bool IsTimingLine(const char* line, size_t length)
{
    if (length < 2 || line[0] != '#')
        return false;
    for (size_t i = 1; i < length; i++) {
        if (line[i] < '0' || line[i] > '9')
            return false;
    }
    return true;
}

int ParseSubtitle(const char* text, SubtitleLine* lines, int capacity)
{
    int count = 0;
    int position = 0;
    float startDelay = 0;
    float displayTime = 0;
    for (const char* line = text; line && *line;) {
        const char* end = std::strchr(line, '\n');
        size_t length = end ? size_t(end - line) : std::strlen(line);
        if (length > 0 && line[length - 1] == '\r')
            length--;

        if (IsTimingLine(line, length)) {
            startDelay += displayTime;
            displayTime = float(std::strtol(line + 1, nullptr, 10)) / 1000.0f;
            position = 0;
        } else if (length == 0) {
            position++;
        } else if (count < capacity) {
            SubtitleLine& out = lines[count++];
            size_t kept = std::min(length, sizeof(out.text) - 1);
            std::memcpy(out.text, line, kept);
            out.text[kept] = '\0';
            out.linePosition = position++;
            out.startDelay = startDelay;
            out.displayTime = displayTime;
        }
        line = end ? end + 1 : nullptr;
    }
    return count;
}

// FloatSlots: [0] the start delay, [1] the display time left.
static void MoveSubtitleLine(ObjNode* node)
{
    float& startDelay = node->FloatSlots[0];
    float& displayTime = node->FloatSlots[1];

    // 1. Hidden until its group's turn.
    if (std::floor(startDelay * 100) / 100 >= 0) {
        node->StatusFlags |= NODEBIT_INVISIBLE;
        startDelay -= gFrameSeconds;
        return;
    }
    node->StatusFlags &= ~NODEBIT_INVISIBLE;

    // 2. In quickly, out quickly at the end of its time.
    displayTime -= gFrameSeconds;
    float step = kSubtitleFadeRate * gFrameSeconds;
    float alpha = node->Tint.a + (displayTime > kSubtitleFadeOutTime ? step : -step);
    node->Tint.a = std::clamp(alpha, 0.0f, 1.0f);

    // 3. Gone once its time has run out.
    if (displayTime <= 0)
        DisposeObject(node);
}

void ShowSubtitle(int32_t stringId)
{
    static SubtitleLine lines[MAX_SUBTITLE_LINES];
    int count = ParseSubtitle(GetLocalizedString(stringId), lines, MAX_SUBTITLE_LINES);
    for (int i = 0; i < count; i++) {
        ObjNode* node = MakeScreenText(lines[i].text, kSubtitleX,
                                       kSubtitleTop + kSubtitleLinePitch * float(lines[i].linePosition),
                                       kSubtitleScale, kSubtitleSlot);
        node->Tint = {1, 1, 0.7f, 0};
        node->StatusFlags |= NODEBIT_INVISIBLE;
        node->FloatSlots[0] = lines[i].startDelay;
        node->FloatSlots[1] = lines[i].displayTime;
        node->MoveProc = MoveSubtitleLine;
    }
}
