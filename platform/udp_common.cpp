#include <cstdio>

#include "platform/udp.h"

namespace platform {

uint16_t host_to_net16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    uint16_t r;
    __builtin_memcpy(&r, b, 2);
    return r;
}

uint32_t host_to_net32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    uint32_t r;
    __builtin_memcpy(&r, b, 4);
    return r;
}

uint32_t net_to_host32(uint32_t v) {
    uint8_t b[4];
    __builtin_memcpy(b, &v, 4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

void format_ipv4(uint32_t address_n, char* buf, size_t size) {
    uint8_t b[4];
    __builtin_memcpy(b, &address_n, 4);
    std::snprintf(buf, size, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
}

}  // namespace platform
