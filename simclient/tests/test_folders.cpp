#include "simclient/tests/test_folders.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "simclient/connection_settings.h"

namespace {

std::string g_folders[3];
std::map<std::string, std::string> g_registry;
SimEnvironment g_saved;

bool test_folder(int which, char* out, size_t size) {
    if (which < 0 || which > 2 || g_folders[which].size() + 1 > size) return false;
    std::strcpy(out, g_folders[which].c_str());
    return true;
}

bool test_registry(const char* value_name, char* out, uint32_t size) {
    auto it = g_registry.find(value_name);
    if (it == g_registry.end() || it->second.size() + 1 > size) return false;
    std::strcpy(out, it->second.c_str());
    return true;
}

}  // namespace

TestEnvironment::TestEnvironment() {
    static std::atomic<int> counter{0};
    namespace fs = std::filesystem;
    root_ = (fs::temp_directory_path() / ("simclient-test-" + std::to_string(counter++) + "-" +
                                          std::to_string(reinterpret_cast<uintptr_t>(this))))
                .string();
    for (int i = 0; i < 3; ++i) {
        folders_[i] = (fs::path(root_) / ("folder" + std::to_string(i))).string();
        fs::create_directories(folders_[i]);
        g_folders[i] = folders_[i];
    }
    g_registry.clear();
    g_saved = g_sim_environment;
    g_sim_environment.config_folder = test_folder;
    g_sim_environment.registry_port = test_registry;
}

TestEnvironment::~TestEnvironment() {
    g_sim_environment = g_saved;
    g_registry.clear();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

void TestEnvironment::write_config(int which, const std::string& text) {
    std::string path = (std::filesystem::path(folders_[which]) / "SimConnect.cfg").string();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

void TestEnvironment::set_registry_port(const std::string& value_name, const std::string& port) {
    g_registry[value_name] = port;
}
