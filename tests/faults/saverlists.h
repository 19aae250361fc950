// The two pair lists the saver helper writes in turn.
#pragma once
#include <string>
#include <vector>

// List 0 has 18 long entries (about 9 KB), list 1 has 3 short ones.
inline std::vector<std::string> SaverList(int which)
{
    std::vector<std::string> entries;
    int count = which == 0 ? 18 : 3;
    for (int i = 0; i < count; i++) {
        std::string folder = which == 0 ? std::string(240, (char)('a' + i)) : "kurz" + std::to_string(i);
        entries.push_back("'C:\\" + folder + "\\' -> 'D:\\" + folder + "\\'");
    }
    return entries;
}

// The file bytes of list which.
inline std::string SaverFile(int which)
{
    std::string bytes;
    for (const std::string &entry : SaverList(which))
        bytes += "@@" + entry;
    return bytes + std::string(1, '\0');
}
