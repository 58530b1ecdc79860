#pragma once
// Every number the program's windows, menus, hotkeys and timers are told
// apart by, each under one name, grouped by the window that uses it. A new
// window adds its group here. Numbers of different groups may coincide (a
// context menu's row 1 and the tray menu's row 1): each is looked up only in
// its own window or menu.
//
// A leaf: nothing but the system's headers, so that any layer may include it.
// tests/support/korvane_harness.py reads this file for the end-to-end tests.

#include <windows.h>

#include <cstdint>

// ---------------------------------------------------------------- names of the program's windows

inline constexpr wchar_t kMainWindowClass[] = L"KorvaneMain";
inline constexpr wchar_t kQuickMenuClass[] = L"KorvaneQuickMenu";
inline constexpr wchar_t kPopupMenuClass[] = L"KorvanePopupMenu";
inline constexpr wchar_t kEntryHintClass[] = L"KorvaneEntryHint";  // the preview popup
inline constexpr wchar_t kSettingsWindowClass[] = L"KorvaneSettings";
inline constexpr wchar_t kSnippetEditorClass[] = L"KorvaneSnippetEditor";
inline constexpr wchar_t kConfirmBoxClass[] = L"KorvaneConfirmBox";
inline constexpr wchar_t kInputBoxClass[] = L"KorvaneInputBox";
inline constexpr wchar_t kViewDialogClass[] = L"KorvaneViewDialog";
inline constexpr wchar_t kCaptureOverlayClass[] = L"KorvaneCaptureOverlay";
inline constexpr wchar_t kHotkeyFieldClass[] = L"KVHotkeyChip";
inline constexpr wchar_t kSingleInstanceMutex[] = L"KorvaneSingleInstanceMutex";

// The application icon in korvane.rc (which cannot read this header).
inline constexpr WORD kAppIconResource = 1;

// ---------------------------------------------------------------- messages

// Between the parts of the program, and from a second instance.
inline constexpr UINT kMsgTray = WM_APP + 1;              // the tray icon's callback; lParam: the mouse message
inline constexpr UINT kMsgShowMain = WM_APP + 4;          // show, restore and focus the main window
inline constexpr UINT kMsgLinkTitle = WM_APP + 10;        // wParam: history id; lParam: a title (capture/link_fetch.h)
inline constexpr UINT kMsgPasteFailed = WM_APP + 11;      // a paste thread found the clipboard taken and sent no keys
inline constexpr UINT kMsgPasteDone = WM_APP + 12;        // a paste thread's keys are sent; wParam: its paste's number
inline constexpr UINT kMsgRebuildSettings = WM_APP + 60;  // to the settings window: build it anew

// ---------------------------------------------------------------- global hotkeys (on the main window)

inline constexpr int kHotkeyOpenHistory = 10;
inline constexpr int kHotkeyQuickMenu = 11;
inline constexpr int kHotkeyPlainPaste = 12;
inline constexpr int kHotkeyTemplates = 13;
inline constexpr int kHotkeyShotArea = 14;
inline constexpr int kHotkeyShotWindow = 15;
inline constexpr int kHotkeyShotFull = 16;
inline constexpr int kHotkeySlotBase = 20;  // quick slots 1..9: ids 20..28
inline constexpr int kHotkeyLastId = 49;    // ids 0..49 are freed at exit
// Registered for an instant on the settings window to test whether a
// combination is free; outside the program's own ids.
inline constexpr int kHotkeyProbe = 0x7FFE;

// ---------------------------------------------------------------- timers

// Main window.
inline constexpr UINT_PTR kTimerPoll = 1;      // 500 ms: paste target and clipboard
inline constexpr UINT_PTR kTimerPurge = 2;     // hourly: expired history and old trash
inline constexpr UINT_PTR kTimerSaveRect = 3;  // 500 ms after the last move
// Once each, as soon as the window has settled: the rest of the start, and the
// pictures that cards painted without.
inline constexpr UINT_PTR kTimerStartRest = 4;
inline constexpr UINT_PTR kTimerThumbnails = 5;
// Every few seconds while the notification area refuses the tray icon.
inline constexpr UINT_PTR kTimerTrayRetry = 6;
// For a moment after a screenshot: the keyboard kept where it was before.
inline constexpr UINT_PTR kTimerKeyboardBack = 7;
// Popup menu: opens the submenu of the row the pointer rests on, and scrolls
// a tall menu while the pointer rests on one of its arrows.
inline constexpr UINT_PTR kTimerSubmenu = 1;
inline constexpr UINT_PTR kTimerMenuScroll = 2;

