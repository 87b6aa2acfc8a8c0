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
