// When a target's last-write time counts as equal to its source's. Volumes of
// the FAT family keep coarse times: FAT and FAT32 in steps of 2 seconds,
// exFAT in steps of 10 ms. Their copies never keep the source's exact time,
// so there two times within 2 seconds are equal. (A change of daylight-saving
// time shifts FAT's local times by an hour: the files are then copied again,
// which is slow but loses nothing, where taking an hour for equal would hide
// a real change.) On every other file system the times must be equal to the
// 100 ns tick. A file system that gives another name (Wine calls every one
// "NTFS") or none, yet rounds the target folder's times to 10 ms, keeps
// coarse times too (exFAT through FUSE).
#pragma once
#include <windows.h>

enum TimeRule { EXACT_TIMES, COARSE_TIMES };

// The name of the file system of the volume folder lies on ("NTFS", "FAT32"),
// asked through a handle on the folder itself, so that a link or a mount
// point is judged by where it leads; returns 0 or the error.
DWORD FileSystemOf(const char *folder, char *name, size_t size);

// The rule for a file system of that name.
TimeRule TimeRuleOfFileSystem(const char *name);

// The rule for the volume folder lies on, by its name or by the folder's
// times; exact where the folder is missing.
TimeRule TimeRuleOf(const char *folder);

// True when the target's time counts as equal to the source's under rule.
bool SameWriteTime(const FILETIME *target, const FILETIME *source, TimeRule rule);
