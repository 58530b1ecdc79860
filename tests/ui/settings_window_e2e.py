"""The settings window of the running program, driven from outside as a user
would: it opens from the menu and the tool button, shows one page at a time
with the values of the settings file, writes every change to that file at
once, rebuilds itself in a new language, moves global hotkeys, writes the
autostart value, and applies retention numbers only once they are complete.
Screenshots of every page in both themes go to the build's screenshots/."""

import datetime
import os
import shutil
import sqlite3
import subprocess
import time
import unittest

import korvane_harness as kh
from korvane_harness import (IDS, MOD_ALT, MOD_CONTROL, MOD_SHIFT, WM_COMMAND, PasteTarget, RunningProgram, helper,
                             language_text, profile_path, read_profile_settings, wait_until, wine)

DRIVER = helper("settings_driver")
PROBE = helper("app_probe")
CLIP_SOURCE = helper("clip_source")
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
NAV, CLOSE = IDS.kIdSettingsNav, IDS.kIdSettingsClose
HIDE_VIEWS = list(range(IDS.kIdSettingsHidePinned, IDS.kIdSettingsHideImages + 1))

# The controls each page shows, besides the navigation list and Close (the
# spins go with their fields).
PAGES = {
    0: {IDS.kIdSettingsLanguage, IDS.kIdSettingsWatch, IDS.kIdSettingsSoundOnCopy, IDS.kIdSettingsSoundOnPaste,
        IDS.kIdSettingsCopySound, IDS.kIdSettingsPasteSound, IDS.kIdSettingsFilterMode, IDS.kIdSettingsFilterList},
    1: {IDS.kIdSettingsShowTime, IDS.kIdSettingsShowHints, IDS.kIdSettingsShowCategory,
        IDS.kIdSettingsSortByFrequency, IDS.kIdSettingsPinnedFirst, IDS.kIdSettingsRepeatOnCopy,
        IDS.kIdSettingsScrollLines, IDS.kIdSettingsTtlDays, IDS.kIdSettingsTrashHours},
    2: {IDS.kIdSettingsAlwaysOnTop, IDS.kIdSettingsCloseOnPaste, IDS.kIdSettingsHideOnCopy,
        IDS.kIdSettingsTrayOnMinimize, IDS.kIdSettingsStartInTray, IDS.kIdSettingsDarkMode,
        IDS.kIdSettingsFontSize, *HIDE_VIEWS},
    3: {IDS.kIdSettingsAutostart, IDS.kIdSettingsMainHotkey, IDS.kIdSettingsPlainHotkey},
    4: {IDS.kIdSettingsSnippetsHotkey},
    5: {IDS.kIdSettingsExport, IDS.kIdSettingsImport},
    6: {IDS.kIdSettingsShotEditor, IDS.kIdSettingsShotCopy, IDS.kIdSettingsShotAutosave,
        IDS.kIdSettingsImageAutosave, IDS.kIdSettingsShotAreaHotkey, IDS.kIdSettingsShotWindowHotkey,
        IDS.kIdSettingsShotFullHotkey, IDS.kIdSettingsShotFolder, IDS.kIdSettingsBrowseFolder},
}
PAGE_OF = {cid: page for page, ids in PAGES.items() for cid in ids}

SWITCHES = {
    IDS.kIdSettingsWatch: "watch_clipboard", IDS.kIdSettingsDarkMode: "dark_mode",
    IDS.kIdSettingsAlwaysOnTop: "always_on_top", IDS.kIdSettingsCloseOnPaste: "close_on_paste",
    IDS.kIdSettingsTrayOnMinimize: "tray_on_minimize", IDS.kIdSettingsStartInTray: "start_in_tray",
    IDS.kIdSettingsShowTime: "show_time", IDS.kIdSettingsSortByFrequency: "sort_by_frequency",
    IDS.kIdSettingsSoundOnCopy: "sound_on_copy", IDS.kIdSettingsSoundOnPaste: "sound_on_paste",
    IDS.kIdSettingsHideOnCopy: "hide_on_copy", IDS.kIdSettingsRepeatOnCopy: "repeat_on_copy",
    IDS.kIdSettingsShowHints: "show_hints", IDS.kIdSettingsShowCategory: "show_category",
    IDS.kIdSettingsPinnedFirst: "pinned_first", IDS.kIdSettingsShotEditor: "screenshot_editor_enabled",
    IDS.kIdSettingsShotCopy: "screenshot_copy_to_clipboard", IDS.kIdSettingsShotAutosave: "screenshot_autosave",
    IDS.kIdSettingsImageAutosave: "clipboard_images_autosave",
}


