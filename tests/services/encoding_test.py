"""Base64 and UTF-8 conversions checked against Python's own codecs."""

import base64
import os
import random
import unittest

import korvane_harness as kh


class EncodingOracle(unittest.TestCase):
    def test_base64_matches_python_for_every_length(self):
        rng = random.Random(7)
        samples = {f"len{n}": bytes(rng.randrange(256) for _ in range(n)) for n in range(0, 200)}
        samples["big"] = os.urandom(300_001)
        samples["zeros"] = bytes(1000)
        samples["ff"] = b"\xff" * 1001
        with kh.temp_dir() as d:
            for name, data in samples.items():
                with open(os.path.join(d, name + ".bin"), "wb") as f:
                    f.write(data)
                encoded = base64.b64encode(data)
                # Line breaks as MIME writes them, and blanks, are skipped.
                noisy = base64.encodebytes(data).replace(b"A", b" A")
                with open(os.path.join(d, name + ".txt"), "wb") as f:
                    f.write(noisy)
            kh.wine(kh.helper("text_tool"), "base64", kh.win_path(d))
            for name, data in samples.items():
                with open(os.path.join(d, name + ".b64"), "rb") as f:
                    self.assertEqual(f.read(), base64.b64encode(data), name)
                with open(os.path.join(d, name + ".dec"), "rb") as f:
                    self.assertEqual(f.read(), data, name)

    def test_utf8_and_utf16_agree_with_python(self):
        texts = {
            "ascii": "plain text, 123",
            "cyrillic": "Съешь же ещё этих мягких французских булок",
            "emoji": "a\U0001F600b\U0001F9D1\u200D\U0001F4BBc",
            "cjk": "漢字かなカナ한글",
            "mixed_lines": "line1\r\nстрока2\n\tx\u00a0y\u2028z",
            "astral_edges": "\U00010000\U0010FFFF\uFFFD\uE000",
            "empty": "",
        }
        with kh.temp_dir() as d:
            for name, text in texts.items():
                with open(os.path.join(d, name + ".u8"), "wb") as f:
                    f.write(text.encode("utf-8"))
                with open(os.path.join(d, name + ".w16"), "wb") as f:
                    f.write(text.encode("utf-16-le"))
            kh.wine(kh.helper("text_tool"), "utf8", kh.win_path(d))
            for name, text in texts.items():
                with open(os.path.join(d, name + ".u16"), "rb") as f:
                    self.assertEqual(f.read().decode("utf-16-le"), text, name)
                with open(os.path.join(d, name + ".w8"), "rb") as f:
                    self.assertEqual(f.read().decode("utf-8"), text, name)


if __name__ == "__main__":
    unittest.main()
