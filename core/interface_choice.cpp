#include "core/interface_choice.h"

#include "core/console.h"

const platform::InterfaceRow* choose_interface(const platform::InterfaceTable& table, int32_t interface_index) {
    const uint32_t loopback = platform::host_to_net32(0x7F000001u);
    for (uint32_t i = 0; i < table.count; ++i) {
        const platform::InterfaceRow& row = table.rows[i];
        bool index_fits = row.index == static_cast<uint32_t>(interface_index) || table.count == 2;
        if (index_fits && row.address != loopback) return &row;
    }
    return nullptr;
}

uint32_t interface_broadcast(const platform::InterfaceRow& row) { return row.address | ~row.mask; }

void list_interfaces(const platform::InterfaceTable& table, const char* heading) {
    console_print("%s", heading);
    console_print("\n%d interfaces found:\n", static_cast<int>(table.count));
    for (uint32_t i = 0; i < table.count; ++i) {
        char dotted[16];
        platform::format_ipv4(table.rows[i].address, dotted, sizeof dotted);
        console_print("Interface Index %3ld has IP Address %s\n", static_cast<long>(table.rows[i].index), dotted);
    }
}
