"""The harness runs a Windows program once: a helper or Korvane that ends
with 1 is a failure to see, not to run again. Only Wine's own fault makes it
go on, and that is noted where scripts/test.sh names it in its last line.
Wine is stood in for by a script that notes its calls."""

import os
import subprocess
import tempfile
import unittest

import korvane_harness as harness

LOADER_FAULT = "Inconsistency detected by ld.so: dl-fini.c: 1: _dl_fini: Assertion failed!"


class HarnessRuns(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory(prefix="korvane-harness-")
        self.calls = os.path.join(self.work.name, "calls")
        harness.RETRIES_LOG = os.path.join(self.work.name, "notes")

    def tearDown(self):
        self.work.cleanup()

    def stand_in(self, body):
        path = os.path.join(self.work.name, "wine")
        with open(path, "w") as f:
            f.write(f'#!/bin/sh\necho "$1" >>"{self.calls}"\n{body}\n')
        os.chmod(path, 0o755)
        harness.WINE = path

    def called(self):
        with open(self.calls) as f:
            return [os.path.basename(line.strip()) for line in f]

    def last_line(self):
        out = subprocess.run([os.path.join(harness.SOURCE_DIR, "scripts", "lib", "second-runs.sh"), "-",
                              harness.RETRIES_LOG], capture_output=True, text=True, check=True).stdout
        return out.strip().splitlines()[-1] if out.strip() else ""

    def test_a_silent_failure_is_run_once_and_fails(self):
        self.stand_in("exit 1")
        self.assertEqual(harness.wine("probe.exe", "rows", check=False).returncode, 1)
        with self.assertRaises(AssertionError):
            with harness.RunningProgram(reset=False):
                pass
        self.assertEqual([self.called().count(exe) for exe in ("probe.exe", "Korvane.exe")], [1, 1])
        self.assertEqual(self.last_line(), "")

    def test_the_loader_fault_is_named_in_the_last_line(self):
        self.stand_in(f'echo shown; echo "{LOADER_FAULT}" >&2; exit 127')
        self.assertEqual(harness.wine("probe.exe", "rows").stdout, b"shown\n")
        self.assertEqual(self.called(), ["probe.exe"])
        self.assertIn("once", self.last_line())
        self.assertIn("harness_retries_test (probe.exe rows: exit code lost", self.last_line())


if __name__ == "__main__":
    unittest.main()
