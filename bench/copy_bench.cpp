// Copy-path benchmark: milliseconds per file for the platform's CopyFileExA
// and for the program's own copy routine, each into a fresh folder,
// alternating rounds so that both meet the same disk state; then per file a
// name look-up, DeleteFileA, and the cleanup's removal through a handle
// checked against its final path.
// Usage: copy_bench <folder\> [files] [KiB per file], by default 2000 x 4 KiB.
#include "base/identity.h"
#include "engine/chunkcopy.h"
#include "engine/removal.h"
#include <stdio.h>
#include <stdlib.h>
#include <string>

static DWORD CALLBACK Quiet(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                            LPVOID)
{
    return PROGRESS_CONTINUE;
}

// Milliseconds since start.
static double Since(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

// Removes every file of folder, by name or through the checked handle; returns ms.
static double RemoveAll(const std::string &folder, int files, bool checked)
{
    Identity identity;
    Identify(folder.c_str(), &identity);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++) {
        std::string name = "\\f" + std::to_string(i) + ".txt", path = folder + name;
        bool ok = checked ? RemoveFileName(path.c_str(), (identity.finalPath + name).c_str(), false) == ERROR_SUCCESS
                          : DeleteFileA(path.c_str()) != 0;
        if (!ok)
            printf("removal failed: %lu\n", GetLastError());
    }
    return Since(start);
}

// Copies every source file into target with one method; returns ms.
static double CopyAll(const std::string &source, const std::string &target, int files, bool own)
{
    CreateDirectoryA(target.c_str(), NULL);
    BOOL cancel = FALSE;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++) {
        std::string name = "\\f" + std::to_string(i) + ".txt";
        std::string from = source + name, to = target + name;
        BOOL ok = own ? CopyFileChunked(from.c_str(), to.c_str(), NULL, Quiet, NULL, &cancel, 0)
                      : CopyFileExA(from.c_str(), to.c_str(), Quiet, NULL, &cancel, 0);
        if (!ok)
            printf("copy failed: %lu\n", GetLastError());
    }
    return Since(start);
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
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++)
        GetFileAttributesA((source + "\\f" + std::to_string(i) + ".txt").c_str());
    double lookUp = Since(start), byName = RemoveAll(base + "ziel-api-0", files, false),
           checked = RemoveAll(base + "ziel-own-0", files, true);
    printf("per file: GetFileAttributesA %.3f ms, DeleteFileA %.3f ms, removal through a checked handle %.3f ms\n",
           lookUp / files, byName / files, checked / files);
    return 0;
}
