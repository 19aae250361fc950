// Baseline of the benchmark: a plain Win32 mirror without any display.
// Usage: naive_mirror [--fail-safe | --fail-safe-flushed | --list-only] <source\> <target\>
// (both ending in a backslash). --fail-safe writes each replacement to a
// temporary file and renames it into place, as rsync and FreeFileSync do by
// default; --fail-safe-flushed flushes the temporary file before the rename;
// --list-only only lists the source tree once, as a count of its files does.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>

enum Method { IN_PLACE, FAIL_SAFE, FAIL_SAFE_FLUSHED };
static Method Replacing = IN_PLACE;

// Copies source over an existing target the chosen way.
static void Replace(const std::string &source, const std::string &target, const std::string &folder)
{
    if (Replacing == IN_PLACE) {
        CopyFileExA(source.c_str(), target.c_str(), NULL, NULL, NULL, 0);
        return;
    }
    std::string temporary = folder + "~naive.tmp";
    if (!CopyFileExA(source.c_str(), temporary.c_str(), NULL, NULL, NULL, 0))
        return;
    if (Replacing == FAIL_SAFE_FLUSHED) {
        HANDLE written = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        FlushFileBuffers(written);
        CloseHandle(written);
    }
    MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static void Mirror(const std::string &source, const std::string &target)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((source + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CreateDirectoryA((target + name).c_str(), NULL);
            Mirror(source + name + "\\", target + name + "\\");
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA((target + name).c_str(), GetFileExInfoStandard, &data))
            CopyFileExA((source + name).c_str(), (target + name).c_str(), NULL, NULL, NULL, 0);
        else if (CompareFileTime(&data.ftLastWriteTime, &entry.ftLastWriteTime) != 0)
            Replace(source + name, target + name, target);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

// Lists every folder below source once; returns the number of files.
static int ListOnly(const std::string &source)
{
    WIN32_FIND_DATAA entry;
    int files = 0;
    HANDLE listing = FindFirstFileA((source + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ListOnly(source + name + "\\") : 1;
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    return files;
}

static void Clean(const std::string &source, const std::string &target)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((target + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Clean(source + name + "\\", target + name + "\\");
            if (!GetFileAttributesExA((source + name + "\\").c_str(), GetFileExInfoStandard, &data))
                RemoveDirectoryA((target + name).c_str());
        } else if (!GetFileAttributesExA((source + name).c_str(), GetFileExInfoStandard, &data)) {
            DeleteFileA((target + name).c_str());
        }
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

int main(int argc, char **argv)
{
    int first = 1;
    if (argc > 1 && strcmp(argv[1], "--fail-safe") == 0)
        Replacing = FAIL_SAFE, first = 2;
    else if (argc > 1 && strcmp(argv[1], "--fail-safe-flushed") == 0)
        Replacing = FAIL_SAFE_FLUSHED, first = 2;
    bool listOnly = argc > 1 && strcmp(argv[1], "--list-only") == 0;
    first += listOnly;
    if (argc - first < 2) {
        printf("usage: naive_mirror [--fail-safe | --fail-safe-flushed | --list-only] <source\\> <target\\>\n");
        return 2;
    }
    if (listOnly)
        return ListOnly(argv[first]) < 0;
    Mirror(argv[first], argv[first + 1]);
    Clean(argv[first], argv[first + 1]);
    return 0;
}
