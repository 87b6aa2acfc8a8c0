// One launcher per computer: it holds a UDP port of its own on the loopback
// address for as long as it runs. Two launchers would both search for the
// panels and start every program twice; and the programs' own ports do not
// tell, since a program binds its port only once a simulator session opened.
#pragma once

#include <cstdint>

constexpr uint16_t kLauncherPort = 4769;  // just below the programs' ports

enum InstanceLock {
    LOCK_TAKEN,
    LOCK_HELD_ELSEWHERE,  // another launcher holds it
    LOCK_FAILED,          // the port could not be tried (said on the console)
};

InstanceLock take_instance_lock();

void release_instance_lock();
