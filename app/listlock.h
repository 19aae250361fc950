// One window per list: a second start on the list a running copy shows hands
// over to that copy's window; another list, in another folder, starts normally.
#pragma once
#include <windows.h>

// Takes the lock of the list whose auto-save file AutoSavePath names; false
// when a running copy holds it, whose window (of class windowClass) has then
// been brought to the front.
bool TakeListLock(const char *windowClass);

// Marks window as the one showing this list, so that a second start finds
// it; UnmarkListWindow takes the mark away before the window goes.
void MarkListWindow(HWND window);
void UnmarkListWindow(HWND window);
