// Resource and command identifiers, shared by the resource script, the
// program and its tests.
#pragma once

#define ICON_RESOURCE 101
#define MENU_RESOURCE 102

#define OpenMenuItem 40001
#define SaveAsMenuItem 40002
#define ExitMenuItem 40003
#define HelpMenuItem 40004
