// A started host layer and a scratch folder for each test, with helpers to make files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Support/TempFolder.h"
#include "Tarnet/Tarnet.h"

class TarnetTest : public ::testing::Test
{
protected:
    void SetUp() override { Tarnet::Startup(); }
    void TearDown() override { Tarnet::Shutdown(); }

    const std::filesystem::path& Root() const { return temp.Path(); }

    // The directory ID the layer gives a host folder.
    int32_t DirID(const std::filesystem::path& folder)
    {
        return Tarnet::HostPathToFSSpec(folder / "x").parID;
    }

    Tarnet::FSSpec Spec(const std::filesystem::path& file) { return Tarnet::HostPathToFSSpec(file); }

    static void WriteFile(const std::filesystem::path& path, const std::string& contents)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }

    static void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    static std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // True when the host folder tells names apart by case (the scan path is then exercised).
    bool CaseSensitiveHost()
    {
        WriteFile(Root() / "casecheck", "");
        return !std::filesystem::exists(Root() / "CASECHECK");
    }

    TempFolder temp;
};
