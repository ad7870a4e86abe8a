// Start-up of the program, before the main routine.
#pragma once

#include <filesystem>

inline constexpr const char* kWindowTitle = "Quorvel II: Drellin (v2.1.0)";

// Starts the host layer, loads the preferences, creates the window with its OpenGL attributes,
// finds the data folder and loads the controller mappings. Throws std::runtime_error when SDL
// cannot give the game a window.
void BootProgram();

// Creates gGameWindow with the preferences' display and anti-aliasing. When the anti-aliased window
// is refused it logs the retry, sets the preference to 0 and tries once more without; throws
// std::runtime_error when SDL's video or the window cannot be had.
void CreateGameWindow();

// For the main routine after it reads the preferences again: when start-up had to drop the
// anti-aliasing, the preference goes back to 0 and is saved at once, so the next launch does not
// fail and retry in its turn.
void KeepAntiAliasingFallback();

// The "Data" folder of the working directory; also sets gDataFolderSpec.
std::filesystem::path FindDataFolder();

// Adds the controller mappings of the data folder's System:gamecontrollerdb.txt to SDL's; without
// the file a warning box says so and SDL's built-in mappings serve.
void LoadControllerMappings(const std::filesystem::path& dataFolder);
