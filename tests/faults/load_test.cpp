// Load: a tree of 100,000 files and folders nested 60 deep, made on the
// Linux side, mirrored by a real run; and a cancel during its count pass.
#include "support.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/runstate.h"
#include "engine/syncrun.h"
#include "pairs/selectionfile.h"
#include <gtest/gtest.h>
#include <psapi.h>

namespace {

const std::string BASE = "Z:\\tmp\\mirrorix-load\\";

struct LoadTest : ::testing::Test {
    TempFolder temp;
    int expectedFiles = 0;
    void SetUp() override
    {
        std::string count = ReadBytes(BASE + "expected-files.txt");
        if (count == "<missing>")
            GTEST_SKIP() << "no load tree prepared at " << BASE;
        expectedFiles = atoi(count.c_str());
        ClearCancel();
        SetRunActive(false);
        AutoSavePath[0] = 0;
        ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), SW_SHOWNORMAL), (HWND)NULL);
        std::string entry = "'" + BASE + "source\\' -> '" + BASE + "target\\'";
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
        EnableWindow(SyncButton, TRUE);
    }
    void TearDown() override
    {
        if (MainWindow != NULL && IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        MainWindow = NULL;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        ClearCancel();
    }
    void RunToEnd(BoxAnswerer &answerer, DWORD timeoutMs)
    {
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)SyncButton);
        DWORD start = GetTickCount();
        while ((IsRunActive() || answerer.Count("Synchronisierung ab") == 0) && GetTickCount() - start < timeoutMs)
            PumpFor(50);
        PumpFor(300);
        ASSERT_FALSE(IsRunActive()) << "the run did not end in time";
    }
};

TEST_F(LoadTest, CancelDuringTheCountPassStopsEverything)
{
    BoxAnswerer answerer;
    // The start returns once the worker exists; the click right after it
    // arrives while the large tree is being counted.
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)SyncButton);
    ASSERT_TRUE(IsRunActive());
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 0 / 0") << "the count pass is still running";
    PostMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)SyncButton);
    DWORD start = GetTickCount();
    while ((IsRunActive() || answerer.Count("Synchronisierung ab") == 0) && GetTickCount() - start < 120000)
        PumpFor(50);
    PumpFor(300);
    ASSERT_FALSE(IsRunActive());
    EXPECT_EQ(answerer.Count("laufende Synchronisierung wirklich abbrechen"), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((BASE + "target\\*.*").c_str(), &entry);
    int entries = 0;
    do
        entries++;
    while (FindNextFileA(listing, &entry));
    FindClose(listing);
    EXPECT_LE(entries, 3) << "the cancel during counting stopped the mirror at once";
}

TEST_F(LoadTest, DeepLargeTreeIsMirroredWithRightCountsAndFlatMemory)
{
    BoxAnswerer answerer;
    DWORD start = GetTickCount();
    RunToEnd(answerer, 900000);
    printf("mirror of %d files took %lu ms\n", expectedFiles, GetTickCount() - start);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    EXPECT_EQ(answerer.Seen().size(), 2u) << "start question and closing note only";
    char left[64];
    snprintf(left, sizeof left, "synchronisierte Dateien: %d / %d", expectedFiles, expectedFiles);
    EXPECT_EQ(ControlText(CopiedStatusLabel), left);
    char right[64];
    snprintf(right, sizeof right, "bereinigte Dateien: 0 / %d", expectedFiles);
    EXPECT_EQ(ControlText(CleanedStatusLabel), right);
    EXPECT_EQ(BarPosition(TotalProgressBar), 100);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    printf("peak working set %lu KiB\n", (unsigned long)(memory.PeakWorkingSetSize / 1024));
    EXPECT_LT(memory.PeakWorkingSetSize, (SIZE_T)150 * 1024 * 1024);
}

} // namespace
