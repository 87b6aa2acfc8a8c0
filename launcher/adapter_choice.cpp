#include "launcher/adapter_choice.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/config.h"
#include "core/console.h"
#include "core/interface_choice.h"
#include "launcher/adapter_search.h"
#include "launcher/interface_key.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/outside_programs.h"
#include "launcher/run_folder.h"

namespace {

constexpr char kNoAdapterHeading[] =
    "\nRelay-Launcher: no network adapter to search on: set INTERFACE_INDEX in [NET] to one of these\n";
constexpr char kNoPanelHeading[] =
    "\nRelay-Launcher: no panel answered on any network adapter. Add the one they are on to [NET] of\n"
    "Avionics-Panel.cfg as the line INTERFACE_INDEX=<its index>, or start Relay-Launcher with --interface <its "
    "index>\n";

void use_adapter(uint32_t index, uint32_t address, uint32_t mask) {
    g_launcher.adapter_found = true;
    g_launcher.adapter = Adapter{address, mask};
    g_launcher.adapter_index = index;
    g_launcher.adapter_lost = false;
    g_launcher.adapters_unsettled = false;
}

void dotted(const Adapter& adapter, char* text) { platform::format_ipv4(adapter.address, text, 16); }

// The programs run from a folder of the launcher's own, with a copy of the
// user's file that names the adapter.
void for_this_run_only(uint32_t index) {
    char address[16];
    dotted(g_launcher.adapter, address);
    if (make_run_folder(index, g_launcher.run_folder, sizeof g_launcher.run_folder)) {
        report("interface %u (%s) for this run only: the programs run from %s with a copy of %s that sets "
               "INTERFACE_INDEX=%u; the file itself stays as it is",
               index, address, g_launcher.run_folder, kConfigFileName, index);
        return;
    }
    g_launcher.run_folder[0] = '\0';
    report("the programs run from %s, where nothing names the adapter: set INTERFACE_INDEX=%u in [NET] of %s",
           g_launcher.folder, index, kConfigFileName);
}

// One line typed at the console, trimmed; false at the end of the input.
bool read_answer(char* line, size_t size) {
    std::fflush(stdout);
    if (!std::fgets(line, static_cast<int>(size), stdin)) return false;
    size_t n = std::strlen(line);
    if (n > 0 && line[n - 1] != '\n') {
        for (int c = std::getchar(); c != '\n' && c != EOF;) c = std::getchar();  // the rest of a long line
    }
    while (n > 0 && std::isspace(static_cast<unsigned char>(line[n - 1]))) line[--n] = '\0';
    size_t lead = std::strspn(line, " \t");
    std::memmove(line, line + lead, n - lead + 1);
    return true;
}

bool answer_is_yes(const char* line) {
    char lower[8] = {};
    for (size_t i = 0; line[i] && i + 1 < sizeof lower; ++i) lower[i] = static_cast<char>(std::tolower(line[i]));
    return std::strcmp(lower, "y") == 0 || std::strcmp(lower, "yes") == 0;
}

// Asks whether the key goes into the user's file; true once it is written.
bool offer_to_write(uint32_t index) {
    char path[kConfigPathSize];
    ConfigPlace place = user_config_file(path, sizeof path);
    if (place == CONFIG_NONE) {
        console_print("\nThere is no %s yet. Make %s with INTERFACE_INDEX=%u in [NET], so that every\n"
                      "program uses this adapter from now on?\n",
                      kConfigFileName, path, index);
    } else {
        if (place == CONFIG_APP_DATA)
            console_print("\nThere is no %s beside Relay-Launcher: the programs read %s.\n", kConfigFileName, path);
        console_print("\nWrite INTERFACE_INDEX=%u into [NET] of %s, so that every program uses this\n"
                      "adapter from now on? The file as it is now is kept as %s%s.\n",
                      index, path, path, kBackupSuffix);
    }
    console_print("n: use it for this run only and change no file. [y/N] ");
    char line[64];
    if (!read_answer(line, sizeof line) || !answer_is_yes(line)) return false;
    if (!write_interface_key(path, index)) return false;
    report("INTERFACE_INDEX=%u written into [NET] of %s%s%s%s", index, path, place == CONFIG_NONE ? "" : "; it was kept as ",
           place == CONFIG_NONE ? "" : path, place == CONFIG_NONE ? "" : kBackupSuffix);
    return true;
}

// Panels answered on several adapters: the user picks one (Enter: best).
int ask_which(const AdapterFinding* findings, int count, int best) {
    for (;;) {
        console_print("\nPanels answered on more than one adapter; the programs can use one. Which interface? [%u] ",
                      findings[best].index);
        char line[64];
        if (!read_answer(line, sizeof line) || line[0] == '\0') return best;
        char* end;
        long wanted = std::strtol(line, &end, 10);
        for (int a = 0; a < count && *end == '\0' && end != line; ++a) {
            if (findings[a].panels > 0 && findings[a].index == static_cast<unsigned long>(wanted)) return a;
        }
        console_print("%s is none of the interfaces where panels answered.\n", line);
    }
}

// Reports the adapters where panels answered (and, when asked for, those
// where none did); returns the one with the most, -1 when there is none.
int weigh_findings(const AdapterFinding* findings, int count, bool tell_silent, int* with_panels) {
    int best = -1;
    *with_panels = 0;
    for (int a = 0; a < count; ++a) {
        char address[16], panels[128];
        dotted(findings[a].adapter, address);
        if (findings[a].panels == 0) {
            if (tell_silent) report("no panel answered on interface %u (%s)", findings[a].index, address);
            continue;
        }
        answered_panels(findings[a], panels, sizeof panels);
        report("Panels found on interface %u (%s): %s", findings[a].index, address, panels);
        ++*with_panels;
        if (best < 0 || findings[a].panels > findings[best].panels) best = a;
    }
    return best;
}

void unasked_choice(const AdapterFinding& finding) {
    report("panels answered on more than one adapter and nobody can be asked which: interface %u, where the most "
           "answered (--interface N chooses another)",
           finding.index);
}

// INTERFACE_INDEX names none of several adapters: the panels tell which.
void find_adapter(const platform::InterfaceTable& table, bool may_ask) {
    AdapterSearch* search = &g_launcher.adapter_search;
    AdapterFinding* findings = search->findings;
    int total = adapter_candidates(table, findings, kMostAdapters);
    if (total == 0) {
        list_interfaces(table, kNoAdapterHeading);
        report("no network adapter to search on (INTERFACE_INDEX %d): programs are started from PROGRAMS only",
               g_launcher.settings.interface_index);
        return;
    }
    int count = total < kMostAdapters ? total : kMostAdapters;
    report("INTERFACE_INDEX in [NET] names none of the %d network adapters: searching for panels on %s", total,
           count < total ? "the first 16" : "each");
    uint32_t outside[PROGRAM_COUNT];
    find_outside_programs(outside);
    note_outside_programs(outside);
    search_adapters(search, g_launcher.settings, outside, count);
    int with_panels = 0;
    int best = weigh_findings(findings, count, true, &with_panels);
    if (with_panels == 0) {
        list_interfaces(table, kNoPanelHeading);
        report("no panel answered on any network adapter: programs are started from PROGRAMS only; searching "
               "every adapter again %s",
               g_launcher.settings.scan ? "every 10 s and on r" : "on r");
        g_launcher.adapters_unsettled = true;
        return;
    }
    if (with_panels > 1 && may_ask) {
        best = ask_which(findings, count, best);
    } else if (with_panels > 1) {
        unasked_choice(findings[best]);
    }
    use_adapter(findings[best].index, findings[best].adapter.address, findings[best].adapter.mask);
    if (!may_ask || !offer_to_write(findings[best].index)) for_this_run_only(findings[best].index);
}

// --interface N: that adapter for this run, whatever the file says.
bool use_option(const platform::InterfaceTable& table, const platform::InterfaceRow* configured) {
    int32_t wanted = g_launcher.interface_option;
    const platform::InterfaceRow* row = choose_interface(table, wanted);
    if (row && row->index != static_cast<uint32_t>(wanted)) row = nullptr;  // the only adapter, whatever N
    if (!row) {
        char heading[128];
        std::snprintf(heading, sizeof heading, "\nRelay-Launcher: --interface %d names no network adapter\n", wanted);
        list_interfaces(table, heading);
        report("--interface %d names no network adapter: nothing started", wanted);
        return false;
    }
    use_adapter(row->index, row->address, row->mask);
    if (row != configured) for_this_run_only(row->index);
    return true;
}

}  // namespace

