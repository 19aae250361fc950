// User actions at awkward moments of a run, on the real main window.
#include "support.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/runstate.h"
#include "pairs/selectionfile.h"
#include <gtest/gtest.h>

namespace {

struct AwkwardTest : ::testing::Test {
    TempFolder temp;
    std::string source, target;
    HANDLE lock = INVALID_HANDLE_VALUE;
    void SetUp() override
    {
        ClearCancel();
        SetRunActive(false);
        TakeExitAfterRun();
        AutoSavePath[0] = 0;
        ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), SW_SHOWNORMAL), (HWND)NULL);
        source = temp / "q\\";
        target = temp / "z\\";
        MakeFolder(source);
        MakeFolder(target);
        for (int i = 0; i < 5; i++)
            WriteBytes(source + "f" + std::to_string(i) + ".txt", "x");
        WriteBytes(target + "f2.txt", "held");
        SetWriteTime(target + "f2.txt", 120000000000000000ULL);
        std::string entry = "'" + source + "' -> '" + target + "'";
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
        EnableWindow(SyncButton, TRUE);
        // The locked target file raises a copy prompt in the middle of the run.
        lock = CreateFileA((target + "f2.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    }
    void TearDown() override
    {
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        SetRunActive(false);
        if (MainWindow != NULL && IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        MainWindow = NULL;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        ClearCancel();
        TakeExitAfterRun();
    }
    void Post(HWND control) { PostMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)control); }
    // Starts a run with the sync button and pumps until it ended and its boxes are gone.
    void RunToEnd(BoxAnswerer &answerer)
    {
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)SyncButton);
        DWORD start = GetTickCount();
        while ((IsRunActive() || answerer.Count("Synchronisierung ab") == 0) && GetTickCount() - start < 30000)
            PumpFor(20);
        PumpFor(300);
        ASSERT_FALSE(IsRunActive()) << "the run did not end";
    }
    void ExpectIdleWindow()
    {
        EXPECT_FALSE(IsRunActive());
        EXPECT_EQ(ControlText(SyncButton), "Synchronisieren");
        EXPECT_TRUE(IsWindowEnabled(ExitButton));
        EXPECT_TRUE(IsWindowEnabled(PairList));
        EXPECT_FALSE(GetMenuState(MainMenu, OpenMenuItem, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_TRUE(IsWindow(MainWindow));
    }
};

bool IsCopyPrompt(const std::string &text) { return text.find("Fehler beim Kopieren") == 0; }

TEST_F(AwkwardTest, CancelDuringAPromptThenRetryEndsTheRunCancelled)
{
    bool posted = false, cancelled = false;
    int answered = 0;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (IsCopyPrompt(text)) {
            if (!posted) {
                posted = true;
                Post(SyncButton);
            }
            if (!cancelled || !IsCancelRequested())
                return 0; // the prompt waits until the cancel has taken effect
            return ++answered == 1 ? IDRETRY : IDIGNORE;
        }
        if (text.find("laufende Synchronisierung wirklich abbrechen") != std::string::npos) {
            cancelled = true;
            return IDYES;
        }
        return DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
    std::string seen;
    for (const SeenBox &box : answerer.Seen())
        seen += "[" + box.text.substr(box.text.size() > 40 ? box.text.size() - 40 : 0) + "] ";
    EXPECT_EQ(answerer.Count("\n\nFehler 1235: "), 1) << "a retry after the cancel fails at once: " << seen;
    EXPECT_EQ(answered, 2);
    ExpectIdleWindow();
}

TEST_F(AwkwardTest, CancelTwiceGivesOneCancelledRun)
{
    bool posted = false;
    int cancels = 0;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (IsCopyPrompt(text)) {
            if (!posted) {
                posted = true;
                Post(SyncButton);
                Post(SyncButton);
            }
            return cancels >= 2 ? IDIGNORE : 0;
        }
        if (text.find("laufende Synchronisierung wirklich abbrechen") != std::string::npos) {
            cancels++;
            return IDYES;
        }
        return DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    EXPECT_EQ(answerer.Count("laufende Synchronisierung wirklich abbrechen"), 2);
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung jetzt starten"), 1) << "no second run started";
    ExpectIdleWindow();
}

TEST_F(AwkwardTest, SyncButtonDuringARunNeverStartsASecondRun)
{
    bool posted = false;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (IsCopyPrompt(text)) {
            if (!posted) {
                posted = true;
                Post(SyncButton);
                return 0;
            }
            return IDIGNORE;
        }
        if (text.find("laufende Synchronisierung wirklich abbrechen") != std::string::npos)
            return IDNO;
        return DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    EXPECT_EQ(answerer.Count("Synchronisierung jetzt starten"), 1);
    EXPECT_EQ(answerer.Count("laufende Synchronisierung wirklich abbrechen"), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    EXPECT_TRUE(Exists(target + "f4.txt"));
    ExpectIdleWindow();
}

TEST_F(AwkwardTest, ClickDuringTheStartQuestionStartsOneRun)
{
    bool posted = false;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("jetzt starten") != std::string::npos && !posted) {
            posted = true;
            Post(SyncButton); // dispatched by the question's own message loop
            Sleep(200);
        }
        return IsCopyPrompt(text) ? IDIGNORE : DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    PumpFor(500);
    EXPECT_EQ(answerer.Count("Synchronisierung jetzt starten"), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    ExpectIdleWindow();
}

TEST_F(AwkwardTest, HelpBoxOpenWhileTheRunEnds)
{
    bool posted = false, noteSeen = false;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (IsCopyPrompt(text)) {
            if (!posted) {
                posted = true;
                Post(HelpButton);
            }
            return IDIGNORE;
        }
        if (title == "Hilfe zum Programm")
            return noteSeen && !IsRunActive() ? IDOK : 0;
        if (text.find("Synchronisierung abgeschlossen.") == 0)
            noteSeen = true;
        return DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    DWORD start = GetTickCount();
    while (answerer.Count("Programmhilfe:") == 0 && GetTickCount() - start < 10000)
        PumpFor(20);
    EXPECT_EQ(answerer.Count("Programmhilfe:"), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    ExpectIdleWindow();
}

TEST_F(AwkwardTest, ClosingWhileTheClosingNoteIsUpAsksTheCloseQuestion)
{
    bool posted = false, asked = false;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Synchronisierung abgeschlossen.") == 0) {
            if (!posted) {
                posted = true;
                PostMessageA(MainWindow, WM_CLOSE, 0, 0);
            }
            return asked ? IDOK : 0;
        }
        if (text == "Möchten Sie die Anwendung wirklich beenden?") {
            asked = true;
            return IDNO;
        }
        return IsCopyPrompt(text) ? IDIGNORE : DefaultAnswer(title, text);
    });
    RunToEnd(answerer);
    EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1);
    EXPECT_EQ(answerer.Count("abbrechen und das Programm beenden"), 0);
    PumpFor(300);
    EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1) << "no second close question";
    ExpectIdleWindow();
}

} // namespace
