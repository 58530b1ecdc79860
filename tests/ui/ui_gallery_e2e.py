"""Renders the control kit and the popup menu in both themes into PNG files
under the build folder (screenshots/), then reads them back with ImageMagick
and checks that every colour each state should show is there, on the
control or row in that state and not on its neighbours."""

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


# What each picture must show, and where: (role, COLORREF of the palette,
# the place the helper names, "most" when the colour fills most of that
# place or "in" when it only has to be there).
EXPECTED = {
    "controls_dark.png": [
        ("window background", 0x202020, "window", "most"), ("field", 0x2B2B2B, "edit", "most"),
        ("border", 0x4A4A4A, "edit", "in"), ("accent frame", 0xD06B0A, "focused-combo", "in"),
        ("track on", 0xD06B0A, "toggle-on", "in"), ("track off", 0x3D3939, "toggle-off", "in"),
        ("knob", 0xFFFFFF, "toggle-on", "in"), ("knob pressed", 0xB0B0B0, "toggle-off-pressed", "in"),
        ("arrow glyph", 0xE0E0E0, "combo", "in"),
        ("primary normal", 0xE07A1A, "primary-normal", "most"), ("primary hover", 0xEE8A2E, "primary-hover", "most"),
        ("primary pressed", 0xBE630F, "primary-pressed", "most"),
        ("secondary normal", 0x2E2E2E, "secondary-normal", "most"),
        ("secondary hover", 0x383838, "secondary-hover", "most"),
        ("secondary pressed", 0x1C1C1C, "secondary-pressed", "most"),
        ("secondary border", 0x555555, "secondary-normal", "in"),
    ],
    "controls_light.png": [
        ("window background", 0xF3F3F3, "window", "most"), ("field", 0xFFFFFF, "edit", "most"),
        ("border", 0xD5D5D5, "edit", "in"), ("accent frame", 0xCC6600, "focused-combo", "in"),
        ("track on", 0xD06B0A, "toggle-on", "in"), ("track off", 0xC0C4C4, "toggle-off", "in"),
        ("knob pressed", 0x808080, "toggle-off-pressed", "in"), ("arrow glyph", 0x505050, "combo", "in"),
        ("primary hover", 0xE07A0A, "primary-hover", "most"), ("primary pressed", 0xAA5500, "primary-pressed", "most"),
        ("secondary normal", 0xFAFAFA, "secondary-normal", "most"),
        ("secondary hover", 0xECECEC, "secondary-hover", "most"),
        ("secondary pressed", 0xCECECE, "secondary-pressed", "most"),
        ("secondary border", 0xC7C7C7, "secondary-normal", "in"),
    ],
    "menu_dark.png": [
        ("surface", 0x272727, "menu", "most"), ("surface", 0x272727, "submenu", "most"),
        ("hover", 0xD06B0A, "hovered-row", "most"), ("outline", 0xCC6600, "menu-edge", "most"),
        ("separator", 0x4A4A4A, "separator-row", "in"), ("text", 0xF2F2F2, "enabled-row", "in"),
        ("disabled text", 0xC7C7C7, "disabled-row", "in"),
    ],
    "menu_light.png": [
        ("surface", 0xFBFBFB, "menu", "most"), ("surface", 0xFBFBFB, "submenu", "most"),
        ("hover", 0xF7E7D6, "hovered-row", "most"), ("outline", 0xBFBFBF, "menu-edge", "most"),
        ("separator", 0xD5D5D5, "separator-row", "in"), ("text", 0x141414, "enabled-row", "in"),
        ("disabled text", 0x606060, "disabled-row", "in"),
    ],
}
# Colours a place must not show: a state drawn on the wrong control.
ABSENT = {
    "controls_dark.png": [("track on", 0xD06B0A, "toggle-off"), ("knob pressed", 0xB0B0B0, "toggle-on")],
    "controls_light.png": [("track on", 0xD06B0A, "toggle-off"), ("knob pressed", 0x808080, "toggle-on")],
    "menu_dark.png": [("text", 0xF2F2F2, "disabled-row"), ("hover", 0xD06B0A, "enabled-row")],
    "menu_light.png": [("text", 0x141414, "disabled-row"), ("hover", 0xF7E7D6, "enabled-row")],
}


def places(output):
    """{picture: {what: box}} from the helper's "at" lines."""
    found = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 7 and parts[0] == "at":
            found.setdefault(parts[1], {})[parts[2]] = tuple(int(v) for v in parts[3:])
    for at in found.values():
        if "menu" in at:  # its one-pixel outline
            left, top, right, _ = at["menu"]
            at["menu-edge"] = (left, top, right, top + 1)
    return found


class UiGallery(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(OUT, exist_ok=True)
        for name in EXPECTED:
            if os.path.exists(os.path.join(OUT, name)):
                os.remove(os.path.join(OUT, name))
        cls.run_result = kh.wine(kh.helper("ui_gallery"), kh.win_path(OUT), timeout=120, check=False)
        cls.places = places(cls.run_result.stdout.decode(errors="replace"))

    def test_every_picture_written(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stdout.decode(errors="replace"))
        for name in EXPECTED:
            self.assertTrue(os.path.exists(os.path.join(OUT, name)), name)

    def test_each_colour_is_at_its_place(self):
        for name, wanted in EXPECTED.items():
            path = os.path.join(OUT, name)
            if not os.path.exists(path):
                self.fail("missing " + name)
            picture, at = kh.Picture(path), self.places[name]
            for role, colorref, place, how in wanted:
                with self.subTest(picture=name, role=role, place=place):
                    found = picture.colours(at[place])
                    if how == "most":
                        self.assertEqual(max(found, key=found.get), hex_of(colorref))
                    else:
                        self.assertIn(hex_of(colorref), found)
            for role, colorref, place in ABSENT[name]:
                with self.subTest(picture=name, role=role, absent_from=place):
                    self.assertNotIn(hex_of(colorref), picture.colours(at[place]))

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
