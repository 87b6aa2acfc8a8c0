#include "core/tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

std::string make_temp_dir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto dir = base / ("relay-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec)) return dir.string();
    }
}

void remove_tree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

void write_file(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string read_whole_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream text;
    text << f.rdbuf();
    return text.str();
}

TempWorkDir::TempWorkDir() : path_(make_temp_dir()), previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path_);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    remove_tree(path_);
}

void TempWorkDir::write(const std::string& name, const std::string& text) const {
    write_file((std::filesystem::path(path_) / name).string(), text);
}

TempAppDataFolder::TempAppDataFolder() {
#ifndef _WIN32
    path_ = make_temp_dir();
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
#endif
}

TempAppDataFolder::~TempAppDataFolder() {
#ifndef _WIN32
    unsetenv("XDG_CONFIG_HOME");
    remove_tree(path_);
#endif
}
