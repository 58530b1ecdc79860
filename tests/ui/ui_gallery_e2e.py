"""Renders the control kit and the popup menu in both themes into PNG files
under the build folder (screenshots/), then reads them back with ImageMagick
and checks that every colour each state should show is there."""

import os
import subprocess
import unittest

import korvane_harness as kh

OUT = kh.SCREENSHOTS_DIR
hex_of = kh.hex_of
colours = kh.picture_colours


def size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path],
                         capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in out.split())


# What each picture must show, as COLORREF values of the palette.
EXPECTED = {
    "controls_dark.png": {
        "window background": 0x202020, "field": 0x2B2B2B, "border": 0x4A4A4A,
        "accent frame / track on": 0xD06B0A, "track off": 0x3D3939, "knob": 0xFFFFFF,
        "knob pressed": 0xB0B0B0, "arrow glyph": 0xE0E0E0,
        "primary normal": 0xE07A1A, "primary hover": 0xEE8A2E, "primary pressed": 0xBE630F,
        "secondary normal": 0x2E2E2E, "secondary hover": 0x383838, "secondary pressed": 0x1C1C1C,
        "secondary border": 0x555555,
    },
    "controls_light.png": {
        "window background": 0xF3F3F3, "field": 0xFFFFFF, "border": 0xD5D5D5,
        "accent frame": 0xCC6600, "track on": 0xD06B0A, "track off": 0xC0C4C4,
        "knob pressed": 0x808080, "arrow glyph": 0x505050,
        "primary hover": 0xE07A0A, "primary pressed": 0xAA5500,
        "secondary normal": 0xFAFAFA, "secondary hover": 0xECECEC, "secondary pressed": 0xCECECE,
        "secondary border": 0xC7C7C7,
    },
    "menu_dark.png": {
        "surface": 0x272727, "hover": 0xD06B0A, "outline": 0xCC6600, "separator": 0x4A4A4A,
        "text": 0xF2F2F2, "disabled text": 0xC7C7C7,
    },
    "menu_light.png": {
        "surface": 0xFBFBFB, "hover": 0xF7E7D6, "outline": 0xBFBFBF, "separator": 0xD5D5D5,
        "text": 0x141414, "disabled text": 0x606060,
    },
}


class UiGallery(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(OUT, exist_ok=True)
        for name in EXPECTED:
            if os.path.exists(os.path.join(OUT, name)):
                os.remove(os.path.join(OUT, name))
        cls.run_result = kh.wine(kh.helper("ui_gallery"), kh.win_path(OUT), timeout=120, check=False)

    def test_every_picture_written(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stdout.decode(errors="replace"))
        for name in EXPECTED:
            self.assertTrue(os.path.exists(os.path.join(OUT, name)), name)

    def test_pictures_show_the_palette(self):
        for name, wanted in EXPECTED.items():
            path = os.path.join(OUT, name)
            if not os.path.exists(path):
                self.fail("missing " + name)
            found = colours(path)
            for role, colorref in wanted.items():
                with self.subTest(picture=name, role=role):
                    self.assertIn(hex_of(colorref), found)

    def test_menu_pictures_hold_a_menu_and_its_submenu(self):
        for name in ("menu_dark.png", "menu_light.png"):
            path = os.path.join(OUT, name)
            if not os.path.exists(path):
                self.fail("missing " + name)
            w, h = size(path)
            # Two menus side by side, each at least the 120-pixel minimum wide.
            self.assertGreater(w, 2 * 120)
            self.assertGreater(h, 6 * 28)
        self.assertEqual(size(os.path.join(OUT, "controls_dark.png")), (780, 470))


if __name__ == "__main__":
    unittest.main()
