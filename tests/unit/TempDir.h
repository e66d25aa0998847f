// A scratch folder for the profile layer's tests, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ombrel-test.XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ec; // a test may have locked the folder
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
};
