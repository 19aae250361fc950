// What the run learnt of every source folder the count pass listed, so that
// the cleanup deletes in a target folder only while its source counterpart
// is still that folder: a disk unmounted below the source root, or a folder
// moved away and made anew, would leave an empty folder in which every
// counterpart looks absent.
#pragma once
#include <windows.h>

// Learns the folder (ending in a backslash) as it is now, and whether its
// listing held any entry.
void LearnSourceFolder(const char *folder, bool heldEntries);

// True when the folder is still the one learnt (volume serial and file
// index, and where the serial is 0 also its creation time) and, when it
// held entries, still holds one; false for a folder not learnt.
bool SourceFolderUnchanged(const char *folder);

// Forgets every folder learnt (the run's end).
void ForgetSourceFolders();
