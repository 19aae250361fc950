// What the run learnt of every source folder the count pass listed, so that
// the cleanup deletes in a target folder only while its source counterpart
// is still that folder: a disk unmounted below the source root, or a folder
// moved away and made anew, would leave an empty folder in which every
// counterpart looks absent.
#pragma once
#include <windows.h>
#include "listing.h"

// Learns the folder (ending in a backslash) as its listing found it: its
// identity and whether it held any entry.
void LearnSourceFolder(const WCHAR *folder, const FolderLevel *listing);

// True when the folder (ending in a backslash) holds an entry: the one it
// held when it was learnt is still there, or its listing shows one.
bool SourceFolderHoldsEntry(const WCHAR *folder);

// True when the folder is still the one learnt (file index, and with
// byCreationTime, for a source on a volume of serial 0 where two disks give
// one index, its creation time, which under Wine changes with the folder's
// content, so a source edited during the run counts as changed: the safe
// side) and, when it held entries, still holds one; false for a folder not learnt.
bool SourceFolderUnchanged(const WCHAR *folder, bool byCreationTime);

// Forgets every folder learnt (the run's end).
void ForgetSourceFolders();
