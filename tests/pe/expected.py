"""The resources each deliverable must carry, as built; check_resources.py compares them.

Dialogs: style, extended style, (x, y, cx, cy) in dialog units, caption, font (points, face),
and the controls in template order as (id, class, text, style, x, y, cx, cy), all with extended
style 0. A text that is an int is a resource ordinal (the icon of a static icon control); None
means any text (wordings left to the implementer). Id -1 is an unaddressed control.
Menus: items (text, id) and popups (text, [items]), no item flags.
Icons: icon group -> [(width, height, colours)] in stored order, or None for any images.
Bitmaps: (width, height, bits per pixel, palette entries).
Strings: id -> text.
Version: (file description, internal name); the file name, the project's version and the
fields in VERSION_FIELDS are the same for every deliverable.
"""

VERSION_FIELDS = {
    "CompanyName": "Orvelcom AG",
    "LegalCopyright": "Copyright \u00a9 Orvelcom AG",
}

ICON_32_16 = [(32, 32, 16), (16, 16, 16)]
ICON_32 = [(32, 32, 16)]

# Dialog frames of the applet (0x90C800C4 with a system menu, 0x90C000C4 without) and of the
# two programs: pop-up, caption, modal frame, centred, font; the reminders with the 3-D look.
APPLET_FRAME = 0x90C800C4
ABOUT_FRAME = 0x80C008C0
REMINDER_FRAME = 0x80C008C4

ZENPICK = {
    "file": "Zenpick.exe",
    "version": ("Zenpick display mode switcher", "Zenpick"),
    "icons": {102: ICON_32_16, 141: ICON_32_16},
    "bitmaps": {135: (53, 48, 8, 256), 137: (53, 48, 8, 256)},
    "menus": {116: [("", 109), ("&Help", [("&About", 113)])]},
    "strings": {},
    "dialogs": {
        125: (ABOUT_FRAME, 0, (0, 0, 170, 73), "orvel Zenpick", (8, "MS Shell Dlg"), [
            (1, "Button", "OK", 0x50010001, 110, 10, 50, 14),
            (1021, "Button", "EXIT", 0x50010001, 110, 45, 50, 14),
            (-1, "Static", "NT Driver Tools", 0x50020000, 25, 15, 51, 8),
            (-1, "Static", "Copyright \u00a9 Orvelcom AG", 0x50021001, 15, 40, 80, 20),
        ]),
    },
}

