"""Text crosses between Linux programs and ours through the real X clipboard:
what xclip copies, read_clipboard reads; what we set, xclip pastes. And a
picture there is no memory for leaves the clipboard as it was."""

import os
import resource
import subprocess
import time
import unittest

from korvane_harness import WINE, helper, temp_dir, wine, wine_start, win_path

PROBE = helper("clipboard_probe")
TEXT = "Копия из Linux: naïve café \U0001F600\nвторая строка\ttab"


def xclip(*args, **kw):
    return subprocess.run(["xclip", "-selection", "clipboard", *args], timeout=20, **kw)


class ShortOfMemory(unittest.TestCase):
    def test_a_picture_too_large_for_memory_leaves_the_clipboard_as_it_was(self):
        def limit_address_space():  # the probe uses up the rest itself
            resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))

        out = subprocess.run([WINE, PROBE, "starved", str(16 << 20)], capture_output=True, timeout=60,
                             preexec_fn=limit_address_space).stdout.decode()
        self.assertEqual(out.split(), ["put", "0", "clipboard", "before"])


class XClipboard(unittest.TestCase):
    def setUp(self):
        if not os.environ.get("DISPLAY"):
            self.skipTest("needs an X display")
        self.tmp = temp_dir()

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.tmp.name, name)

    def test_text_copied_by_a_linux_program_is_read(self):
        # xclip stays in the background owning the selection until it is replaced.
        xclip("-i", input=TEXT.encode("utf-8"), check=True)
        # Windows text ends its lines with CR LF; Wine converts them on the way in.
        expected = TEXT.replace("\n", "\r\n")
        got = ""
        for _ in range(20):  # Wine learns of the new owner asynchronously
            wine(PROBE, "read", win_path(self.path("out.txt")))
            with open(self.path("out.txt"), "rb") as f:
                got = f.read().decode("utf-8")
            if got == expected:
                break
            time.sleep(0.25)
        self.assertEqual(got, expected)

    def test_text_we_set_is_pasted_by_a_linux_program(self):
        text = "Из Korvane: ёжик \u2014 ok"
        with open(self.path("in.txt"), "wb") as f:
            f.write(text.encode("utf-8"))
        proc = wine_start(PROBE, "write", win_path(self.path("in.txt")), "15")
        try:
            self.assertEqual(proc.stdout.readline().strip(), b"ready")
            got = b""
            for _ in range(20):
                got = xclip("-o", "-target", "UTF8_STRING", capture_output=True).stdout
                if got.decode("utf-8", "replace") == text:
                    break
                time.sleep(0.25)
            self.assertEqual(got.decode("utf-8", "replace"), text)
        finally:
            proc.kill()
            proc.communicate()


if __name__ == "__main__":
    unittest.main()