def drive(*args, check=True, verdict=None):
    out = wine(DRIVER, *[str(a) for a in args], check=check, verdict=verdict)
    return out.stdout.decode("utf-8", errors="replace")


def controls():
    """({id: {"visible", "check", "row", "text"}}, {"page", "title", "client"}) of the shown settings
    window; labels (no id) and spins (their field's id) are left out."""
    found, window = {}, {}
    for line in drive("state").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "control":
            cid, cls, visible, check, row, *text = rest.split(" ", 5)
            if cid != "0" and cls != "msctls_updown32":
                found[int(cid)] = {"visible": visible == "1", "check": int(check), "row": int(row),
                                   "text": text[0] if text else ""}
        elif kind:
            window[kind] = rest
    return found, window


def setting(key):
    try:
        return (read_profile_settings() or {}).get(key)
    except Exception:  # read while the program rewrites it
        return None


def hotkey_states(*pairs):
    args = [str(x) for pair in pairs for x in pair]
    return wine(PROBE, "hotkey", *args).stdout.decode().split()


def open_settings(app, command=IDS.kCmdOpenSettings):
    app.post(WM_COMMAND, command, 0)
    out = drive("wait", 20000, check=False)
    if not out.startswith("settings "):
        raise AssertionError("the settings window did not open: " + out)
    return out.split()[1]


def show_page(page):
    # Under a loaded machine the driver now and then misses the window for a
    # moment: ask again rather than fail on the first miss.
    def shown():
        try:
            if controls()[1].get("page") == str(page):
                return True
            drive("page", page, check=False)
        except AssertionError:
            pass
        return False

    drive("page", page, check=False)
    if not wait_until(shown, 10):
        raise AssertionError(f"page {page} was not shown")


