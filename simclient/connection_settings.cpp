// SimConnect.cfg and the registry ports.
#include "simclient/connection_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/env.h"

static const char kRegistryKey[] = "SOFTWARE\\Microsoft\\Microsoft Games\\KittyHawk";
static const char kConfigFile[] = "SimConnect.cfg";

static bool default_config_folder(int which, char* out, size_t size) {
    switch (which) {
        case 0:
            return platform::shared_documents_folder(out, size);
        case 1:
            return platform::personal_documents_folder(out, size);
        default:
            return platform::current_directory(out, size);
    }
}

static bool default_registry_port(const char* value_name, char* out, uint32_t size) {
    return platform::registry_read_string(kRegistryKey, value_name, out, size);
}

SimEnvironment g_sim_environment = {default_config_folder, default_registry_port};

void settings_defaults(ConnectionSettings* settings) {
    settings->protocol = SIM_PROTOCOL_PIPE;
    settings->address[0] = '\0';
    settings->port[0] = '\0';
    settings->max_receive_size = SIM_DEFAULT_MAX_RECEIVE;
    settings->disable_nagle = false;
}

void settings_registry_port(ConnectionSettings* settings, const char* value_name) {
    settings->port[0] = '\0';
    char value[SIM_REGISTRY_PORT_TEXT];
    if (!g_sim_environment.registry_port(value_name, value, sizeof(value))) return;
    value[sizeof(value) - 1] = '\0';
    std::strcpy(settings->port, value);
}

void settings_section_name(uint32_t config_index, char* out, size_t size) {
    if (config_index == 0) {
        std::snprintf(out, size, "SimConnect");
    } else {
        std::snprintf(out, size, "SimConnect.%u", config_index);
    }
}

// Digits only, as the simulator's configuration writes them; anything after
// the number is ignored and values beyond 32 bits are capped.
static uint32_t parse_decimal(const char* text) {
    unsigned long long value = std::strtoull(text, nullptr, 10);
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

void settings_read_file(const char* path, const char* section, ConnectionSettings* settings) {
    char value[SIM_SETTING_TEXT];
    platform::profile_string(section, "Protocol", "", value, sizeof(value), path);
    if (strcasecmp(value, "Auto") == 0 || strcasecmp(value, "Pipe") == 0) {
        settings->protocol = SIM_PROTOCOL_PIPE;
    } else if (strcasecmp(value, "IPv4") == 0) {
        settings->protocol = SIM_PROTOCOL_IPV4;
        if (settings->port[0] == '\0') settings_registry_port(settings, "SimConnect_Port_IPv4");
    } else if (strcasecmp(value, "IPv6") == 0) {
        settings->protocol = SIM_PROTOCOL_IPV6;
        if (settings->port[0] == '\0') settings_registry_port(settings, "SimConnect_Port_IPv6");
    }
    if (platform::profile_string(section, "Address", "", value, sizeof(value), path) > 0) {
        std::strcpy(settings->address, value);
    }
    if (platform::profile_string(section, "Port", "", value, sizeof(value), path) > 0) {
        std::strcpy(settings->port, value);
    }
    if (platform::profile_string(section, "MaxReceiveSize", "", value, sizeof(value), path) > 0) {
        uint32_t size = parse_decimal(value);
        if (size > settings->max_receive_size) settings->max_receive_size = size;
    }
    if (platform::profile_string(section, "DisableNagle", "", value, sizeof(value), path) > 0) {
        settings->disable_nagle = parse_decimal(value) != 0;
    }
}

static bool config_path(int which, char* out, size_t size) {
    char folder[1024];
    if (!g_sim_environment.config_folder(which, folder, sizeof(folder))) return false;
    return platform::join_path(out, size, folder, kConfigFile);
}

void settings_read(uint32_t config_index, ConnectionSettings* settings) {
    settings_defaults(settings);
    if (config_index == 0xFFFFFFFFu) return;
    char section[32];
    settings_section_name(config_index, section, sizeof(section));
    for (int which = 0; which < 3; ++which) {
        char path[1024];
        if (config_path(which, path, sizeof(path))) settings_read_file(path, section, settings);
    }
}

bool settings_index_has_section(uint32_t config_index) {
    char section[32];
    settings_section_name(config_index, section, sizeof(section));
    for (int which = 0; which < 3; ++which) {
        char path[1024];
        char content[4096];
        if (!config_path(which, path, sizeof(path))) continue;
        if (platform::profile_section(section, content, sizeof(content), path) > 0) return true;
    }
    return false;
}

void settings_pipe_name(const ConnectionSettings* settings, char* out, size_t size) {
    const char* server = settings->address[0] ? settings->address : ".";
    if (settings->port[0] == '\0') {
        std::snprintf(out, size, "\\\\%s\\pipe\\Microsoft Flight Simulator\\SimConnect", server);
    } else {
        std::snprintf(out, size, "\\\\%s\\pipe\\%s", server, settings->port);
        if (size > 255) out[255] = '\0';  // this form is cut at 255 characters
    }
}
