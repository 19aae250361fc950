// File and folder helpers shared by the tests and the end-to-end driver.
#include "files.h"
#include <stdio.h>

void MakeFolder(const std::string &path)
{
    std::string trimmed = path;
    if (!trimmed.empty() && trimmed.back() == '\\')
        trimmed.pop_back();
    CreateDirectoryA(trimmed.c_str(), NULL);
}

bool WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("cannot create %s: error %lu\n", path.c_str(), GetLastError());
        return false;
    }
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string &path)
{
    std::string trimmed = path;
    if (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    return GetFileAttributesA(trimmed.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes a folder (a "\\?\" path ending in a backslash) and everything
// below it; folders that are links are removed, never entered.
static void RemoveTreeWide(const std::wstring &folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = folder + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTreeWide(full + L"\\");
            else if (isFolder)
                RemoveDirectoryW(full.c_str());
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(listing, &entry));
        FindClose(listing);
    }
    RemoveDirectoryW(folder.substr(0, folder.size() - 1).c_str());
}

// Works in wide "\\?\" paths, so that entries beyond the ANSI path limit,
// which some tests make on purpose, go too.
void RemoveTree(const std::string &path)
{
    std::string folder = path;
    if (folder.back() != '\\')
        folder += '\\';
    int length = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, NULL, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &wide[0], length);
    bool absolute = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    RemoveTreeWide(absolute ? L"\\\\?\\" + wide : wide);
}

void SetWriteTime(const std::string &path, ULONGLONG ticks)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    FILETIME time;
    time.dwLowDateTime = (DWORD)ticks;
    time.dwHighDateTime = (DWORD)(ticks >> 32);
    SetFileTime(file, NULL, NULL, &time);
    CloseHandle(file);
}

ULONGLONG GetWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

