"""A prefix the harness makes for a test lives in the session's folder (which
goes with the session however the test ends), and goes, its server stopped,
when the test is stopped with TERM. Wine and the build's prefix are stood in
for."""

import os
import signal
import subprocess
import sys
import tempfile
import unittest

import korvane_harness as kh

CHILD = """
import sys, time, korvane_harness as kh
kh.BINARY_DIR, kh.WINE = sys.argv[1], sys.argv[2]
with kh.separate_prefix() as (prefix, runner):
    print(prefix, flush=True)
    time.sleep(60)
"""


class HarnessPrefix(unittest.TestCase):
    def test_a_stopped_test_leaves_no_prefix(self):
        with tempfile.TemporaryDirectory(prefix="korvane-harness-") as tmp:
            base, session, bin_dir = (os.path.join(tmp, name) for name in ("wineprefix", "session", "bin"))
            os.makedirs(os.path.join(base, "drive_c", "users", "me"))
            for name in ("system.reg", "userdef.reg", ".update-timestamp", "user.reg"):
                open(os.path.join(base, name), "w").close()
            os.makedirs(session)
            os.makedirs(bin_dir)
            for path, body in ((os.path.join(tmp, "wine-run.sh"), "export WINEPREFIX=x\n"),
                               (os.path.join(bin_dir, "wineserver"), f'echo "$WINEPREFIX $1" >>"{tmp}/calls"\n')):
                with open(path, "w") as f:
                    f.write("#!/bin/sh\n" + body)
                os.chmod(path, 0o755)
            env = dict(os.environ, KORVANE_SESSION_TMP=session, PATH=bin_dir + os.pathsep + os.environ["PATH"])
            child = subprocess.Popen([sys.executable, "-c", CHILD, tmp, os.path.join(tmp, "wine-run.sh")], env=env,
                                     stdout=subprocess.PIPE, text=True)
            prefix = child.stdout.readline().strip()
            self.assertEqual(os.path.dirname(prefix), session)
            child.send_signal(signal.SIGTERM)
            self.assertEqual(child.wait(timeout=30), 128 + signal.SIGTERM)
            self.assertFalse(os.path.exists(prefix))
            with open(os.path.join(tmp, "calls")) as f:
                self.assertIn(f"{prefix} -k", f.read().splitlines())


if __name__ == "__main__":
    unittest.main()
