#include "core/shown_lines.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/panel_messages.h"

namespace {

void copy_line(char* to, const char* line) {
    std::strncpy(to, line, kLineBufferSize - 1);
    to[kLineBufferSize - 1] = '\0';
}

// The element's entry, or -1 when none was sent to it (or the table is full).
int shown_index(char element) {
    const ShownLines& s = g_bridge.shown;
    for (int i = 0; i < s.count; ++i) {
        if (s.line[i][0] == element) return i;
    }
    return -1;
}

// Only the last held line for an element is what it would end up showing.
bool last_held_for_its_element(int index) {
    const ShownLines& s = g_bridge.shown;
    for (int j = index + 1; j < s.held_count; ++j) {
        if (s.held[j][0] == s.held[index][0]) return false;
    }
    return true;
}

}  // namespace

bool hold_line(const char* line) {
    ShownLines& s = g_bridge.shown;
    // More lines than any display step sends: the rest go out at once.
    if (!s.holding || s.held_count >= kHeldLines) return false;
    copy_line(s.held[s.held_count++], line);
    return true;
}

void note_line_shown(const char* line) {
    ShownLines& s = g_bridge.shown;
    int i = shown_index(line[0]);
    if (i < 0) {
        if (s.count >= kShownElements) return;  // unknown: always counts as changed
        i = s.count++;
    }
    copy_line(s.line[i], line);
}

void forget_shown_lines() { g_bridge.shown.count = 0; }

void redraw_changed_lines(void (*display)(const uint8_t* block), const uint8_t* block) {
    ShownLines& s = g_bridge.shown;
    s.holding = 1;
    s.held_count = 0;
    display(block);
    s.holding = 0;
    for (int i = 0; i < s.held_count; ++i) {
        if (!last_held_for_its_element(i)) continue;
        int shown = shown_index(s.held[i][0]);
        if (shown >= 0 && std::strcmp(s.line[shown], s.held[i]) == 0) continue;
        send_line("%s", s.held[i]);
    }
}
