// One launcher per computer: it holds a UDP port of its own on the loopback
// address for as long as it runs. Two launchers would both search for the
// panels and start every program twice; and the programs' own ports do not
// tell, since a program binds its port only once a simulator session opened.
#pragma once

#include <cstdint>

constexpr uint16_t kLauncherPort = 4769;  // just below the programs' ports

// Takes the port; false when another launcher holds it.
bool take_instance_lock();

void release_instance_lock();
