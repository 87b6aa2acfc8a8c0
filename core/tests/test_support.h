// Helpers shared by the core tests.
#pragma once

#include <string>

// A fresh, empty temporary folder; removed by remove_tree.
std::string make_temp_dir();
void remove_tree(const std::string& path);
void write_file(const std::string& path, const std::string& text);
