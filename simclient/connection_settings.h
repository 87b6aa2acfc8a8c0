// Where SimConnect_Open connects: the optional SimConnect.cfg files and the
// simulator's published ports.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t SIM_PROTOCOL_PIPE = 1;
constexpr uint32_t SIM_PROTOCOL_IPV4 = 2;
constexpr uint32_t SIM_PROTOCOL_IPV6 = 23;
constexpr uint32_t SIM_DEFAULT_MAX_RECEIVE = 41088;
constexpr uint32_t SIM_SETTING_TEXT = 2048;  // configuration values up to 2047 characters
constexpr uint32_t SIM_REGISTRY_PORT_TEXT = 20;

struct ConnectionSettings {
    uint32_t protocol;
    char address[SIM_SETTING_TEXT];
    char port[SIM_SETTING_TEXT];
    uint32_t max_receive_size;
    bool disable_nagle;
};

// The places the client looks in. The defaults use the platform layer; tests
// swap them for folders and ports of their own.
struct SimEnvironment {
    // which: 0 shared documents, 1 personal documents, 2 current directory.
    bool (*config_folder)(int which, char* out, size_t size);
    // Reads "SimConnect_Port_IPv4" / "SimConnect_Port_IPv6"; false when absent.
    bool (*registry_port)(const char* value_name, char* out, uint32_t size);
};
extern SimEnvironment g_sim_environment;

void settings_defaults(ConnectionSettings* settings);

// Fills port from the registry value; an absent value leaves it empty.
void settings_registry_port(ConnectionSettings* settings, const char* value_name);

// Reads the SimConnect.cfg files for a configuration index into settings.
void settings_read(uint32_t config_index, ConnectionSettings* settings);

// Applies one SimConnect.cfg (a missing file changes nothing).
void settings_read_file(const char* path, const char* section, ConnectionSettings* settings);

// "SimConnect" for index 0, else "SimConnect.<index>".
void settings_section_name(uint32_t config_index, char* out, size_t size);

// True when some SimConnect.cfg holds a non-empty section for the index.
bool settings_index_has_section(uint32_t config_index);

// The pipe name for the address and port.
void settings_pipe_name(const ConnectionSettings* settings, char* out, size_t size);
