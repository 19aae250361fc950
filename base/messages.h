// Message boxes: every note, question, warning and error notice of the
// program is built and shown here, owned by the main window.
#pragma once
#include <windows.h>

// Shows a message box with the given text, title and type; returns the button.
// While notices are held, a note with only an OK button is kept (IDOK) and
// shown by ShowHeldNotices.
int ShowNotice(const char *text, const char *title, UINT type);

// Holds the notes of the window's creation, which must not appear before the
// window that owns them exists, over half-made controls; ShowHeldNotices
// shows them, in order, and ends the holding. Window's thread only.
void HoldNotices();
void ShowHeldNotices();

// Asks a yes/no question under the title "Rückfrage"; true only for yes.
bool AskYes(const char *question, UINT icon = MB_ICONQUESTION, UINT defaultButton = MB_DEFBUTTON1);

// Shows "<message> '<path>'[<more> '<morePath>']\n\nFehler <code>: <system text>"
// with the given buttons and icon under the title "Fehler"; returns the button.
int ShowErrorNotice(DWORD code, UINT type, const char *message, const char *path, const char *more = NULL,
                    const char *morePath = NULL);

// Error notice with an OK button for a failed system call.
void ReportError(DWORD code, const char *message, const char *path);
