// The control table of the main window: its child controls in the order of
// creation, with class, text, style and place.
#pragma once
#include "base/globals.h"

// One row of the control table.
struct ControlRow {
    HWND *handle; // global that keeps it, or NULL
    const char *className;
    const char *text;
    DWORD style;
    int x, y, width, height;
};

enum { CONTROL_COUNT = 19 };

// The child controls in the order of creation, which is also their z-order.
extern const ControlRow ControlTable[CONTROL_COUNT];
