#include "core/panel_lookup.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/session_setup.h"

bool find_field(LayoutColumn layout, const char* name, const char* units, uint32_t* out) {
    int32_t offset = layout_offset(layout, name, units);
    if (offset < 0) {
        console_print("Error: data field %s (%s) is not declared\n", name, units);
        return false;
    }
    *out = static_cast<uint32_t>(offset);
    return true;
}

bool find_event(EventColumn column, const char* name, uint32_t* out) {
    int32_t id = event_id(column, name);
    if (id < 0) {
        console_print("Error: client event %s is not mapped\n", name);
        return false;
    }
    *out = static_cast<uint32_t>(id);
    return true;
}

bool find_power_fields(LayoutColumn layout, const char* partial_panel, PowerFields* out) {
    PowerFields f{};
    bool ok = find_field(layout, "AVIONICS MASTER SWITCH", "boolean", &f.avionics_switch);
    ok &= find_field(layout, "CIRCUIT GENERAL PANEL ON", "boolean", &f.panel_circuit);
    if (partial_panel) ok &= find_field(layout, partial_panel, "Enum", &f.partial_panel);
    if (ok) *out = f;
    return ok;
}

bool power_switches_on(const uint8_t* block, const PowerFields& f) {
    return block_i32(block, f.avionics_switch) != 0 && block_i32(block, f.panel_circuit) != 0;
}

bool power_accepts_input(const uint8_t* block, const PowerFields& f) {
    return power_switches_on(block, f) && block_i32(block, f.partial_panel) == 0;
}

bool power_shows_display(const uint8_t* block, const PowerFields& f) {
    return power_switches_on(block, f) && block_i32(block, f.partial_panel) != 1;
}
