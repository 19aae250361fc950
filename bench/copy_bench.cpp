// Copy-path benchmark: milliseconds per file for the platform's CopyFileExA
// and for the program's own copy routine, each into a fresh folder,
// alternating rounds so that both meet the same disk state.
// Usage: copy_bench <folder\> [files] [KiB per file], by default 2000 x 4 KiB.
#include "engine/chunkcopy.h"
#include <stdio.h>
#include <stdlib.h>
#include <string>

static DWORD CALLBACK Quiet(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                            LPVOID)
{
    return PROGRESS_CONTINUE;
}

// Copies every source file into target with one method; returns ms.
static double CopyAll(const std::string &source, const std::string &target, int files, bool own)
{
    CreateDirectoryA(target.c_str(), NULL);
    BOOL cancel = FALSE;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++) {
        std::string name = "\\f" + std::to_string(i) + ".txt";
        std::string from = source + name, to = target + name;
        BOOL ok = own ? CopyFileChunked(from.c_str(), to.c_str(), NULL, Quiet, NULL, &cancel, 0)
                      : CopyFileExA(from.c_str(), to.c_str(), Quiet, NULL, &cancel, 0);
        if (!ok)
            printf("copy failed: %lu\n", GetLastError());
    }
    QueryPerformanceCounter(&end);
    return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    std::string base = argv[1];
    int files = argc > 2 ? atoi(argv[2]) : 2000;
    int kib = argc > 3 ? atoi(argv[3]) : 4;
    if (files <= 0 || kib <= 0 || kib > 256 * 1024)
        return 2;
    std::string source = base + "quelle";
    CreateDirectoryA(source.c_str(), NULL);
    std::string data((size_t)kib * 1024, 'x');
    for (int i = 0; i < files; i++) {
        HANDLE file = CreateFileA((source + "\\f" + std::to_string(i) + ".txt").c_str(), GENERIC_WRITE, 0, NULL,
                                  CREATE_ALWAYS, 0, NULL);
        DWORD written;
        WriteFile(file, data.data(), (DWORD)data.size(), &written, NULL);
        CloseHandle(file);
    }
    double platform = 0, own = 0;
    for (int round = 0; round < 3; round++) {
        platform += CopyAll(source, base + "ziel-api-" + std::to_string(round), files, false);
        own += CopyAll(source, base + "ziel-own-" + std::to_string(round), files, true);
    }
    printf("per file: CopyFileExA %.3f ms, own copy %.3f ms, ratio %.2f\n", platform / 3 / files, own / 3 / files,
           own / platform);
    return 0;
}
