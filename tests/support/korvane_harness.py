"""Shared by the Python tests: they run natively and start the Windows side
(Korvane.exe, test helpers) under Wine through the build's wine-run.sh."""

import os
import subprocess
import tempfile

SOURCE_DIR = os.environ.get("KORVANE_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY_DIR = os.environ.get("KORVANE_BINARY_DIR", os.path.join(SOURCE_DIR, "build"))
WINE = os.environ.get("KORVANE_WINE") or os.path.join(BINARY_DIR, "wine-run.sh")


def win_path(linux_path):
    """The Windows path (drive Z:) of a Linux path."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def helper(name):
    """Path of a test helper program built from tests/helpers/<name>.cpp."""
    return os.path.join(BINARY_DIR, "tests", "helpers", name + ".exe")


def program():
    return os.path.join(BINARY_DIR, "Korvane.exe")


def wine(exe, *args, timeout=120, check=True, input=None, env=None):
    """Runs a Windows program and waits; returns the CompletedProcess."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    proc = subprocess.run([WINE, exe, *args], capture_output=True, timeout=timeout,
                          input=input, env=run_env)
    if check and proc.returncode != 0:
        raise AssertionError(
            f"{os.path.basename(exe)} {' '.join(args)} exited {proc.returncode}\n"
            f"stdout: {proc.stdout.decode(errors='replace')}\nstderr: {proc.stderr.decode(errors='replace')}")
    return proc


def wine_start(exe, *args, env=None):
    """Starts a Windows program without waiting; returns the Popen."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    return subprocess.Popen([WINE, exe, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=run_env)


def temp_dir():
    """A TemporaryDirectory under /tmp, reachable from Wine as Z:\\tmp\\..."""
    return tempfile.TemporaryDirectory(prefix="korvane-py-", dir="/tmp")


def wine_prefix():
    return os.path.join(BINARY_DIR, "wineprefix")


def wine_user_profile():
    """The Linux folder of the Windows user profile (C:\\users\\<name>) in the test prefix."""
    users = os.path.join(wine_prefix(), "drive_c", "users")
    for name in sorted(os.listdir(users)):
        if name not in ("Public",) and os.path.isdir(os.path.join(users, name, "AppData")):
            return os.path.join(users, name)
    raise RuntimeError("no user profile in " + users)
