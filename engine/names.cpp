// Names ordinary paths can address.
#include "names.h"
#include "base/longpath.h"
#include <string.h>
#include <wchar.h>

enum {
    DEVICE_BASE_MAX = 8 // "CONOUT$" and its NUL
};

// The device names the platform resolves in every folder.
static const WCHAR *const DEVICE_NAMES[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};

// True for a digit that may end COM or LPT: 0-9 and the superscript 1, 2 and 3.
static bool DeviceDigit(WCHAR letter)
{
    return (letter >= L'0' && letter <= L'9') || letter == 0xB9 || letter == 0xB2 || letter == 0xB3;
}

// True when the part of name before its first dot, blanks at its end
// aside, is a device name.
static bool ReservedDeviceName(const WCHAR *name)
{
    WCHAR base[DEVICE_BASE_MAX];
    size_t length = wcscspn(name, L".");
    while (length > 0 && name[length - 1] == L' ')
        length--;
    if (length == 0 || length >= DEVICE_BASE_MAX)
        return false;
    for (size_t i = 0; i < length; i++)
        base[i] = name[i] >= L'a' && name[i] <= L'z' ? (WCHAR)(name[i] - 32) : name[i];
    base[length] = 0;
    for (const WCHAR *device : DEVICE_NAMES)
        if (wcscmp(base, device) == 0)
            return true;
    return length == 4 && (wcsncmp(base, L"COM", 3) == 0 || wcsncmp(base, L"LPT", 3) == 0) && DeviceDigit(base[3]);
}

// True when name holds a character no name may hold.
static bool HoldsForbiddenCharacter(const WCHAR *name)
{
    for (; *name != 0; name++)
        if (*name < 32 || wcschr(L"<>:\"/\\|?*", *name) != NULL)
            return true;
    return false;
}

bool NameAddressable(const WCHAR *name)
{
    size_t length = wcslen(name);
    if (length == 0 || name[length - 1] == L'.' || name[length - 1] == L' ')
        return false;
    return !HoldsForbiddenCharacter(name) && !ReservedDeviceName(name);
}

bool PathRefused(DWORD code, const WCHAR *path)
{
    return code == ERROR_FILENAME_EXCED_RANGE || (code == ERROR_GEN_FAILURE && wcslen(path) >= CLASSIC_PATH_LIMIT);
}
