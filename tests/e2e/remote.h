// Driving KR-Mirrorix.exe from another process: windows, texts, message
// boxes, the folder browser and the file dialogs.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

enum {
    STEP_TIMEOUT_MS = 30000,
    BOX_POLL_MS = 30 // how often a wait for a box looks
};

// Thrown-free failure reporting: prints the step that did not happen and exits.
[[noreturn]] void Fail(const std::string &step);
void Check(bool condition, const std::string &step);

// The running program and its main window's controls, in creation order.
struct Program {
    PROCESS_INFORMATION process = {};
    HWND main = NULL;
    std::vector<HWND> controls;
    HWND Control(int number) const { return controls.at(number - 1); } // numbers of the control table
};

enum {
    C_PAIR_LIST = 1, C_SOURCE_BROWSE, C_TARGET_BROWSE, C_EXIT, C_SYNC, C_ADD, C_REMOVE, C_HELP,
    C_CURRENT_FILE = 12, C_FILE_BAR, C_TOTAL_BAR, C_COPIED, C_CLEANED, C_SOURCE_EDIT, C_TARGET_EDIT, C_CLEANUP
};

Program StartProgram(const std::string &exe, const std::string &folder);
DWORD WaitForExit(Program &program, DWORD timeoutMs);
void CloseNotepads();

std::string Text(HWND window);
std::string ListEntry(HWND list, int index);
void Click(const Program &program, HWND button);
void MenuCommand(const Program &program, int id);

// A message box (or other dialog) of the program.
struct Box {
    HWND window = NULL;
    std::string title, text;
};

// The message box of the program whose text contains part, if one is shown
// (window NULL otherwise).
Box ShownBox(const Program &program, const std::string &part);

// Waits for a dialog of the program whose text contains part ("" for any message box),
// looking every pollMs.
Box WaitForBox(const Program &program, const std::string &part, DWORD timeoutMs = STEP_TIMEOUT_MS,
               DWORD pollMs = BOX_POLL_MS);
void Answer(const Box &box, int button);
// Waits for the box, checks its title, answers it; returns its text.
std::string AnswerBox(const Program &program, const std::string &part, const std::string &title, int button);
bool BoxShown(const Program &program);

// Chooses folder (a Z:\ path ending in a backslash) in the folder browser.
void ChooseInFolderBrowser(const Program &program, const std::string &folder);
// Chooses the item of the folder browser's first level (below the root) whose
// text is one of the given names, e.g. a virtual folder without a path.
void ChooseTopLevelItem(const Program &program, const std::vector<std::string> &names);
// Types name into the open or save dialog and accepts it.
void ChooseInFileDialog(const Program &program, const std::string &name);

bool WaitUntil(bool (*condition)(void *), void *context, DWORD timeoutMs);
