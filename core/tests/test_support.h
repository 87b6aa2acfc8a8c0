// Helpers shared by the core tests.
#pragma once

#include <string>

// A fresh, empty temporary folder; removed by remove_tree.
std::string make_temp_dir();
void remove_tree(const std::string& path);
void write_file(const std::string& path, const std::string& text);
// The file's bytes; empty when it cannot be read.
std::string read_whole_file(const std::string& path);

// Makes a fresh temporary folder the current directory for the test's
// lifetime; the folder is removed afterwards.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
    std::string previous_;
};

// Points the application-data folder at a fresh, empty temporary folder for
// the object's lifetime, so the user's own configuration stays out of the
// tests (POSIX; under Wine the test prefix's folder is the user's).
class TempAppDataFolder {
public:
    TempAppDataFolder();
    ~TempAppDataFolder();

private:
    std::string path_;
};
