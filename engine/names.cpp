// Names and paths the ANSI file functions can address.
#include "names.h"
#include "base/paths.h"
#include <string.h>

enum {
    DEVICE_BASE_MAX = 8,  // "CONOUT$" and its NUL
    ANSI_PATH_LIMIT = 260 // the ANSI file functions take paths shorter than this
};

// The device names the platform resolves in every folder.
static const char *const DEVICE_NAMES[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};

// True for a digit that may end COM or LPT: 0-9 and the code page's superscript 1, 2 and 3.
static bool DeviceDigit(unsigned char letter)
{
    return (letter >= '0' && letter <= '9') || letter == 0xB9 || letter == 0xB2 || letter == 0xB3;
}

// True when the part of name before its first dot, blanks at its end
// aside, is a device name.
static bool ReservedDeviceName(const char *name)
{
    char base[DEVICE_BASE_MAX];
    size_t length = strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        length--;
    if (length == 0 || length >= sizeof base)
        return false;
    for (size_t i = 0; i < length; i++)
        base[i] = (char)UpperLetter((unsigned char)name[i]);
    base[length] = 0;
    for (const char *device : DEVICE_NAMES)
        if (strcmp(base, device) == 0)
            return true;
    return length == 4 && (strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0) &&
           DeviceDigit((unsigned char)base[3]);
}

// True when name holds a character no name may hold.
static bool HoldsForbiddenCharacter(const char *name)
{
    for (const unsigned char *at = (const unsigned char *)name; *at != 0; at++)
        if (*at < 32 || strchr("<>:\"/\\|?*", *at) != NULL)
            return true;
    return false;
}

bool NameAddressable(const char *name, bool exactInCodePage)
{
    size_t length = strlen(name);
    if (!exactInCodePage || length == 0 || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    return !HoldsForbiddenCharacter(name) && !ReservedDeviceName(name);
}

bool PathWithinLimit(const char *path, bool folder)
{
    return strlen(path) + (folder ? 3 : 0) < ANSI_PATH_LIMIT;
}

bool NameBesideWithinLimit(const char *path, const char *name)
{
    const char *slash = strrchr(path, '\\');
    size_t folderLength = slash == NULL ? 0 : (size_t)(slash - path) + 1;
    return folderLength + strlen(name) < ANSI_PATH_LIMIT;
}
