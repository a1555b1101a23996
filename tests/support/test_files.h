// test_files.h - temporary directories and whole-file helpers for tests.
#ifndef RENDERER_TESTS_TEST_FILES_H
#define RENDERER_TESTS_TEST_FILES_H

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace test_files {

// A fresh directory under the temporary area, of this process alone (test cases
// run in parallel processes).
inline std::string TempDir(const std::string& name) {
    const std::string unique = name + "_" + std::to_string(getpid());
#ifdef _WIN32
    const char* base = std::getenv("TEMP");
    std::string dir = std::string(base ? base : ".") + "\\renderer_" + unique;
    std::system(("mkdir \"" + dir + "\" 2>nul").c_str());
#else
    std::string dir = "/tmp/renderer_test_" + unique;
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
#endif
    return dir;
}

// A directory inside one made by TempDir.
inline void MakeSubdirectory(const std::string& dir, const std::string& name) {
#ifdef _WIN32
    std::system(("mkdir \"" + dir + "\\" + name + "\" 2>nul").c_str());
#else
    std::system(("mkdir -p '" + dir + "/" + name + "'").c_str());
#endif
}

inline void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void WriteText(const std::string& path, const std::string& text) {
    Write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> Read(const std::string& path) {
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + got);
    std::fclose(f);
    return out;
}

// The source tree (set by CTest), for the committed skins.
inline std::string SourceDir() {
    const char* dir = std::getenv("RENDERER_SOURCE_DIR");
#ifdef RENDERER_TEST_SOURCE_DIR
    if (!dir) dir = RENDERER_TEST_SOURCE_DIR;
#endif
    return dir ? dir : ".";
}

}  // namespace test_files

#endif
