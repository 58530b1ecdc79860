"""Runs storage_db_tool (a Windows program that opens a history database
through HistoryDb and performs the operations named on its command line) and
reads what it prints."""

import korvane_harness as kh

TOOL = kh.helper("storage_db_tool")


def hexs(text):
    return text.encode("utf-8").hex() or "-"


def unhex(field):
    return b"" if field == "-" else bytes.fromhex(field)


def run_tool(db_path, *ops):
    """Runs the ops on the database; returns the printed lines split into fields."""
    proc = kh.wine(TOOL, kh.win_path(db_path), *ops)
    lines = proc.stdout.decode("utf-8", "replace").splitlines()
    return [line.rstrip("\r").split("\t") for line in lines if line.strip()]


def entry_ids(lines):
    return [int(f[1]) for f in lines if f[0] == "E"]


def results(lines):
    return [int(f[1]) for f in lines if f[0] == "R"]

