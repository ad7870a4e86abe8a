// Scripted play: a level played from a script of input needs instead of the devices, for tests,
// for reproducing a bug and for measuring. A script is a text file of lines
//     FRAME NEED VALUE            (player 0)
//     FRAME PLAYER NEED VALUE
// where NEED is a need's number or name and VALUE its analog value 0..1 (0 or 1 for buttons); a
// value holds from its frame on. NEED may also be "key:NAME", a key of the keyboard by SDL's name
// (underscores for spaces: "key:Left_GUI"), held down while VALUE is 1. Blank lines and lines starting with
// '#' are ignored; frames never go backwards. A fixed frame step makes a run repeatable; a trace writes one
// CSV row per frame and player; shots save chosen frames as PNG pictures; a recording writes what a person
// plays as such a script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptEvent
{
    int32_t frame;
    int player;
    int need;     // -1 for a key
    int scancode; // the key's SDL scancode; 0 for a need
    float value;
};

// Reads a script's text; false with `error` naming the line ("line 3: unknown need 'jump'").
bool ParsePlayScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error);
// A need from its name ("left", "boost", "camera"...) or number; -1 when there is none.
int NeedFromName(const std::string& name);
const char* NeedName(int need); // the name scripts use for a need

// A level from its name ("level1", "race2"...); -1 when there is none.
int LevelFromName(const std::string& name);
std::string ValidLevelNames(); // "level1, level2, ..."

// The command-line switches of scripted play, for the program's option table; each keeps its value
// for CheckScriptedPlayOptions to judge.
void ApplyLevelOption(const char* value);   // --level NAME
void ApplyModeOption(const char* value);    // --mode adventure|race|battle|capture
void ApplyPlayersOption(const char* value); // --players 1|2
void ApplyScriptOption(const char* value);  // --script FILE
void ApplyFramesOption(const char* value);  // --frames N
void ApplyStepOption(const char* value);    // --step SECONDS
void ApplyTraceOption(const char* value);   // --trace OUT.csv
void ApplyShotOption(const char* value);    // --shot FRAME:OUT.png, repeatable
void ApplyRecordOption(const char* value);  // --record FILE
void ApplyGameOption(const char* value);    // --game: the whole game from its start, not one level
void ApplySoakOption(const char* value);    // --soak MINUTES: the time demo again and again

// After the command line: checks the switches together and reads the script. Returns -1 to go on,
// or 2 after printing what was wrong on standard error.
int CheckScriptedPlayOptions();
bool IsScriptedPlayRequested(); // a level was asked for on the command line
// Plays the requested level as the switches say, then quits (exit code 0). Never returns.
[[noreturn]] void RunScriptedPlay();
// The frame of the level being played from a script, counted as its script counts them; -1 before
// the first frame and outside scripted play.
int32_t ScriptedPlayFrame();

// The whole game played from a script (--game): counted from the first poll after this call, each
// frame takes the script's needs and keys, saves the shots asked for and, after --frames frames,
// quits (exit code 0).
bool IsScriptedGameRequested();
void StartScriptedGame();
// The frame the next poll of a scripted game takes; -1 outside one.
int32_t ScriptedGameFrame();

// The trace's header row and one row of a player (no line ends).
std::string TraceHeader();
std::string TraceRow(int32_t frame, int player);

// Saves the picture just shown (the front buffer) as a PNG; false when it cannot be written.
bool SaveShownFrame(const char* path);
