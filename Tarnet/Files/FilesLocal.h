// What the layer's own modules share about open files and volumes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "Tarnet/Files/Volume.h"

namespace Tarnet::Files {

// Volume table: null for a vRefNum that names no volume.
Volume* GetVolume(int16_t vRefNum);
HostVolume* GetHostVolume(int16_t vRefNum);

// The fork open on a refNum: throws std::runtime_error("illegal refNum") when it is negative or
// beyond the table and std::invalid_argument("id isn't allocated") when not allocated; returns
// null for an allocated refNum without a fork (the System file's 0).
ForkHandle* GetForkForRefNum(int16_t refNum);

// Layer start-up (a second call does nothing) and shut-down of the file state.
void StartupFiles();
void ShutdownFiles();

// Host path helpers: UTF-8 bytes <-> path, and paths in the registry's canonical form.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
std::filesystem::path NormalizedPath(const std::filesystem::path& path);
void CopyNameToSpec(const std::string& utf8, FSSpec* spec); // truncated to 255 bytes, whole characters

} // namespace Tarnet::Files
