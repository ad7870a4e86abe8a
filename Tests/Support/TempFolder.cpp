#include "Support/TempFolder.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& folder)
    : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}
