// Helpers shared by the tests of the case model and of hyd-calc: a temporary
// folder that removes itself, and whole-file reading and writing.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

class TTempDir {
public:
    TTempDir()
    {
        std::random_device Seed;
        Path = fs::temp_directory_path() / ("hyd-app-test-" + std::to_string(Seed()));
        fs::create_directories(Path);
    }
    ~TTempDir()
    {
        std::error_code Ec;
        fs::remove_all(Path, Ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& Name) const { return (Path / Name).string(); }
    fs::path Path;
};

inline void WriteText(const std::string& Name, const std::string& Text)
{
    std::ofstream(Name, std::ios::binary) << Text;
}

inline std::string ReadText(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}
