/* Counts the USER and GDI objects and the kernel handles of the calling process, for the soak
 * runs (scripts/soak.sh). Wine 8 answers GetGuiResources with 0 (a stub) and
 * GetProcessHandleCount with 0 and success, so the counts are taken another way, from inside
 * the process whose objects they are:
 *
 *   GDI      every slot of the process's GDI handle table that GetObjectType accepts: Wine
 *            takes a handle whose upper 16 bits are zero as "the object in slot N, whatever its
 *            generation", and the table belongs to the process (stock objects included)
 *   USER     the process's windows (top-level, message-only and their descendants, found by
 *            enumeration), plus every menu (IsMenu) and every icon or cursor
 *            (GetCursorFrameInfo) in the slots of the process's USER handle table
 *   handles  the entries of the system's handle list (NtQuerySystemInformation,
 *            SystemHandleInformation) that belong to the process: the wineserver's own table
 *
 * None of these calls makes a USER or GDI object or opens a handle; the handle list goes into
 * memory from the process heap. tests/wine/README.md says what was measured.
 *
 * Wine's cache of window DCs is put in one state before each count. Wine keeps every cache DC it
 * made for the process, each with the visible region of the window it last served until that
 * window is destroyed, and makes another only when none is free for the window asking, until
 * it has 64: so the DCs and regions of a process that leaks nothing rise and fall with the
 * windows it painted and how many DCs it held at once. CountObjects first holds
 * PARKED_DCS DCs of the screen at once and gives them back: the cache then has at least that
 * many DCs, all free and each with one region, whatever came before, and a DC that the
 * process holds (GetDC without ReleaseDC) makes it one DC and one region larger.
 */
#pragma once

#include <windows.h>

struct ObjectCounts {
    DWORD user, gdi, handles;
    DWORD windows, menus, icons; /* the parts of `user` */
    DWORD gdiOfType[16];         /* the parts of `gdi`, by GetObjectType (OBJ_PEN 1 ... 14) */
};

/* Wine makes no more cache DCs than this unless all are in use at once. */
#define PARKED_DCS 64

/* Counts the calling process's objects; FALSE when the handle list could not be read. */
BOOL CountObjects(struct ObjectCounts* counts);

/* "USER 14 -> 14, GDI 31 -> 31, handles 52 -> 52" into `text` (room for 160 characters). */
void FormatCounts(const struct ObjectCounts* before, const struct ObjectCounts* after, char* text);

/* The parts of the counts, "windows 3, menus 7, ... pens 1, brushes 20, ...", into `text` (room
 * for 400 characters). */
void FormatParts(const struct ObjectCounts* counts, char* text);

/* TRUE when a count of `after` is above the same count of `before`. */
BOOL CountsGrew(const struct ObjectCounts* before, const struct ObjectCounts* after);