// ---------------------------------------------------------------- window subclasses (SetWindowSubclass)

// Control kit.
inline constexpr UINT_PTR kToggleSwitchSubclassId = 4336;
inline constexpr UINT_PTR kPanelBackgroundSubclassId = 4337;
inline constexpr UINT_PTR kRoundButtonSubclassId = 8432;
inline constexpr UINT_PTR kThinBorderSubclassId = 12529;
inline constexpr UINT_PTR kComboStyleSubclassId = 20721;
inline constexpr UINT_PTR kSpinStyleSubclassId = 20722;
// Main window: tool and search buttons, the two lists, the menu-bar buttons.
inline constexpr UINT_PTR kIconButtonSubclassId = 1;
inline constexpr UINT_PTR kListSubclassId = 2;
inline constexpr UINT_PTR kEntryHintSubclassId = 3;  // the preview popup
inline constexpr UINT_PTR kTextButtonSubclassId = 4;
// Settings window: the navigation list.
inline constexpr UINT_PTR kNavListSubclassId = 12528;
// Capture overlay: the text box of the text tool.
inline constexpr UINT_PTR kCaptureTextSubclassId = 1;

// ---------------------------------------------------------------- main window: child controls

inline constexpr int kIdEntryList = 101;    // LISTBOX: the cards
inline constexpr int kIdSearch = 102;       // EDIT: the search field
inline constexpr int kIdSidebar = 103;      // LISTBOX: views and categories
inline constexpr int kIdWatchToggle = 104;  // toggle switch: clipboard watching
inline constexpr int kIdStatus = 105;       // STATIC: the status line
inline constexpr int kIdEmptyHint = 106;    // STATIC: shown when the list is empty
inline constexpr int kIdSearchButton = 108;
// Tool buttons, 201..209 and 220.
inline constexpr int kIdPasteButton = 201;
inline constexpr int kIdCopyButton = 202;
inline constexpr int kIdPinButton = 203;
inline constexpr int kIdDeleteButton = 204;
inline constexpr int kIdUpButton = 205;
inline constexpr int kIdDownButton = 206;
inline constexpr int kIdClearButton = 207;
inline constexpr int kIdSettingsButton = 208;
inline constexpr int kIdSidebarButton = 209;
inline constexpr int kIdScreenshotButton = 220;
// The six menu-bar buttons, 210..215: menu n is kIdFirstMenuButton + n.
inline constexpr int kIdFirstMenuButton = 210;
inline constexpr int kIdLastMenuButton = 215;
inline constexpr int kIdTooltip = 300;  // STATIC: the tool buttons' tooltip

// ---------------------------------------------------------------- main window: commands (WM_COMMAND)

