"""Screenshots end to end: the real Korvane.exe takes them on a screen of grey
bands, a user's input (SendInput from another program) drives the editor, and
the history is read with sqlite3 and the pictures with ImageMagick after the
program has quit. Screenshots of the editor in both themes go to
build/screenshots/."""

import os
import re
import sqlite3
import subprocess
import time
import unittest

import korvane_harness as kh

AREA, WINDOW, FULL_SCREEN = kh.IDS.kHotkeyShotArea, kh.IDS.kHotkeyShotWindow, kh.IDS.kHotkeyShotFull
ENTER, ESC = str(kh.VK_RETURN), str(kh.VK_ESCAPE)
SHOTS = os.path.join(kh.BINARY_DIR, "screenshots")
SELECTION = ("200", "150", "400", "300")  # what the first drag selects: x y w h


def rgb(colorref):
    """'#RRGGBB' of a COLORREF (0x00BBGGRR)."""
    return "#%02X%02X%02X" % (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


RED, YELLOW, GREEN, PURPLE = rgb(0x004646E6), rgb(0x0000C2F5), rgb(0x0043A02E), rgb(0x00B339C2)
FRONT = rgb(0x005A9614)  # the colour of overlay_driver's window in front


def drive(*commands):
    # A chain that ends by waiting for the overlay to go has done all it
    # was asked only when its last line says so.
    out = kh.wine(kh.helper("overlay_driver"), *commands, check=False,
                  verdict="gone" if commands[-1] == "gone" else None)
    assert out.returncode == 0, (f"overlay_driver {' '.join(commands)} exited {out.returncode}\n"
                                 f"stdout: {out.stdout.decode(errors='replace')}\n"
                                 f"stderr: {out.stderr.decode(errors='replace')}")
    return out.stdout.decode(errors="replace")


TOOLS = ("move", "arrow", "pencil", "line", "rect", "text", "number", "blur")
SWATCHES = ("red", "orange", "yellow", "green", "sky", "blue", "purple", "white", "black")


def button(button_id):
    """Clicks a toolbar button (ids.h) as laid out for SELECTION."""
    return ("button", str(button_id)) + SELECTION


def tool(name):
    return button(kh.IDS.kCaptureToolFirst + TOOLS.index(name))


def swatch(name):
    return button(kh.IDS.kCaptureFirstSwatch + SWATCHES.index(name))


def colours(path, box=None):
    """{'#RRGGBB': count} of a picture or of a box (x, y, w, h) of it."""
    args = ["convert", path]
    if box:
        args += ["-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]), "+repage"]
    out = subprocess.run(args + ["-format", "%c", "histogram:info:-"], capture_output=True, text=True,
                         check=True).stdout
    found = {}
    for line in out.splitlines():
        m = re.match(r"\s*(\d+):.*?(#[0-9A-Fa-f]{6})", line)
        if m:
            found[m.group(2).upper()] = found.get(m.group(2).upper(), 0) + int(m.group(1))
    return found


def identify(path, fmt):
    return subprocess.run(["identify", "-format", fmt, path], capture_output=True, text=True, check=True).stdout


def image_rows():
    con = sqlite3.connect(kh.profile_path(".korvane.db"))
    try:
        return [dict(zip(("id", "is_image", "image", "text"), r)) for r in con.execute(
            "SELECT id, is_image, image, text FROM history WHERE deleted_at IS NULL ORDER BY id")]
    finally:
        con.close()


def screen_shot(name):
    os.makedirs(SHOTS, exist_ok=True)
    subprocess.run(["import", "-window", "root", os.path.join(SHOTS, name)], check=True)


class Backdrop:
    """A full-screen window of grey bands under everything, so that the
    pictures have content and no colour the editor draws with."""

    def __enter__(self):
        self.proc = kh.wine_start(kh.helper("overlay_driver"), "backdrop", stdin=subprocess.PIPE)
        assert b"ready" in self.proc.stdout.readline()
        return self

    def __exit__(self, *exc):
        self.proc.stdin.close()
        self.proc.wait(timeout=30)
        self.proc.stdout.close()
        self.proc.stderr.close()
        return False


class FrontWindow(Backdrop):
    """A window of one colour that another program puts in front, the one a
    window screenshot takes; rect is its (x, y, w, h) as it reports it."""

    def __init__(self, *args):
        self.args = args

    def __enter__(self):
        self.proc = kh.wine_start(kh.helper("overlay_driver"), "front", *self.args, stdin=subprocess.PIPE)
        line = self.proc.stdout.readline().decode()
        assert line.startswith("ready"), line
        self.rect = tuple(int(v) for v in line.split()[1:])
        return self


class ScreenshotRoads(unittest.TestCase):
    def annotate_and_finish(self, dark):
        theme = "dark" if dark else "light"
        with Backdrop():
            with kh.RunningProgram({"start_in_tray": "true", "dark_mode": "true" if dark else "false"}) as app:
                app.post(kh.WM_HOTKEY, AREA, 0)
                drive("wait")
                screen_shot(f"overlay_hint_{theme}.png")
                drive("drag", "200", "150", "600", "450",  # the selection, 400 × 300
                      "drag", "250", "200", "400", "200",  # an arrow in the first colour
                      *tool("blur"), "drag", "330", "180", "380", "230",  # over part of the arrow
                      *swatch("yellow"), *tool("pencil"), "drag", "220", "170", "300", "180",
                      *swatch("green"), *tool("rect"), "drag", "300", "300", "500", "400",
                      # stamps 1, 2 and 3; undo twice and redo once leave 1 and 2
                      *tool("number"), "click", "550", "200", "click", "550", "250", "click", "550", "300",
                      "ctrl", "0x5A", "ctrl", "0x5A", "ctrl", "0x59",
                      # Enter in the text box commits the text
                      *tool("text"), "click", "220", "380", "type", "Hi", "key", ENTER,
                      *swatch("purple"), *tool("line"), "drag", "420", "420", "580", "440",
                      "hover", str(kh.IDS.kCaptureSave), *SELECTION)
                screen_shot(f"overlay_{theme}.png")
                drive("key", ENTER, "gone")  # done
                time.sleep(1.6)
                self.assertEqual(app.quit(), 0)
        rows = image_rows()
        self.assertEqual(len(rows), 1)
        self.assertEqual(rows[0]["is_image"], 1)
        return rows[0]["image"]

    def check_picture(self, image):
        with kh.temp_dir() as tmp:
            png = os.path.join(tmp, "shot.png")
            with open(png, "wb") as f:
                f.write(image)
            self.check_picture_file(png)

    def check_picture_file(self, png):
        self.assertEqual(identify(png, "%w %h"), "400 300")
        self.assertEqual(identify(png, "%[opaque]").lower(), "true")
        # Boxes are in the picture (selection) coordinates.
        self.assertIn(RED, colours(png, (60, 46, 60, 9)), "the arrow")
        self.assertNotIn(RED, colours(png, (136, 44, 38, 12)), "the blur hides the arrow under it")
        self.assertIn(RED, colours(png, (185, 44, 10, 12)), "the arrow past the blur")
        self.assertIn(YELLOW, colours(png, (30, 20, 60, 12)), "the pencil stroke")
        self.assertIn(GREEN, colours(png, (130, 146, 40, 8)), "the rectangle's top edge")
        self.assertNotIn(GREEN, colours(png, (130, 170, 40, 40)), "a hollow rectangle")
        for y in (50, 100):
            self.assertIn(GREEN, colours(png, (345, y - 11, 10, 3)), f"the stamp at y {y}")
        self.assertNotIn(GREEN, colours(png, (340, 140, 20, 20)), "the third stamp, undone and not redone")
        self.assertIn(GREEN, colours(png, (20, 230, 40, 30)), "the text")
        self.assertIn(PURPLE, colours(png, (250, 275, 100, 12)), "the line")

    def check_editor_screenshot(self, name, dark):
        path = os.path.join(SHOTS, name)
        found = colours(path)
        toolbar_fill = 0x272727 if dark else 0xFBFBFB
        active = 0xD06B0A if dark else 0xCC6600
        frame = 0xFFC24C if dark else 0xCC6600
        for role, colour in (("toolbar", toolbar_fill), ("active tool", active), ("selection frame", frame),
                             ("tooltip and size label", 0x272727), ("handles", 0xFFFFFF)):
            self.assertIn(rgb(colour), found, f"{role} in {name}")
        # Outside the selection the grey bands are dimmed to 105/255.
        self.assertNotIn(rgb(0x3C3C3C), colours(path, (700, 600, 30, 30)))

    def test_annotate_in_the_editor_dark(self):
        self.check_picture(self.annotate_and_finish(dark=True))
        self.check_editor_screenshot("overlay_dark.png", dark=True)

    def test_annotate_in_the_editor_light(self):
        self.check_picture(self.annotate_and_finish(dark=False))
        self.check_editor_screenshot("overlay_light.png", dark=False)

    def test_escape_and_right_click_add_nothing(self):
        with Backdrop(), kh.RunningProgram({"start_in_tray": "true"}) as app:
            app.post(kh.WM_HOTKEY, AREA, 0)
            drive("wait", "drag", "100", "100", "300", "300", "key", ESC, "gone")
            app.post(kh.WM_HOTKEY, AREA, 0)
            drive("wait", "drag", "100", "100", "300", "300", "rclick", "200", "200", "gone")
            time.sleep(1.6)
            self.assertEqual(app.quit(), 0)
        self.assertEqual(image_rows(), [])

    def test_full_screen_is_one_picture_of_the_whole_screen(self):
        with Backdrop(), kh.temp_dir() as tmp, kh.RunningProgram({"start_in_tray": "true"}) as app:
            app.post(kh.WM_HOTKEY, FULL_SCREEN, 0)
            drive("wait", "key", ENTER, "gone")
            time.sleep(1.6)  # polls of the clipboard, which holds the picture now
            self.assertEqual(app.quit(), 0)
            rows = image_rows()
            self.assertEqual(len(rows), 1, "one entry, and no second one from the clipboard")
            png = os.path.join(tmp, "full.png")
            with open(png, "wb") as f:
                f.write(rows[0]["image"])
            self.assertEqual(identify(png, "%w %h"), "1280 1024")
            self.assertEqual(identify(png, "%[opaque]").lower(), "true")
            # The grey bands as they were, undimmed.
            self.assertEqual(colours(png, (4, 500, 24, 24)), {rgb(0x3C3C3C): 576})


    def test_window_mode_selects_the_window_in_front(self):
        with Backdrop(), kh.temp_dir() as tmp, kh.RunningProgram({"start_in_tray": "true"}) as app:
            # A minimized window in front offers nothing: Enter finishes nothing, Esc leaves.
            with FrontWindow("300", "200", "333", "222", "minimized"):
                app.post(kh.WM_HOTKEY, WINDOW, 0)
                drive("wait", "key", ENTER, "key", ESC, "gone")
            with FrontWindow("300", "200", "333", "222") as front:
                self.assertEqual(front.rect, (300, 200, 333, 222))
                app.post(kh.WM_HOTKEY, WINDOW, 0)
                drive("wait", "key", ENTER, "gone")
            self.assertEqual(app.quit(), 0)
            rows = image_rows()
            self.assertEqual(len(rows), 1, "the window in front, and nothing for the minimized one")
            png = os.path.join(tmp, "window.png")
            with open(png, "wb") as f:
                f.write(rows[0]["image"])
            # The window and nothing of what lies behind it.
            self.assertEqual(colours(png), {FRONT: 333 * 222})


if __name__ == "__main__":
    unittest.main()