LUMORA2 = {
    "file": "lumora2.cpl",
    "version": ("Monitor selection Control Panel applet", "lumora2"),
    "icons": {100: ICON_32, 400: ICON_32, 106: ICON_32},
    "bitmaps": {},
    "menus": {},
    "strings": {
        101: "orvel Monitor Select",
        102: "monitor selection.",
        401: "orvelZYNTRA control",
        402: "configuration of orvelZYNTRA control.",
    },
    "dialogs": {
        103: (APPLET_FRAME, 0x200, (5, 5, 193, 156), "orvel Monitor Select", (8, "MS Sans Serif"), [
            (1001, "Button", "", 0x50000007, 5, 5, 181, 45),
            (-1, "Static", "Select your Monitor:", 0x50020000, 25, 15, 64, 8),
            (1002, "ComboBox", "", 0x50210103, 20, 30, 150, 80),
            (1014, "Button", "TV Set Available", 0x50030003, 60, 65, 69, 10),
            (1013, "Button", "TV Standard", 0x50020007, 15, 85, 150, 35),
            (1011, "Button", "&PAL", 0x50030009, 40, 100, 29, 10),
            (1012, "Button", "&NTSC", 0x50000029, 115, 100, 35, 10),
            (1, "Button", "&OK", 0x50030001, 15, 130, 50, 15),
            (2, "Button", "&Cancel", 0x50010000, 125, 130, 50, 15),
        ]),
        104: (APPLET_FRAME, 0x200, (5, 5, 273, 191), "orvel Monitor Select", (8, "MS Sans Serif"), [
            (1015, "Button", "", 0x40020007, 5, 15, 256, 20),
            (1001, "Button", "", 0x50000007, 5, 5, 130, 80),
            (1004, "Button", "", 0x50000007, 135, 5, 130, 80),
            (1007, "Button", "Bootmessages on &left Monitor", 0x50030009, 10, 20, 113, 10),
            (1008, "Button", "Bootmessages on &right Monitor", 0x50000009, 140, 20, 117, 10),
            (-1, "Static", "Select left Monitor:", 0x50020000, 10, 40, 60, 8),
            (-1, "Static", "Select right Monitor:", 0x50020000, 140, 40, 67, 8),
            (1002, "ComboBox", "", 0x50210103, 10, 60, 120, 65),
            (1005, "ComboBox", "", 0x50210103, 140, 60, 120, 65),
            (1014, "Button", "TV Set Available", 0x50030003, 100, 100, 69, 10),
            (1013, "Button", "TV Standard (available on Boot Side only)", 0x50020007,
             60, 120, 150, 35),
            (1011, "Button", "&PAL", 0x50030009, 75, 135, 29, 10),
            (1012, "Button", "&NTSC", 0x50000029, 155, 135, 35, 10),
            (1, "Button", "&OK", 0x50030001, 25, 165, 80, 14),
            (2, "Button", "&Cancel", 0x50010000, 165, 165, 80, 14),
        ]),
        105: (APPLET_FRAME, 0x200, (10, 10, 233, 106), "Monitor Settings Change",
              (8, "MS Sans Serif"), [
            (1016, "Button", "&Restart Now", 0x50010001, 25, 70, 75, 14),
            (1, "Button", "Restart &Later", 0x50010000, 120, 70, 75, 14),
            (-1, "Static", "Your monitor settings have changed.", 0x50020000, 45, 15, 165, 8),
            (-1, "Static", "You will need to exit and restart Windws NT so that the new settings "
             "can take effect.", 0x50020000, 45, 30, 165, 20),
            (-1, "Static", 106, 0x50000003, 15, 20, 18, 20),
        ]),
        403: (0x90C000C4, 0x200, (10, 10, 183, 82), "orvelZYNTRA control", (8, "MS Sans Serif"), [
            (500, "Button", "&OK", 0x50010001, 20, 60, 50, 14),
            (501, "Button", "&Cancel", 0x50010000, 115, 60, 50, 14),
            (-1, "Button", "orvelZYNTRA control", 0x50000007, 25, 5, 135, 45),
            (502, "Button", "&MAXIMIZE alignment", 0x50010003, 40, 20, 110, 10),
            (504, "Button", "&Dialog alignment", 0x50010003, 40, 35, 110, 10),
        ]),
    },
}

NUDGEL = {
    "file": "Nudgel.exe",
    "version": ("Setup reminder", "Nudgel"),
    "icons": {129: None},
    "bitmaps": {},
    "menus": {},
    "strings": {},
    "dialogs": {
        125: (REMINDER_FRAME, 0, (0, 0, 171, 117), "orvel Driverinstallation", (8, "Fixedsys"), [
            (1, "Button", "Start Monitorselection", 0x50010001, 39, 79, 93, 14),
            (-1, "Static", "No Monitor selected. You are not able to change Resolutions.",
             0x50020001, 21, 18, 128, 17),
            (-1, "Static", None, 0x50020001, 45, 46, 80, 25),
            (1021, "Static", 129, 0x50000003, 18, 50, 18, 20),
            (-1, "Button", "", 0x50000007, 8, 8, 155, 101),
        ]),
        130: (REMINDER_FRAME, 0, (0, 0, 171, 116), "orvel Driverinstallation", (8, "Fixedsys"), [
            (1, "Button", "Start Monitorselection", 0x50010001, 39, 79, 93, 14),
            (-1, "Button", "", 0x50000007, 8, 8, 155, 100),
            (-1, "Static", None, 0x50020001, 46, 45, 80, 25),
            (1021, "Static", 129, 0x50000003, 18, 48, 18, 20),
            (-1, "Static", "No TV Standard Selected. You are not able to use TV out.",
             0x50020001, 17, 18, 138, 17),
        ]),
    },
}

KELDOR = {
    "file": "Keldor.exe",
    "version": ("Dual-screen alignment controller", "Keldor"),
    "icons": {"KELDOR": None},
    "bitmaps": {},
    "menus": {},
    "strings": {},
    "dialogs": {},
}

KELDHOOK = {
    "file": "Keldhook.dll",
    "version": ("Dual-screen alignment hook library", "Keldhook"),
    "icons": {},
    "bitmaps": {},
    "menus": {},
    "strings": {},
    "dialogs": {},
}

DELIVERABLES = [ZENPICK, LUMORA2, NUDGEL, KELDOR, KELDHOOK]