// Posted by the menu-bar drop-downs and by other windows.
// File
inline constexpr int kCmdExportJson = 1001;
inline constexpr int kCmdImportJson = 1002;
inline constexpr int kCmdClose = 1003;
inline constexpr int kCmdQuit = 1004;
// Edit
inline constexpr int kCmdPaste = 1101;
inline constexpr int kCmdCopy = 1102;
inline constexpr int kCmdPasteDelete = 1103;
inline constexpr int kCmdPin = 1104;
inline constexpr int kCmdEdit = 1105;
inline constexpr int kCmdToCategory = 1106;
inline constexpr int kCmdRemoveCategory = 1107;
inline constexpr int kCmdAddSlot = 1108;
inline constexpr int kCmdRemoveSlot = 1109;
inline constexpr int kCmdMoveUp = 1110;
inline constexpr int kCmdMoveDown = 1111;
inline constexpr int kCmdSelectAll = 1112;
inline constexpr int kCmdFind = 1113;
inline constexpr int kCmdDelete = 1114;
inline constexpr int kCmdPasteMultiple = 1115;
inline constexpr int kCmdTemplates = 1116;
inline constexpr int kCmdNewTemplate = 1117;
inline constexpr int kCmdScreenshot = 1118;
// Categories
inline constexpr int kCmdAddCategory = 1201;
inline constexpr int kCmdRenameCategory = 1202;
inline constexpr int kCmdPinCategory = 1203;
inline constexpr int kCmdCategoryUp = 1204;
inline constexpr int kCmdCategoryDown = 1205;
inline constexpr int kCmdMergeCategory = 1206;
inline constexpr int kCmdDeleteCategory = 1207;
inline constexpr int kCmdToggleCategoryPanel = 1208;
// View
inline constexpr int kCmdShowTime = 1301;
inline constexpr int kCmdCollapseCategories = 1302;
inline constexpr int kCmdDarkMode = 1303;
// Settings
inline constexpr int kCmdWatchClipboard = 1401;
inline constexpr int kCmdAlwaysOnTop = 1402;
inline constexpr int kCmdHotkeyHelp = 1403;
inline constexpr int kCmdOpenSettings = 1404;
// Help
inline constexpr int kCmdAbout = 1501;
inline constexpr int kCmdHelpHotkeys = 1502;

// ---------------------------------------------------------------- main window: views and row data

// MainWindow::view_mode.
inline constexpr int kViewAll = 0;
inline constexpr int kViewPinned = 1;
inline constexpr int kViewSlots = 2;
inline constexpr int kViewUncategorised = 3;
inline constexpr int kViewTrash = 4;
inline constexpr int kViewCategory = 5;  // of MainWindow::view_category
inline constexpr int kViewImages = 6;

// Item data of the sidebar's rows. The rows of all, pinned, quick slots,
// without category and trash carry their view mode (kViewAll..kViewTrash).
// A category row carries its id with the tag bit set, so that no category id,
// however large, reads as a template group or another row.
inline constexpr std::int64_t kSidebarTemplates = 5;  // the templates header
inline constexpr std::int64_t kSidebarImages = 6;
inline constexpr std::int64_t kSidebarFirstGroup = 1000;          // template group i: 1000 + i
inline constexpr std::int64_t kSidebarUngrouped = 0x100000003E8;  // the templates without a group
inline constexpr std::int64_t kSidebarCategoryTag = 1ll << 48;    // | category id

// Item data of the entry list's rows: an entry's id (0 or more), a template's
// id negated, or one of the group headers (both below every template).
inline constexpr std::int64_t kListGroupHeader = static_cast<std::int64_t>(0xC000000000000000ull);
inline constexpr std::int64_t kListUngroupedHeader = static_cast<std::int64_t>(0xBFFFFF0000000000ull);

// ---------------------------------------------------------------- main window: context menus

// The entry list's menu (entry views and the trash).
inline constexpr int kEntryMenuPaste = 1;
inline constexpr int kEntryMenuCopy = 2;  // in the trash: restore
inline constexpr int kEntryMenuPasteDelete = 3;
inline constexpr int kEntryMenuPin = 4;
inline constexpr int kEntryMenuToCategory = 5;
inline constexpr int kEntryMenuAddSlot = 6;
inline constexpr int kEntryMenuMoveUp = 7;
inline constexpr int kEntryMenuMoveDown = 8;
inline constexpr int kEntryMenuEdit = 9;
inline constexpr int kEntryMenuDelete = 10;  // in the trash: delete for good
inline constexpr int kEntryMenuEmptyTrash = 11;
inline constexpr int kEntryMenuNewTemplate = 12;
inline constexpr int kEntryMenuPastePlain = 20;
// Paste with text transform m (0..6): kEntryMenuTransform + m * kEntryMenuTransformStep.
inline constexpr int kEntryMenuTransform = 21;
inline constexpr int kEntryMenuTransformStep = 100;
inline constexpr int kEntryMenuView = 22;
inline constexpr int kEntryMenuKeep = 23;
// The entry list's menu in the templates view, over no row.
inline constexpr int kTemplatesMenuAddGroup = 20;
// "Move to group" submenu of a template: pack_menu_command(kMoveToGroupTag, group index).
inline constexpr std::uint32_t kMoveToGroupTag = 50;
// The category picker: category id + kCategoryPickerBase.
inline constexpr int kCategoryPickerBase = 100;

