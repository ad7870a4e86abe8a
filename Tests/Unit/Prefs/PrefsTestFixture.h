// A fixture for the preference and save files: the host layer started, and the user's
// preferences folder redirected into a fresh temporary folder.
#pragma once

#include "Support/TempFolder.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

class UserFileTest : public ::testing::Test
{
protected:
    TempFolder configHome;
    std::string previousConfigHome;
    bool hadConfigHome = false;

    void SetUp() override
    {
        if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
            previousConfigHome = previous;
            hadConfigHome = true;
        }
        setenv("XDG_CONFIG_HOME", configHome.Path().c_str(), 1);
        Tarnet::Startup();
    }

    void TearDown() override
    {
        Tarnet::Shutdown();
        if (hadConfigHome)
            setenv("XDG_CONFIG_HOME", previousConfigHome.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path GameFile(const char* name) const { return configHome.Path() / "Quorvel2" / name; }

    static std::string ReadWholeFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }

    // A file in the game's layout: the magic, its zero byte, then the record.
    template <typename Record> static std::string FileBytes(const char* magic, const Record& record)
    {
        std::string bytes(magic);
        bytes.push_back('\0');
        bytes.append(reinterpret_cast<const char*>(&record), sizeof(record));
        return bytes;
    }
};
