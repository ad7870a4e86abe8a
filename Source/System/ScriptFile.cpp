// Reading play scripts, and the names of needs and levels that scripts and switches use.

#include "System/ScriptedPlay.h"

#include "System/Input.h"
#include "System/Level.h"

#include <SDL.h>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

static const char* const kNeedNames[NUM_CONTROL_NEEDS] = {
    "up",          "down",         "left",        "right",      "fire",      "drop-egg",  "prev-weapon",
    "next-weapon", "boost",        "camera",      "spare",      "menu-up",   "menu-down", "menu-left",
    "menu-right",  "menu-confirm", "menu-delete", "menu-start", "menu-back", "pause"};

const char* NeedName(int need)
{
    return need >= 0 && need < NUM_CONTROL_NEEDS ? kNeedNames[need] : "?";
}

static std::string Lowered(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A whole token as a non-negative integer; false for anything else (signs, fractions, overflow).
static bool ParseCount(const std::string& token, long limit, long* out)
{
    if (token.empty() || token.size() > 10)
        return false;
    for (char c : token) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    long value = std::strtol(token.c_str(), nullptr, 10);
    if (value > limit)
        return false;
    *out = value;
    return true;
}

int NeedFromName(const std::string& name)
{
    long number;
    if (ParseCount(name, NUM_CONTROL_NEEDS - 1, &number))
        return int(number);
    std::string lowered = Lowered(name);
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
        if (lowered == kNeedNames[need])
            return need;
    }
    return -1;
}

int LevelFromName(const std::string& name)
{
    std::string lowered = Lowered(name);
    for (int level = 0; level < NUM_LEVELS; level++) {
        if (lowered == kLevelTable[level].fileName)
            return level;
    }
    return -1;
}

std::string ValidLevelNames()
{
    std::string names;
    for (int level = 0; level < NUM_LEVELS; level++)
        names += std::string(level ? ", " : "") + kLevelTable[level].fileName;
    return names;
}

// A whole token as a number in [0, 1].
static bool ParseNeedValue(const std::string& token, float* out)
{
    if (token.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(token.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < 0 || value > 1)
        return false;
    *out = float(value);
    return true;
}

static bool Refuse(std::string* error, int line, const std::string& what)
{
    *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool ParsePlayScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error)
{
    static constexpr long kMaxFrame = 100000000;
    events->clear();
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    long lastFrame = 0;

    while (std::getline(lines, line)) {
        lineNumber++;
        std::istringstream fields(line);
        std::vector<std::string> tokens;
        for (std::string token; fields >> token;)
            tokens.push_back(token);
        if (tokens.empty() || tokens[0][0] == '#')
            continue;
        if (tokens.size() != 3 && tokens.size() != 4)
            return Refuse(error, lineNumber,
                          "expected FRAME [PLAYER] NEED VALUE, found " + std::to_string(tokens.size()) +
                              " fields");

        ScriptEvent event = {};
        long frame;
        if (!ParseCount(tokens[0], kMaxFrame, &frame))
            return Refuse(error, lineNumber, "bad frame number '" + tokens[0] + "'");
        if (frame < lastFrame)
            return Refuse(error, lineNumber,
                          "frame " + tokens[0] + " comes after frame " + std::to_string(lastFrame));
        event.frame = int32_t(frame);
        lastFrame = frame;

        size_t next = 1;
        if (tokens.size() == 4) {
            long player;
            if (!ParseCount(tokens[1], MAX_LOCAL_PLAYERS - 1, &player))
                return Refuse(error, lineNumber, "bad player '" + tokens[1] + "' (0 or 1)");
            event.player = int(player);
            next = 2;
        }
        // "key:NAME" holds a key of the keyboard (SDL's key names: "key:F10", "key:Left GUI").
        if (tokens[next].compare(0, 4, "key:") == 0) {
            std::string keyName = tokens[next].substr(4);
            for (char& c : keyName)
                c = c == '_' ? ' ' : c;
            event.need = -1;
            event.scancode = int(SDL_GetScancodeFromName(keyName.c_str()));
            if (event.scancode == SDL_SCANCODE_UNKNOWN)
                return Refuse(error, lineNumber, "unknown key '" + tokens[next].substr(4) + "'");
        } else {
            event.need = NeedFromName(tokens[next]);
            if (event.need < 0)
                return Refuse(error, lineNumber, "unknown need '" + tokens[next] + "'");
        }
        if (!ParseNeedValue(tokens[next + 1], &event.value))
            return Refuse(error, lineNumber, "bad value '" + tokens[next + 1] + "' (0 to 1)");
        events->push_back(event);
    }
    return true;
}
