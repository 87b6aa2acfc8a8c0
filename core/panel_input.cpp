#include "core/panel_input.h"

#include <cstring>

bool text_has_code(const char* text, const char* code) {
    return std::strncmp(text, code, std::strlen(code)) == 0;
}

const PanelInput* find_panel_input(const PanelInput* rows, int count, int32_t encoder_version, const char* text) {
    for (int i = 0; i < count; ++i) {
        const PanelInput& row = rows[i];
        if (row.encoder_version != 0 && row.encoder_version != encoder_version) continue;
        if (text_has_code(text, row.code)) return &row;
    }
    return nullptr;
}