bool settle_adapter(bool may_ask) {
    g_launcher.adapter_found = false;
    g_launcher.run_folder[0] = '\0';
    platform::InterfaceTable table;
    uint32_t error = 0;
    if (platform::read_interface_table(&table, &error) != platform::TABLE_OK) {
        report("the network adapters cannot be read (error %u): no search for panels", error);
        return true;
    }
    bool ok = true;
    const platform::InterfaceRow* configured = choose_interface(table, g_launcher.settings.interface_index);
    if (g_launcher.interface_option >= 0) {
        ok = use_option(table, configured);
    } else if (configured) {
        use_adapter(configured->index, configured->address, configured->mask);
    } else {
        find_adapter(table, may_ask);
    }
    platform::free_interface_table(&table);
    return ok;
}

bool search_every_adapter_again() {
    platform::InterfaceTable table;
    uint32_t error = 0;
    if (platform::read_interface_table(&table, &error) != platform::TABLE_OK) return false;
    int count = adapter_candidates(table, g_launcher.adapter_search.findings, kMostAdapters);
    platform::free_interface_table(&table);
    if (count == 0) return false;
    uint32_t outside[PROGRAM_COUNT];
    find_outside_programs(outside);
    note_outside_programs(outside);
    adapter_search_begin(&g_launcher.adapter_search, g_launcher.settings, outside, count);
    return true;
}

bool settle_adapter_from_search() {
    const AdapterSearch& search = g_launcher.adapter_search;
    int with_panels = 0;
    int best = weigh_findings(search.findings, search.count, false, &with_panels);
    if (best < 0) return false;
    const AdapterFinding& finding = search.findings[best];
    if (with_panels > 1) unasked_choice(finding);
    use_adapter(finding.index, finding.adapter.address, finding.adapter.mask);
    for_this_run_only(finding.index);
    return true;
}

void read_adapter_again() {
    char was[16], now[16];
    dotted(g_launcher.adapter, was);
    platform::InterfaceTable table;
    uint32_t error = 0;
    const platform::InterfaceRow* row = nullptr;
    if (platform::read_interface_table(&table, &error) == platform::TABLE_OK)
        row = choose_interface(table, static_cast<int32_t>(g_launcher.adapter_index));
    if (row && row->address != g_launcher.adapter.address) {
        platform::format_ipv4(row->address, now, sizeof now);
        report("the address %s of interface %u has gone: searching on %s (interface %u) from now on", was,
               g_launcher.adapter_index, now, row->index);
        use_adapter(row->index, row->address, row->mask);
    } else if (!g_launcher.adapter_lost) {
        report("the address %s of interface %u has gone and the adapter has no other yet: looking again at "
               "the next search",
               was, g_launcher.adapter_index);
        g_launcher.adapter_lost = true;
    }
    platform::free_interface_table(&table);
}
