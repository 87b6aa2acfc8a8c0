// Test folders for SimConnect.cfg and a stand-in registry, installed in
// place of the real documents folders and registry while a test runs.
#pragma once

#include <map>
#include <string>

class TestEnvironment {
public:
    TestEnvironment();   // three fresh, empty folders; an empty registry
    ~TestEnvironment();  // restores the real places and removes the folders

    // which: 0 shared documents, 1 personal documents, 2 current directory.
    void write_config(int which, const std::string& text);
    void set_registry_port(const std::string& value_name, const std::string& port);
    const std::string& folder(int which) const { return folders_[which]; }

private:
    std::string root_;
    std::string folders_[3];
};
