// The control table of the main window.
#include "controls.h"
#include "base/texts.h"

enum : DWORD {
    PLAIN_STYLE = WS_CHILD | WS_VISIBLE, // push buttons, left-aligned labels, progress bars
    CENTERED_LABEL = WS_CHILD | WS_VISIBLE | SS_CENTER,
    LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
    READ_ONLY_EDIT = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY,
    CHECK_STYLE = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX
};

// The child controls in the order of creation (also their z-order).
// The table reads like the layout it mirrors: kept out of the formatter's reach.
// clang-format off
const ControlRow ControlTable[CONTROL_COUNT] = {
    // handle               class                text                    style            x    y    w    h
    {&PairList,           "listbox",           "",                     LIST_STYLE,      50, 220, 500, 175},
    {&SourceBrowseButton, "button",            BROWSE_BUTTON_TEXT,     PLAIN_STYLE,    500,  95,  50,  25},
    {&TargetBrowseButton, "button",            BROWSE_BUTTON_TEXT,     PLAIN_STYLE,    500, 125,  50,  25},
    {&ExitButton,         "button",            EXIT_BUTTON_TEXT,       PLAIN_STYLE,    350, 575, 200,  25},
    {&SyncButton,         "button",            SYNC_BUTTON_TEXT,       PLAIN_STYLE,     50, 575, 200,  25},
    {&AddPairButton,      "button",            ADD_BUTTON_TEXT,        PLAIN_STYLE,    100, 175, 400,  25},
    {&RemovePairButton,   "button",            REMOVE_BUTTON_TEXT,     PLAIN_STYLE,    100, 395, 400,  25},
    {&HelpButton,         "button",            HELP_BUTTON_TEXT,       PLAIN_STYLE,    500,   0, 100,  25},
    {NULL,                "static",            BANNER_TEXT,            CENTERED_LABEL, 150,  20, 300,  50},
    {NULL,                "static",            SOURCE_LABEL_TEXT,      PLAIN_STYLE,     50, 105, 100,  30},
    {NULL,                "static",            TARGET_LABEL_TEXT,      PLAIN_STYLE,     50, 135, 100,  30},
    {&CurrentFileLabel,   "static",            NO_CURRENT_FILE_TEXT,   CENTERED_LABEL,   0, 465, 600,  25},
    {&FileProgressBar,    "msctls_progress32", "",                     PLAIN_STYLE,     50, 490, 500,  20},
    {&TotalProgressBar,   "msctls_progress32", "",                     PLAIN_STYLE,     50, 520, 500,  20},
    {&CopiedStatusLabel,  "static",            EMPTY_STATUS_TEXT,      CENTERED_LABEL,   0, 550, 300,  25},
    {&CleanedStatusLabel, "static",            EMPTY_STATUS_TEXT,      CENTERED_LABEL, 300, 550, 300,  25},
    {&SourceEdit,         "edit",              "",                     READ_ONLY_EDIT, 150, 100, 300,  20},
    {&TargetEdit,         "edit",              "",                     READ_ONLY_EDIT, 150, 130, 300,  20},
    {&CleanupCheckbox,    "button",            CLEANUP_CHECKBOX_TEXT,  CHECK_STYLE,    220, 430, 200,  25},
};
// clang-format on
