// Baseline of the benchmark: a plain Win32 mirror without any display.
// Usage: naive_mirror <source\> <target\>   (both ending in a backslash)
#include <windows.h>
#include <stdio.h>
#include <string>

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
        if (GetFileAttributesExA((target + name).c_str(), GetFileExInfoStandard, &data) &&
            CompareFileTime(&data.ftLastWriteTime, &entry.ftLastWriteTime) == 0)
            continue;
        CopyFileExA((source + name).c_str(), (target + name).c_str(), NULL, NULL, NULL, 0);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
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
    if (argc < 3) {
        printf("usage: naive_mirror <source\\> <target\\>\n");
        return 2;
    }
    Mirror(argv[1], argv[2]);
    Clean(argv[1], argv[2]);
    return 0;
}