class SettingsWindowTest(unittest.TestCase):
    def tearDown(self):
        wine("reg", "delete", RUN_KEY, "/v", "Korvane", "/f", check=False)

    def test_it_opens_from_the_menu_and_the_tool_button_on_the_page_last_shown(self):
        with RunningProgram({"always_on_top": "false"}) as app:
            first = open_settings(app)
            found, window = controls()
            self.assertEqual(window["title"], language_text("menu.settings"))
            self.assertEqual(window["client"].split()[0], "760")
            self.assertEqual(window["page"], "0")
            # Asked again while open: the same window comes to the front.
            self.assertEqual(open_settings(app, IDS.kIdSettingsButton), first)
            show_page(6)
            drive("close")
            drive("gone", 10000, verdict="gone")
            # A new window, built on the page it was closed on.
            open_settings(app, IDS.kIdSettingsButton)
            found, window = controls()
            self.assertEqual(window["page"], "6")
            self.assertTrue(found[IDS.kIdSettingsBrowseFolder]["visible"])
            drive("click", CLOSE)
            drive("gone", 10000, verdict="gone")
            self.assertEqual(app.quit(), 0)

    def test_each_page_shows_only_its_controls_with_the_stored_values(self):
        stored = {
            "always_on_top": "false", "close_on_paste": "false", "hide_on_copy": "true", "tray_on_minimize": "true",
            "show_time": "false", "show_hints": "false", "show_category": "false", "sort_by_frequency": "true",
            "pinned_first": "false", "repeat_on_copy": "true", "watch_clipboard": "false", "sound_on_copy": "true",
            "sound_on_paste": "true", "sound_copy_id": "3", "sound_paste_id": "4", "ttl_days": "30",
            "trash_hours": "48", "categories_hidden": "37", "font_size": "16", "scroll_lines": "3",
            "hotkey": "ctrl+alt+h", "plain_hotkey": "", "snippets_hotkey": "ctrl+alt+t",
            "screenshot_hotkey": "ctrl+alt+1", "screenshot_editor_enabled": "false",
            "screenshot_copy_to_clipboard": "false", "screenshot_autosave": "true",
            "clipboard_images_autosave": "true", "screenshot_folder": "C:\\shots",
            "app_filter_mode": "blacklist", "app_filter_list": "a.exe; b.exe",
        }
        with RunningProgram(stored) as app:
            open_settings(app)
            for page in range(7):
                show_page(page)
                found, _ = controls()
                shown = {cid for cid, c in found.items() if cid and c["visible"]}
                self.assertEqual(shown, PAGES[page] | {NAV, CLOSE}, f"page {page}")

            found, _ = controls()
            values = {"dark_mode": "false", "start_in_tray": "false", **stored}
            for cid, key in SWITCHES.items():
                self.assertEqual(found[cid]["check"], 1 if values[key] == "true" else 0, key)
            self.assertEqual([found[cid]["check"] for cid in HIDE_VIEWS], [1, 0, 1, 0, 0, 1])
            self.assertEqual(found[IDS.kIdSettingsAutostart]["check"], 0)
            texts = {IDS.kIdSettingsFontSize: "16", IDS.kIdSettingsTtlDays: "30", IDS.kIdSettingsTrashHours: "48",
                     IDS.kIdSettingsFilterList: "a.exe; b.exe", IDS.kIdSettingsShotFolder: "C:\\shots",
                     IDS.kIdSettingsMainHotkey: "ctrl+alt+h", IDS.kIdSettingsPlainHotkey: "",
                     IDS.kIdSettingsSnippetsHotkey: "ctrl+alt+t", IDS.kIdSettingsShotAreaHotkey: "ctrl+alt+1",
                     IDS.kIdSettingsShotWindowHotkey: "alt+prtscr", IDS.kIdSettingsShotFullHotkey: "shift+prtscr"}
            for cid, text in texts.items():
                self.assertEqual(found[cid]["text"], text, cid)
            rows = {IDS.kIdSettingsScrollLines: 2, IDS.kIdSettingsCopySound: 2, IDS.kIdSettingsPasteSound: 3,
                    IDS.kIdSettingsFilterMode: 2, IDS.kIdSettingsLanguage: 1}
            for cid, row in rows.items():
                self.assertEqual(found[cid]["row"], row, cid)
            self.assertEqual(found[IDS.kIdSettingsLanguage]["text"], "Русский")
            self.assertEqual(app.quit(), 0)

    def test_every_change_is_in_the_settings_file_at_once(self):
        with RunningProgram() as app, kh.temp_dir() as tmp:
            open_settings(app)
            flipped = {}
            for cid, key in SWITCHES.items():
                show_page(PAGE_OF[cid])
                want = "false" if controls()[0][cid]["check"] == 1 else "true"
                drive("click", cid)
                self.assertEqual(wait_until(lambda: setting(key) == want and want), want, key)
                flipped[key] = want
                if cid == IDS.kIdSettingsAlwaysOnTop:  # the window follows the switch, not a flip of its own
                    topmost = "1" if want == "true" else "0"
                    self.assertEqual(wait_until(lambda: app.state().get("topmost") == topmost, 5), True)
            show_page(2)

            def sidebar_views():
                return [data for data, _, _ in app.rows(IDS.kIdSidebar) if data <= IDS.kSidebarImages]

            self.assertEqual(sidebar_views(), list(range(IDS.kSidebarImages + 1)))
            wine(helper("entry_list_probe"), "view", str(IDS.kViewTrash))
            for bit, cid in enumerate(HIDE_VIEWS):
                drive("click", cid)
                mask = str((1 << (bit + 1)) - 1)
                self.assertEqual(wait_until(lambda: setting("categories_hidden") == mask and mask), mask)
                # The sidebar follows at once: "all" and the views not hidden yet; the trash
                # stays lit until its own row goes, and the view goes to "all" with it.
                shown = [IDS.kViewAll] + list(range(bit + 2, IDS.kSidebarImages + 1))
                lit = IDS.kViewTrash if IDS.kViewTrash in shown else IDS.kViewAll
                self.assertEqual(wait_until(lambda: sidebar_views() == shown, 5), True, sidebar_views())
                self.assertEqual([data for data, selected, _ in app.rows(IDS.kIdSidebar) if selected], [lit])
            show_page(0)
            for cid, row, key, value in ((IDS.kIdSettingsFilterMode, 1, "app_filter_mode", "whitelist"),
                                         (IDS.kIdSettingsFilterMode, 2, "app_filter_mode", "blacklist"),
                                         (IDS.kIdSettingsCopySound, 0, "sound_copy_id", "1"),
                                         (IDS.kIdSettingsPasteSound, 2, "sound_paste_id", "3")):
                drive("choose", cid, row)
                self.assertEqual(wait_until(lambda: setting(key) == value and value), value, key)
            # The whole list, however long it is.
            names = ";".join(f"program{i:04d}.exe" for i in range(120))
            with open(os.path.join(tmp, "list.txt"), "w", encoding="utf-8") as f:
                f.write(names)
            drive("settext", IDS.kIdSettingsFilterList, kh.win_path(os.path.join(tmp, "list.txt")))
            self.assertGreater(len(names), 1023)  # where a fixed buffer would cut it
            self.assertEqual(wait_until(lambda: setting("app_filter_list") == names), True)
            show_page(1)
            drive("choose", IDS.kIdSettingsScrollLines, 3)
            self.assertEqual(wait_until(lambda: setting("scroll_lines") == "4"), True)
            show_page(2)
            drive("focus", IDS.kIdSettingsFontSize)
            drive("keys", "end", "back", "back", "text:16")
            self.assertEqual(wait_until(lambda: setting("font_size") == "16"), True)
            self.assertEqual(app.quit(), 0)
        after = read_profile_settings()
        for key, value in flipped.items():
            self.assertEqual(after[key], value, key)
        self.assertEqual([after[key] for key in ("categories_hidden", "scroll_lines", "app_filter_mode", "font_size")],
                         ["63", "4", "blacklist", "16"])
        self.assertEqual(after["app_filter_list"], names)

    def test_switches_follow_what_the_main_window_changes(self):
        """Changed from the main window's menus while the window is open, a switch shows the value in
        effect, and a click on it then changes that value back."""
        roads = {IDS.kIdSettingsWatch: IDS.kCmdWatchClipboard, IDS.kIdSettingsAlwaysOnTop: IDS.kCmdAlwaysOnTop,
                 IDS.kIdSettingsShowTime: IDS.kCmdShowTime, IDS.kIdSettingsDarkMode: IDS.kCmdDarkMode}
        with RunningProgram({"always_on_top": "false", "dark_mode": "false"}) as app:
            open_settings(app)
            before = {SWITCHES[cid]: "true" if controls()[0][cid]["check"] else "false" for cid in roads}
            for cid, command in roads.items():
                was = controls()[0][cid]["check"]
                app.post(WM_COMMAND, command)
                self.assertTrue(wait_until(lambda: controls()[0][cid]["check"] == 1 - was, 5), SWITCHES[cid])
                show_page(PAGE_OF[cid])
                drive("click", cid)
                self.assertTrue(wait_until(lambda: controls()[0][cid]["check"] == was, 5), SWITCHES[cid])
            self.assertEqual(app.quit(), 0)
        self.assertEqual({key: read_profile_settings()[key] for key in before}, before)

    def test_a_typed_program_list_and_picture_folder_apply_to_the_next_copies(self):
        with kh.temp_dir() as tmp, RunningProgram({"always_on_top": "false", "app_filter_mode": "blacklist",
                                                  "clipboard_images_autosave": "true"}) as app:
            folder = os.path.join(tmp, "pictures")
            os.makedirs(folder)
            painter = os.path.join(tmp, "painter.exe")  # a program that is not on the list
            shutil.copy(CLIP_SOURCE, painter)
            copy = lambda source, content: self.assertIn(
                "ready", wine(source, content, "seed=1", "stay=1500").stdout.decode())
            copy(painter, "text=" + "judged before the list".encode().hex())
            open_settings(app)
            show_page(0)
            drive("focus", IDS.kIdSettingsFilterList)
            drive("keys", "text:other.exe ; CLIP_SOURCE.exe")
            # The copies come after the folder is typed, which takes longer
            # than the watcher waits to read the list again.
            show_page(6)
            drive("focus", IDS.kIdSettingsShotFolder)
            drive("keys", 'text: "' + kh.win_path(folder) + '" ')  # in the quotes of "Copy as path"
            self.assertEqual(wait_until(lambda: setting("screenshot_folder") == kh.win_path(folder)), True)
            copy(CLIP_SOURCE, "text=" + "from a listed program".encode().hex())
            copy(painter, "dib=4136")
            self.assertEqual(app.quit(), 0)
            pictures = os.listdir(folder)
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            rows = list(db.execute("SELECT text, source_app, image_path FROM history ORDER BY id"))
        self.assertEqual(len(pictures), 1, pictures)
        self.assertEqual(rows, [("judged before the list", "painter.exe", ""),
                                ("", "painter.exe", kh.win_path(os.path.join(folder, pictures[0])))])

    def test_a_language_switch_rebuilds_the_window_in_that_language(self):
        with RunningProgram({"language": "ru"}) as app:
            first = open_settings(app)
            drive("choose", IDS.kIdSettingsLanguage, 0)  # English: the languages are listed by code

            def shown():
                out = drive("wait", 1000, check=False).split()
                return out[1] if len(out) > 1 else ""

            self.assertTrue(wait_until(lambda: shown() not in ("", first)), "the window was not rebuilt")
            found, window = controls()
            self.assertEqual(window["title"], language_text("menu.settings", "en"))
            self.assertEqual(window["page"], "0")
            self.assertEqual(found[IDS.kIdSettingsWatch]["text"], language_text("clipboard.watch", "en"))
            self.assertEqual(found[IDS.kIdSettingsLanguage]["text"], "English")
            self.assertEqual({cid for cid, c in found.items() if cid and c["visible"]}, PAGES[0] | {NAV, CLOSE})
            self.assertEqual(wait_until(lambda: setting("language") == "en"), True)
            # The main window speaks the new language too.
            all_row = lambda: app.rows(IDS.kIdSidebar)[0][2].split("\t")[-1]
            self.assertEqual(wait_until(lambda: all_row() == language_text("side.all", "en"), 5), True, all_row())
            self.assertEqual(app.quit(), 0)

    def test_a_new_hotkey_is_registered_at_once_and_an_emptied_one_is_freed(self):
        ctrl_alt_k, ctrl_shift_v = (MOD_CONTROL | MOD_ALT, ord("K")), (MOD_CONTROL | MOD_SHIFT, ord("V"))
        plain = (MOD_CONTROL | MOD_SHIFT | MOD_ALT, ord("U"))
        with RunningProgram({"always_on_top": "false"}) as app:
            open_settings(app)
            show_page(3)
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v, plain), ["free", "taken", "taken"])
            drive("focus", IDS.kIdSettingsMainHotkey)
            drive("keys", "enter", "ctrl+alt+k")
            self.assertEqual(wait_until(lambda: setting("hotkey") == "ctrl+alt+k"), True)
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v), ["taken", "free"])
            # A second Enter is no hotkey: it would take Enter from every program.
            drive("keys", "enter", "enter")
            found, _ = controls()
            self.assertEqual(found[IDS.kIdSettingsMainHotkey]["text"], "ctrl+alt+k")
            drive("keys", "esc")
            # Emptied with Backspace: off at once, and still off after a restart.
            drive("focus", IDS.kIdSettingsPlainHotkey)
            drive("keys", "enter", "back")
            self.assertEqual(wait_until(lambda: setting("plain_hotkey") == ""), True)
            self.assertEqual(hotkey_states(plain), ["free"])
            # Tab while recording moves on and changes nothing.
            drive("focus", IDS.kIdSettingsMainHotkey)
            drive("keys", "enter", "tab")
            found, _ = controls()
            self.assertEqual(found[IDS.kIdSettingsMainHotkey]["text"], "ctrl+alt+k")
            self.assertEqual(found[IDS.kIdSettingsPlainHotkey]["text"], "")
            self.assertEqual(app.quit(), 0)
        self.assertEqual(hotkey_states(ctrl_alt_k, plain), ["free", "free"])
        with RunningProgram(reset=False) as app:  # the settings file as the program left it
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v, plain), ["taken", "free", "free"])
            self.assertEqual(app.quit(), 0)

    def test_a_recording_field_hears_the_programs_own_hotkeys(self):
        """The plain-paste combination pressed in the recording history field pastes nothing (its Ctrl+V
        would be recorded) and is refused there; once the field stops listening it pastes again."""
        plain, field = (MOD_CONTROL | MOD_SHIFT | MOD_ALT, ord("U")), IDS.kIdSettingsMainHotkey
        press = lambda keys: subprocess.run(["xdotool", "key", keys], check=True, timeout=20)
        shot = os.path.join(kh.SCREENSHOTS_DIR, "settings_hotkey_refused.png")

        def refused():  # the field in the colour of a refusal
            out = drive("shot", kh.win_path(shot))
            box = next(line.split()[2:] for line in out.splitlines() if line.startswith(f"at {field} "))
            return kh.hex_of(0x1C2BC4) in kh.Picture(shot).colours(tuple(int(v) for v in box))

        os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
        with RunningProgram({"always_on_top": "false", "dark_mode": "false"}) as app:
            self.assertIn("ready", wine(CLIP_SOURCE, "text=" + "copied words".encode().hex()).stdout.decode())
            open_settings(app)
            show_page(3)
            drive("focus", field)
            press("Return")
            self.assertTrue(wait_until(lambda: hotkey_states(plain) == ["free"], 5), "held while recording")
            press("ctrl+shift+alt+u")
            self.assertTrue(wait_until(refused, 5), controls()[0][field]["text"])
            self.assertTrue(wait_until(lambda: hotkey_states(plain) == ["taken"], 5), "not back after recording")
            target = PasteTarget(ms=60000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            press("ctrl+shift+alt+u")
            self.assertEqual(kh.wait_for(target.now, "copied words"), "copied words")
            self.assertEqual(app.quit(), 0)
        self.assertEqual(read_profile_settings()["hotkey"], "ctrl+shift+v")

    def test_the_autostart_switch_writes_and_removes_the_run_value(self):
        def run_value():
            proc = wine("reg", "query", RUN_KEY, "/v", "Korvane", check=False)
            return proc.returncode == 0 and proc.stdout.decode("utf-8", errors="replace")

        wine("reg", "delete", RUN_KEY, "/v", "Korvane", "/f", check=False)
        with RunningProgram({"always_on_top": "false"}) as app:
            open_settings(app)
            show_page(3)
            drive("click", IDS.kIdSettingsAutostart)
            value = wait_until(run_value)
            self.assertIn('"' + kh.win_path(kh.program()) + '"', value or "")
            drive("close")
            drive("gone", 10000, verdict="gone")
            # The switch is read from the registry when the window opens.
            open_settings(app)
            show_page(3)
            self.assertEqual(controls()[0][IDS.kIdSettingsAutostart]["check"], 1)
            drive("click", IDS.kIdSettingsAutostart)
            self.assertTrue(wait_until(lambda: not run_value()), "the value is still there")
            self.assertEqual(app.quit(), 0)


def stamp(**delta):
    return (datetime.datetime.now() - datetime.timedelta(**delta)).strftime("%Y-%m-%dT%H:%M:%S")


class RetentionFieldsTest(unittest.TestCase):
    """Typing a number into a retention field purges only once the number is
    complete: "30" never passes through "3", "72" never through "7"; 0 or an
    emptied field is never, and purges nothing."""

    def test_numbers_apply_on_enter_or_leaving_the_field_and_stay_in_range(self):
        with RunningProgram({"always_on_top": "false"}) as app:  # creates the database
            self.assertEqual(app.quit(), 0)
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            rows = (("10 days old", stamp(days=10), None), ("40 days old", stamp(days=40), None),
                    ("trashed 30 hours ago", stamp(), stamp(hours=30)),
                    ("trashed 100 hours ago", stamp(), stamp(hours=100)))
            db.executemany("INSERT INTO history (text, created_at, deleted_at) VALUES (?, ?, ?)", rows)
        with RunningProgram({"always_on_top": "false", "ttl_days": "0", "trash_hours": "168"}, reset=False) as app:
            open_settings(app)
            show_page(1)
            drive("focus", IDS.kIdSettingsTtlDays)
            drive("keys", "end", "back", "text:30")
            time.sleep(1)
            self.assertEqual(setting("ttl_days"), "0", "applied while typing")
            drive("keys", "tab")
            self.assertEqual(wait_until(lambda: setting("ttl_days") == "30"), True)

            drive("focus", IDS.kIdSettingsTrashHours)
            drive("keys", "end", "back", "back", "back", "text:72")
            time.sleep(1)
            self.assertEqual(setting("trash_hours"), "168", "applied while typing")
            drive("keys", "enter")
            self.assertEqual(wait_until(lambda: setting("trash_hours") == "72"), True)

            # Beyond the range: the nearest end, shown in the field.
            drive("keys", "end", "back", "back", "text:9999", "enter")
            self.assertEqual(wait_until(lambda: setting("trash_hours") == "168"), True)
            self.assertEqual(controls()[0][IDS.kIdSettingsTrashHours]["text"], "168")
            # 0 empties the trash never, not after an hour.
            drive("keys", "end", "back", "back", "back", "text:0", "enter")
            self.assertEqual(wait_until(lambda: setting("trash_hours") == "0"), True)
            # Not a number: the value in effect comes back.
            drive("focus", IDS.kIdSettingsTtlDays)
            drive("keys", "end", "back", "back", "text:x", "tab")
            self.assertEqual(wait_until(lambda: controls()[0][IDS.kIdSettingsTtlDays]["text"] == "30"), True)
            # An emptied field is never too.
            drive("focus", IDS.kIdSettingsTtlDays)
            drive("keys", "end", "back", "back", "tab")
            self.assertEqual(wait_until(lambda: setting("ttl_days") == "0"), True)
            self.assertEqual(controls()[0][IDS.kIdSettingsTtlDays]["text"], "0")
            # Closing the window applies what was typed.
            drive("focus", IDS.kIdSettingsTtlDays)
            drive("keys", "end", "back", "text:45")
            drive("close")
            self.assertEqual(wait_until(lambda: setting("ttl_days") == "45"), True)
            self.assertEqual(app.quit(), 0)
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            left = {r[0] for r in db.execute("SELECT text FROM history")}
        self.assertEqual(left, {"10 days old", "trashed 30 hours ago"})


class SettingsScreenshotsTest(unittest.TestCase):
    def test_every_page_in_both_themes(self):
        os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
        # The page on the window's colour, the navigation on its panel; the page's own name in the
        # text colour beside the accent bar, the others in the secondary text colour.
        palette = {"light": (0xF3F3F3, 0xFBFBFB, 0x141414, 0x606060), "dark": (0x202020, 0x272727, 0xF2F2F2, 0xC7C7C7)}
        bar = kh.hex_of(0xCC6600)
        # Every control in the theme: switches on the window's colour, fields, lists and hotkey fields
        # on the field colour, buttons on their own; none mostly in the other theme's.
        switches = {*SWITCHES, *HIDE_VIEWS, IDS.kIdSettingsAutostart}
        buttons = {IDS.kIdSettingsExport, IDS.kIdSettingsImport, IDS.kIdSettingsBrowseFolder, CLOSE}
        kinds = {cid: 0 if cid in switches else 2 if cid in buttons else 1 for cid in [*PAGE_OF, CLOSE]}
        surfaces = {"light": (0xF3F3F3, 0xFFFFFF, 0xFAFAFA), "dark": (0x202020, 0x2B2B2B, 0x2E2E2E)}
        with RunningProgram({"always_on_top": "false", "dark_mode": "false"}) as app:
            open_settings(app)
            # Dark from the main window's menu while the window is open, light again from its own switch.
            for theme in ("dark", "light"):
                if theme == "dark":
                    app.post(WM_COMMAND, IDS.kCmdDarkMode)
                else:
                    show_page(2)
                    drive("click", IDS.kIdSettingsDarkMode)
                wait_until(lambda: controls()[0][IDS.kIdSettingsDarkMode]["check"] == (theme == "dark"), 5)
                for page in range(7):
                    show_page(page)
                    time.sleep(0.3)
                    path = os.path.join(kh.SCREENSHOTS_DIR, f"settings_{theme}_{page}.png")
                    out = drive("shot", kh.win_path(path))
                    self.assertIn("saved", out)
                    at = {}
                    for p in (line.split() for line in out.splitlines()):
                        if len(p) == 6 and p[0] == "at":
                            at.setdefault(p[1], []).append(tuple(int(v) for v in p[2:]))
                    window, panel, text, secondary = (kh.hex_of(c) for c in palette[theme])
                    picture, (nav,) = kh.Picture(path), at[str(NAV)]
                    (_, top, right, bottom), = at["client"]
                    where = f"{theme} page {page}"
                    self.assertEqual(picture.most_common((nav[2], top, right, bottom)), window, where)
                    self.assertEqual(picture.most_common(nav), panel, where)
                    (page_row,) = at["page-row"]
                    self.assertTrue({text, bar} <= set(picture.colours(page_row)), where)
                    for row in at["nav-row"]:
                        found = picture.colours(row)
                        self.assertIn(secondary, found, f"{where}: {row}")
                        self.assertNotIn(bar, found, f"{where}: {row}")
                    other = surfaces["light" if theme == "dark" else "dark"]
                    for cid, kind in kinds.items():
                        for box in at.get(str(cid), []):
                            self.assertIn(kh.hex_of(surfaces[theme][kind]), picture.colours(box), f"{where}: {cid}")
                            self.assertNotEqual(picture.most_common(box), kh.hex_of(other[kind]), f"{where}: {cid}")
            self.assertEqual(app.quit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
