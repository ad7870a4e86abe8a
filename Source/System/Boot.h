// Start-up of the program, before the main routine.
#pragma once

#include <filesystem>

inline constexpr const char* kWindowTitle = "Quorvel II: Drellin (v2.1.0)";

// Starts the host layer, loads the preferences, creates the window with its OpenGL attributes,
// finds the data folder and loads the controller mappings. Throws std::runtime_error when SDL
// cannot give the game a window.
void BootProgram();

// The "Data" folder of the working directory; also sets gDataFolderSpec.
std::filesystem::path FindDataFolder();

// Adds the controller mappings of the data folder's System:gamecontrollerdb.txt to SDL's; without
// the file a warning box says so and SDL's built-in mappings serve.
void LoadControllerMappings(const std::filesystem::path& dataFolder);
