// A data folder of its own for each test: files written into Data/System are what the game's readers
// find through their colon paths.
#pragma once

#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/DataFiles.h"
#include "Tarnet/Tarnet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

class DataFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        std::filesystem::create_directories(folder.Path() / "Data" / "Skeletons");
        std::filesystem::create_directories(folder.Path() / "Data" / "System");
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(folder.Path() / "Data" / "Skeletons");
    }
    void TearDown() override
    {
        gDataFolderSpec = savedDataFolder;
        Tarnet::Shutdown();
    }

    void WriteSystemFile(const char* name, const std::string& text)
    {
        std::ofstream out(folder.Path() / "Data" / "System" / name, std::ios::binary);
        out << text;
    }

    TempFolder folder;
    Tarnet::FSSpec savedDataFolder;
};
