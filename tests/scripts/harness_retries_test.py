"""The harness runs a Windows program once: a helper or Korvane that ends
with 1 is a failure to see, not to run again. Only Wine's own fault at exit
lets a run go on, and scripts/test.sh names it in its last line; a helper's
printed verdict holds even then. Wine is stood in for by a script that notes
what it is asked to run."""

import os
import subprocess
import tempfile
import unittest

import korvane_harness as kh


class HarnessRuns(unittest.TestCase):
    def run_with(self, wine_body, steps):
        """What the stand-in was asked to run, and the last line of scripts/test.sh after the steps."""
        with tempfile.TemporaryDirectory(prefix="korvane-harness-") as tmp:
            kh.WINE, kh.RETRIES_LOG = os.path.join(tmp, "wine"), os.path.join(tmp, "notes")
            with open(kh.WINE, "w") as f:
                f.write(f'#!/bin/sh\nbasename "$1" >>"{tmp}/calls"\n{wine_body}\n')
            os.chmod(kh.WINE, 0o755)
            steps()
            last = subprocess.run([os.path.join(kh.SOURCE_DIR, "scripts", "lib", "second-runs.sh"), "-",
                                   kh.RETRIES_LOG], capture_output=True, text=True, check=True).stdout
            with open(os.path.join(tmp, "calls")) as f:
                return f.read().split(), last

    def test_a_silent_failure_is_run_once_and_fails(self):
        def steps():
            self.assertEqual(kh.wine("probe.exe", "rows", check=False).returncode, 1)
            with self.assertRaises(AssertionError), kh.RunningProgram(reset=False):
                pass
        calls, last = self.run_with("exit 1", steps)
        self.assertEqual([calls.count("probe.exe"), calls.count("Korvane.exe")], [1, 1])
        self.assertEqual(last, "")

    FAULT = "Inconsistency detected by ld.so: dl-fini.c: 1: _dl_fini: Assertion failed!"

    def test_the_loader_fault_at_exit_is_named_in_the_last_line(self):
        steps = lambda: self.assertEqual(kh.wine("probe.exe", "rows").stdout, b"shown\n")
        calls, last = self.run_with(f'echo shown; echo "{self.FAULT}" >&2; exit 127', steps)
        self.assertEqual(calls, ["probe.exe"])
        self.assertIn("Wine itself failed once, and the harness went on: harness_retries_test (probe.exe rows:", last)

    def test_a_verdict_of_failure_fails_also_when_the_exit_code_is_lost(self):
        def steps():
            with self.assertRaises(AssertionError):
                kh.wine("probe.exe", "wait-hidden", "5000", verdict="gone")
        self.run_with(f'echo still-there; echo "{self.FAULT}" >&2; exit 127', steps)

    def test_a_run_ends_with_the_program_whatever_it_left_running(self):
        # As explorer.exe, started by the first program that needs Wine's desktop, with that program's output.
        steps = lambda: self.assertEqual(kh.wine("probe.exe", "window", timeout=10).stdout, b"shown\n")
        self.run_with("echo shown; sleep 20 &", steps)


if __name__ == "__main__":
    unittest.main()
