"""Quorvex's window by the names a user sees, shared by the tests and the
scripts that drive the real program."""

import contextlib
import os

import drive

WINDOW = "Zell Quorvex"
OPEN_DIALOG = "Load Quorvex Source Document..."
TABS = ["Summary", "Substitutions", "Unique Words"]
HEADERS = {
    "Summary": ["Item", "Value"],
    "Substitutions": ["Ascii", "Char", "Count", "Replaced With"],
    "Unique Words": ["Word", "Count", "First Occurs", "Original Order"],
}


def start(program_path, env=None):
    """Starts the program and waits for its window."""
    return drive.Program([program_path], WINDOW, env=env)


@contextlib.contextmanager
def running(program_path):
    """The program started for a with block, and killed when the block is
    left with the program still running."""
    program = start(program_path)
    try:
        yield program
    finally:
        program.kill()


def load(program, document, timeout):
    """File > Open with the document, until its two summary rows show."""
    program.open_file(OPEN_DIALOG, os.path.abspath(document))
    program.wait_for_row_count("Summary", 2, timeout)


def leave(program):
    """Leaves the program through File > Exit and gives its exit status."""
    program.choose_menu("File", "Exit")
    return program.wait_for_exit()
