// Control commands, one per line, from standard input or the control port.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/env.h"
#include "tools/sim_standin/standin_server.h"
#include "tools/sim_standin/standin_state.h"

namespace {

const char kHelp[] =
    "commands:\n"
    "  set <VARIABLE[:index]> <value>   value in the natural unit (MHz, kHz, code 1200, 0/1, degrees)\n"
    "  set TITLE <text>                 the aircraft title\n"
    "  get <VARIABLE[:index]> [unit]    print a value, optionally in a client unit (\"Frequency BCD16\")\n"
    "  event <EVENT_NAME> [data]        apply a simulator event as a client would\n"
    "  frames on|off|<rate>             resume, pause or set the per-frame rate (frames a second)\n"
    "  clients                          list connected clients\n"
    "  dump                             print every stored variable\n"
    "  reset                            back to the demo aircraft\n"
    "  quit                             send the quit message to every client and exit\n";

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Splits "NAME WITH BLANKS value" at the last blank.
bool split_last(const std::string& rest, std::string* name, std::string* value) {
    size_t sp = rest.find_last_of(" \t");
    if (sp == std::string::npos) return false;
    *name = trim(rest.substr(0, sp));
    *value = trim(rest.substr(sp + 1));
    return !name->empty() && !value->empty();
}

bool parse_number(const std::string& text, double* v) {
    char* end = nullptr;
    *v = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

// Event data: decimal, or hexadecimal with 0x (packed words read best so).
bool parse_data(const std::string& text, uint32_t* v) {
    char* end = nullptr;
    long long n = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || n < -2147483648LL || n > 4294967295LL) return false;
    *v = static_cast<uint32_t>(n);
    return true;
}

std::string format_value(const std::string& name, const VarValue& v) {
    char buf[400];
    if (v.is_text) {
        std::snprintf(buf, sizeof(buf), "%s = \"%s\"\n", name.c_str(), v.text.c_str());
    } else {
        std::snprintf(buf, sizeof(buf), "%s = %.10g\n", name.c_str(), v.number);
    }
    return buf;
}

std::string cmd_set(const std::string& rest) {
    std::string key;
    size_t sp = rest.find_first_of(" \t");
    if (sp != std::string::npos && normalize_var_name(rest.substr(0, sp).c_str(), &key) && key == "TITLE") {
        std::string text = trim(rest.substr(sp));
        std::lock_guard<std::mutex> hold(g_standin.model_lock);
        if (!radio_set_title(&g_standin.stack, text.c_str())) return "error: title longer than 255 characters\n";
        return "TITLE = \"" + text + "\"\n";
    }
    std::string name, value_text;
    double value;
    if (!split_last(rest, &name, &value_text) || !parse_number(value_text, &value)) {
        return "error: usage: set <VARIABLE[:index]> <number>\n";
    }
    std::string error;
    std::lock_guard<std::mutex> hold(g_standin.model_lock);
    uint64_t now = platform::monotonic_ms();
    if (!radio_set(&g_standin.stack, name.c_str(), value, now, &error)) return "error: " + error + "\n";
    return format_value(name, radio_get(g_standin.stack, name.c_str(), "", now));
}

std::string cmd_get(const std::string& rest) {
    // A trailing quoted unit is optional: get COM ACTIVE FREQUENCY:1 "Frequency BCD16"
    std::string name = rest, unit;
    size_t q = rest.find('"');
    if (q != std::string::npos) {
        size_t q2 = rest.find('"', q + 1);
        if (q2 == std::string::npos) return "error: unit lacks its closing quote\n";
        name = trim(rest.substr(0, q));
        unit = rest.substr(q + 1, q2 - q - 1);
    }
    std::string key;
    if (!normalize_var_name(name.c_str(), &key)) return "error: usage: get <VARIABLE[:index]> [\"unit\"]\n";
    std::lock_guard<std::mutex> hold(g_standin.model_lock);
    VarValue v = radio_get(g_standin.stack, name.c_str(), unit.c_str(), platform::monotonic_ms());
    if (!unit.empty() && !v.is_text) {
        char buf[400];
        std::snprintf(buf, sizeof(buf), "%s = %.10g (0x%X) [%s]\n", key.c_str(), v.number,
                      static_cast<uint32_t>(static_cast<int64_t>(v.number)), unit.c_str());
        return buf;
    }
    return format_value(key, v);
}

std::string cmd_event(const std::string& rest) {
    std::istringstream in(rest);
    std::string name, data_text;
    in >> name >> data_text;
    uint32_t data = 0;
    if (name.empty() || (!data_text.empty() && !parse_data(data_text, &data))) {
        return "error: usage: event <EVENT_NAME> [data]\n";
    }
    std::lock_guard<std::mutex> hold(g_standin.model_lock);
    switch (radio_apply_event(&g_standin.stack, name.c_str(), data, platform::monotonic_ms())) {
    case EVENT_APPLIED: return "event " + name + " applied\n";
    case EVENT_BAD_DATA: return "error: " + name + " ignored: data is no valid value\n";
    case EVENT_UNKNOWN: break;
    }
    return "error: unknown event " + name + "\n";
}

std::string cmd_frames(const std::string& rest) {
    if (rest == "off") {
        g_standin.frames_paused = true;
        return "frames paused\n";
    }
    if (rest == "on") {
        g_standin.frames_paused = false;
        return "frames running\n";
    }
    double rate;
    if (parse_number(rest, &rate) && set_frame_rate(rate)) {
        g_standin.frames_paused = false;
        return "frame rate " + rest + " a second\n";
    }
    return "error: usage: frames on|off|<rate 0.1..1000>\n";
}

std::string cmd_clients() {
    std::string reply;
    std::lock_guard<std::mutex> hold_clients(g_standin.clients_lock);
    std::lock_guard<std::mutex> hold_model(g_standin.model_lock);
    for (const ClientLink& link : g_standin.clients) {
        if (link.done) continue;
        char buf[400];
        std::snprintf(buf, sizeof(buf), "client %u over %s: \"%s\"\n", link.number, link.transport.c_str(),
                      link.name.c_str());
        reply += buf;
    }
    return reply.empty() ? "no clients\n" : reply;
}

std::string cmd_dump() {
    std::lock_guard<std::mutex> hold(g_standin.model_lock);
    uint64_t now = platform::monotonic_ms();
    std::string reply = format_value("TITLE", radio_get(g_standin.stack, "TITLE", "", now));
    reply += format_value("ABSOLUTE TIME", radio_get(g_standin.stack, "ABSOLUTE TIME", "", now));
    reply += format_value("TRANSPONDER IDENT:1", radio_get(g_standin.stack, "TRANSPONDER IDENT:1", "", now));
    for (const auto& kv : g_standin.stack.values) reply += format_value(kv.first, VarValue{kv.second, false, ""});
    return reply;
}

}  // namespace

std::string standin_command(const std::string& raw) {
    std::string line = trim(raw);
    if (line.empty()) return std::string();
    size_t sp = line.find_first_of(" \t");
    std::string verb = line.substr(0, sp);
    std::string rest = sp == std::string::npos ? std::string() : trim(line.substr(sp));
    if (verb == "set") return cmd_set(rest);
    if (verb == "get") return cmd_get(rest);
    if (verb == "event") return cmd_event(rest);
    if (verb == "frames") return cmd_frames(rest);
    if (verb == "clients") return cmd_clients();
    if (verb == "dump") return cmd_dump();
    if (verb == "reset") {
        std::lock_guard<std::mutex> hold(g_standin.model_lock);
        radio_defaults(&g_standin.stack, platform::monotonic_ms());
        return "reset to the demo aircraft\n";
    }
    if (verb == "help") return kHelp;
    if (verb == "quit") {
        g_standin.quit_requested = true;
        return "quitting\n";
    }
    return "error: unknown command \"" + verb + "\" (try help)\n";
}
