// Names beside a user's file that the launcher changes (exe.xml,
// Avionics-Panel.cfg): the file as it was, and the new text that must read
// back as written before it takes the file's place. One pair for both, so a
// user finds the same names whichever file the launcher touched.
#pragma once

constexpr char kBackupSuffix[] = ".relay-backup";
constexpr char kScratchSuffix[] = ".relay-new";