// The sidebar's menus, by row.
inline constexpr int kTrashMenuEmpty = 1;
inline constexpr int kTemplatesHeaderMenuAddGroup = 1;
inline constexpr int kTemplatesHeaderMenuNewTemplate = 2;
inline constexpr int kTemplatesHeaderMenuToggle = 3;
inline constexpr int kCategoryMenuRename = 1;
inline constexpr int kCategoryMenuPin = 2;
inline constexpr int kCategoryMenuUp = 3;
inline constexpr int kCategoryMenuDown = 4;
inline constexpr int kCategoryMenuDelete = 5;
inline constexpr int kUngroupedMenuNewTemplate = 1;
// A template group's menu (the sidebar row and the entry list's header).
inline constexpr int kGroupMenuNewTemplate = 21;
inline constexpr int kGroupMenuRename = 22;
inline constexpr int kGroupMenuDelete = 24;
// Its "move to other group" submenu: pack_menu_command(kMoveGroupTag, group index).
inline constexpr std::uint32_t kMoveGroupTag = 60;

// The preview's link menu.
inline constexpr int kLinkMenuOpen = 1;
inline constexpr int kLinkMenuCopy = 2;

// ---------------------------------------------------------------- tray icon menu

inline constexpr int kTrayOpenHistory = 1;
inline constexpr int kTrayOpenSettings = 2;
inline constexpr int kTrayClearHistory = 3;
inline constexpr int kTrayQuit = 4;
inline constexpr int kTrayTemplates = 5;
inline constexpr int kTrayScreenshot = 6;

// ---------------------------------------------------------------- quick menu

inline constexpr int kIdQuickMenuList = 1;

// ---------------------------------------------------------------- dialog boxes

// Confirm, input and view boxes: OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kIdConfirmGlyph = 11;
inline constexpr int kIdInputField = 100;
inline constexpr int kIdViewFit = IDOK;
inline constexpr int kIdViewClose = IDCANCEL;

// Snippet editor.
inline constexpr int kIdEditorTitle = 1;
inline constexpr int kIdEditorGroup = 2;
inline constexpr int kIdEditorText = 3;
inline constexpr int kIdEditorOk = 4;
inline constexpr int kIdEditorCancel = 5;
// The buttons that insert {date}, {time}, {datetime}, {year} and {user}.
inline constexpr int kIdEditorVarDate = 10;
inline constexpr int kIdEditorVarTime = 11;
inline constexpr int kIdEditorVarDateTime = 12;
inline constexpr int kIdEditorVarYear = 13;
inline constexpr int kIdEditorVarUser = 14;

// ---------------------------------------------------------------- settings window

