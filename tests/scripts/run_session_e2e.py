"""scripts/run.sh past its build (scripts/lib/start-korvane.sh) on a prefix of
its own: a second run while Korvane runs shows it and leaves it running, and
Ctrl+C on the first run keeps what a menu switched, through the end of the
Wine session, and leaves no server behind."""

import glob
import os
import signal
import subprocess
import tempfile
import unittest

import korvane_harness as kh

START = os.path.join(kh.SOURCE_DIR, "scripts", "lib", "start-korvane.sh")


class RunSession(unittest.TestCase):
    def test_a_second_run_leaves_the_first_and_ctrl_c_keeps_the_menu_switch(self):
        with kh.separate_prefix() as (prefix, runner), tempfile.TemporaryFile() as output:
            def probe(*args):
                return subprocess.run([runner, kh.helper("app_probe"), *args], capture_output=True, timeout=60,
                                      text=True).stdout

            def saved_on_top():
                return (kh.read_profile_settings(prefix) or {}).get("always_on_top")

            # No X display: each run takes a private Xvfb. The first runs in a
            # process group of its own, as a terminal's job does.
            no_display = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XAUTHORITY")}
            first = subprocess.Popen([START, kh.program(), prefix], env=no_display, stdout=output,
                                     stderr=subprocess.STDOUT, start_new_session=True)
            try:
                # Nothing of Wine may start in the prefix before the run's own
                # server: the settings file is written once Korvane is up.
                profile = os.path.join(prefix, "drive_c", "users", "*", ".korvane.db.ini")
                self.assertTrue(kh.wait_until(lambda: glob.glob(profile), 60), "Korvane wrote no settings")
                self.assertTrue(probe("wait-window", "20000").startswith("window "))
                on_top = dict(line.split(" ", 1) for line in probe("window").splitlines())["topmost"]
                probe("post", str(kh.WM_COMMAND), str(kh.IDS.kCmdAlwaysOnTop), "0")
                self.assertTrue(kh.wait_until(lambda: "topmost " + on_top not in probe("window")))
                switched = "false" if on_top == "1" else "true"
                self.assertNotEqual(saved_on_top(), switched, "saved at once: Ctrl+C below would prove nothing")

                second = subprocess.run([START, kh.program(), prefix], env=no_display, capture_output=True, text=True,
                                        timeout=120)
                self.assertEqual(second.returncode, 0, second.stdout + second.stderr)
                self.assertIn("joining it", second.stdout)
                self.assertIsNone(first.poll())
                self.assertIn("visible 1", probe("window"))

                os.killpg(first.pid, signal.SIGINT)
                self.assertEqual(first.wait(timeout=90), 130)
                self.assertEqual(saved_on_top(), switched)
                self.assertNotEqual(subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix))
                                    .returncode, 0, "a wineserver was left running")
            finally:
                if first.poll() is None:
                    os.killpg(first.pid, signal.SIGKILL)
                    first.wait()
                output.seek(0)
                print(output.read().decode(errors="replace"))


if __name__ == "__main__":
    unittest.main()
