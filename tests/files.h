// File and folder helpers shared by the tests and the end-to-end driver.
#pragma once
#include <windows.h>
#include <string>

void MakeFolder(const std::string &path);
bool WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path); // "<missing>" when it cannot be read
bool Exists(const std::string &path);
void RemoveTree(const std::string &path);
void SetWriteTime(const std::string &path, ULONGLONG ticks);
ULONGLONG GetWriteTime(const std::string &path);
