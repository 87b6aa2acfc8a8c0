// Which network adapter the launcher searches on and its programs use. As
// the programs choose it (INTERFACE_INDEX, or the only adapter there is),
// or as --interface N says for this run. Where INTERFACE_INDEX names none of
// several adapters, the launcher looks for the panels on all of them, and
// with the user's yes at the console writes the one they answered on into
// Avionics-Panel.cfg; otherwise that adapter holds for this run only, the
// programs running from a folder of the launcher's own (run_folder.h).
#pragma once

// Sets g_launcher's adapter and the programs' folder. may_ask: a user at a
// console can answer questions. False when the launcher cannot go on
// (--interface names no adapter), with a console line saying why.
bool settle_adapter(bool may_ask);

// Several adapters and none settled: begins the search on every adapter
// again (g_launcher.adapter_search); false when there is none to search on.
bool search_every_adapter_again();

// Acts on that search when it has ended: where panels answered, that adapter
// for this run only (nobody is asked while the table is shown). True when an
// adapter is settled now.
bool settle_adapter_from_search();

// The adapter's address has gone (a new lease, a cable plugged in again):
// reads it again by the adapter's index, and says so.
void read_adapter_again();