inline constexpr int kIdSettingsWatch = 1001;
inline constexpr int kIdSettingsDarkMode = 1002;
inline constexpr int kIdSettingsAlwaysOnTop = 1003;
inline constexpr int kIdSettingsCloseOnPaste = 1004;
inline constexpr int kIdSettingsTrayOnMinimize = 1005;
inline constexpr int kIdSettingsStartInTray = 1006;
inline constexpr int kIdSettingsShowTime = 1007;
inline constexpr int kIdSettingsSortByFrequency = 1008;
inline constexpr int kIdSettingsAutostart = 1009;
inline constexpr int kIdSettingsMainHotkey = 1010;
inline constexpr int kIdSettingsTtlDays = 1011;
inline constexpr int kIdSettingsTrashHours = 1012;
inline constexpr int kIdSettingsFilterMode = 1013;
inline constexpr int kIdSettingsFilterList = 1014;
inline constexpr int kIdSettingsExport = 1015;
inline constexpr int kIdSettingsImport = 1016;
inline constexpr int kIdSettingsClose = 1017;
inline constexpr int kIdSettingsPlainHotkey = 1018;
inline constexpr int kIdSettingsSoundOnCopy = 1019;
inline constexpr int kIdSettingsSoundOnPaste = 1020;
inline constexpr int kIdSettingsHideOnCopy = 1021;
inline constexpr int kIdSettingsRepeatOnCopy = 1022;
inline constexpr int kIdSettingsFontSize = 1023;
inline constexpr int kIdSettingsSnippetsHotkey = 1024;
inline constexpr int kIdSettingsShowHints = 1026;
inline constexpr int kIdSettingsShowCategory = 1027;
inline constexpr int kIdSettingsScrollLines = 1028;
inline constexpr int kIdSettingsShotEditor = 1029;
inline constexpr int kIdSettingsShotCopy = 1030;
inline constexpr int kIdSettingsShotAutosave = 1031;
inline constexpr int kIdSettingsShotFolder = 1032;
inline constexpr int kIdSettingsShotAreaHotkey = 1033;
inline constexpr int kIdSettingsShotWindowHotkey = 1034;
inline constexpr int kIdSettingsShotFullHotkey = 1035;
// The sidebar switches 1037..1042: row mask 1 << (id - kIdSettingsHidePinned).
inline constexpr int kIdSettingsHidePinned = 1037;
inline constexpr int kIdSettingsHideSlots = 1038;
inline constexpr int kIdSettingsHideUncategorised = 1039;
inline constexpr int kIdSettingsHideTrash = 1040;
inline constexpr int kIdSettingsHideTemplates = 1041;
inline constexpr int kIdSettingsHideImages = 1042;
inline constexpr int kIdSettingsImageAutosave = 1043;
inline constexpr int kIdSettingsBrowseFolder = 1044;
inline constexpr int kIdSettingsPinnedFirst = 1045;
inline constexpr int kIdSettingsCopySound = 1046;
inline constexpr int kIdSettingsPasteSound = 1047;
inline constexpr int kIdSettingsLanguage = 1048;
inline constexpr int kIdSettingsNav = 1100;
// The three spins carry the ids of other controls of their pages; nothing
// looks the first two up, and the font-size spin is told apart from the
// templates hotkey field by its message (WM_NOTIFY, not WM_COMMAND).
inline constexpr int kIdSettingsTtlSpin = kIdSettingsTrashHours;
inline constexpr int kIdSettingsTrashSpin = kIdSettingsFilterMode;
inline constexpr int kIdSettingsFontSizeSpin = kIdSettingsSnippetsHotkey;
// A hotkey field's change notification (WM_COMMAND): the code of EN_CHANGE,
// so that the window handles a field like an edit.
inline constexpr WORD kHotkeyFieldChanged = EN_CHANGE;
// The field starts and stops listening for a combination (WM_COMMAND too).
inline constexpr WORD kHotkeyFieldRecordingStarted = 0x0301;
inline constexpr WORD kHotkeyFieldRecordingEnded = 0x0302;

// ---------------------------------------------------------------- capture overlay

inline constexpr int kIdCaptureTextBox = 1;
// Toolbar buttons: the tools 1..8 (tool = id - kCaptureToolFirst), undo and
// redo, thinner and thicker, nine colour swatches (palette entry id -
// kCaptureFirstSwatch), and the four ways out.
inline constexpr int kCaptureToolFirst = 1;  // Move
inline constexpr int kCaptureToolLast = 8;   // Blur
inline constexpr int kCaptureUndo = 9;
inline constexpr int kCaptureRedo = 10;
inline constexpr int kCaptureThinner = 11;
inline constexpr int kCaptureThicker = 12;
inline constexpr int kCaptureFirstSwatch = 13;
inline constexpr int kCaptureLastSwatch = 21;
inline constexpr int kCaptureDone = 100;
inline constexpr int kCaptureCopy = 101;
inline constexpr int kCaptureSave = 102;
inline constexpr int kCaptureCancel = 103;
