#pragma once
// Control ids and private messages of the settings window.

#include <windows.h>

// Toggles.
inline constexpr int kIdSetWatch = 1001;
inline constexpr int kIdSetDarkMode = 1002;
inline constexpr int kIdSetAlwaysOnTop = 1003;
inline constexpr int kIdSetCloseOnPaste = 1004;
inline constexpr int kIdSetTrayOnMinimize = 1005;
inline constexpr int kIdSetStartInTray = 1006;
inline constexpr int kIdSetShowTime = 1007;
inline constexpr int kIdSetSortByFrequency = 1008;
inline constexpr int kIdSetAutostart = 1009;
inline constexpr int kIdSetSoundOnCopy = 1019;
inline constexpr int kIdSetSoundOnPaste = 1020;
inline constexpr int kIdSetHideOnCopy = 1021;
inline constexpr int kIdSetRepeatOnCopy = 1022;
inline constexpr int kIdSetShowHints = 1026;
inline constexpr int kIdSetShowCategory = 1027;
inline constexpr int kIdSetShotEditor = 1029;
inline constexpr int kIdSetShotCopy = 1030;
inline constexpr int kIdSetShotAutosave = 1031;
inline constexpr int kIdSetClipImagesAutosave = 1043;
inline constexpr int kIdSetPinnedFirst = 1045;
// The six sidebar rows that can be hidden: ids 1037..1042 for mask bits 1..32.
inline constexpr int kIdSetHiddenViewFirst = 1037;
inline constexpr int kIdSetHiddenViewLast = 1042;

// Hotkey fields.
inline constexpr int kIdSetHotkeyOpen = 1010;
inline constexpr int kIdSetHotkeyPlain = 1018;
inline constexpr int kIdSetHotkeyTemplates = 1024;
inline constexpr int kIdSetHotkeyShotArea = 1033;
inline constexpr int kIdSetHotkeyShotWindow = 1034;
inline constexpr int kIdSetHotkeyShotFull = 1035;

// Edits, their spins and combo boxes.
inline constexpr int kIdSetTtlDays = 1011;
inline constexpr int kIdSetTrashHours = 1012;
inline constexpr int kIdSetFilterMode = 1013;
inline constexpr int kIdSetFilterList = 1014;
inline constexpr int kIdSetFontSize = 1023;
inline constexpr int kIdSetScrollLines = 1028;
inline constexpr int kIdSetShotFolder = 1032;
inline constexpr int kIdSetSoundCopyChoice = 1046;
inline constexpr int kIdSetSoundPasteChoice = 1047;
inline constexpr int kIdSetLanguage = 1048;
inline constexpr int kIdSetFontSpin = 1049;
inline constexpr int kIdSetTtlSpin = 1050;
inline constexpr int kIdSetTrashSpin = 1051;

// Buttons and the navigation list.
inline constexpr int kIdSetExport = 1015;
inline constexpr int kIdSetImport = 1016;
inline constexpr int kIdSetClose = 1017;
inline constexpr int kIdSetBrowse = 1044;
inline constexpr int kIdSetNav = 1100;

// Rebuilds the settings window in the language just chosen (posted, so the
// combo box that chose it is not destroyed inside its own notification).
inline constexpr UINT kMsgRebuildSettings = WM_APP + 60;

// The hotkey the validator registers for a moment to see whether another
// program holds a combination; outside the program's own ids.
inline constexpr int kHotkeyProbeId = 0x7FFE;

inline constexpr UINT_PTR kNavListSubclassId = 12528;
