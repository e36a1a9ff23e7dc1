"""Quorvex's window by the names a user sees, shared by the tests and the
scripts that drive the real program."""

import contextlib
import enum
import os

from . import drive

WINDOW = "Zell Quorvex"
OPEN_DIALOG = "Load Quorvex Source Document..."
TABS = ["Summary", "Substitutions", "Unique Words"]
HEADERS = {
    "Summary": ["Item", "Value"],
    "Substitutions": ["Ascii", "Char", "Count", "Replaced With"],
    "Unique Words": ["Word", "Count", "First Occurs", "Original Order"],
}


class SummaryRow(enum.IntEnum):
    """The Summary list's rows once a document is processed; the first two
    show as soon as it is loaded."""
    FILE_LOADED = 0
    FILE_SIZE = 1
    TOTAL_WORD_COUNT = 2
    UNIQUE_WORD_COUNT = 3
    SUBSTITUTION_COUNT = 4
    TIME_TO_COMPLETE = 5


# The lists' columns by number, in the order of HEADERS.
class SummaryColumn(enum.IntEnum):
    ITEM = 0
    VALUE = 1


class UniqueWordColumn(enum.IntEnum):
    WORD = 0
    COUNT = 1
    FIRST_OCCURS = 2
    ORIGINAL_ORDER = 3


# A cell longer than this shows, and reads out, its first SHOWN_CHARACTERS
# characters followed by an ellipsis.
SHOWN_CHARACTERS = 4096


def count_text(count):
    """A Count cell: the count with English separators, right-aligned in 12."""
    return f"{count:>12,}"[-12:]


def order_text(order):
    """An "Original Order" cell: the row number right-aligned in 8."""
    return f"{order:>8}"[-8:]


def shown_text(text):
    """What a cell with this whole text shows and reads out."""
    if len(text) <= SHOWN_CHARACTERS:
        return text
    return text[:SHOWN_CHARACTERS] + "\u2026"


def substitution_row(byte, count):
    """The Substitutions row of a byte value counted count times."""
    char = chr(byte) if 32 <= byte <= 126 else " "
    if chr(byte).isascii() and chr(byte).isalpha():
        replaced = chr(byte).lower()
    elif byte == ord("'"):
        replaced = "{deleted char}"
    else:
        replaced = "  {space char}"
    return [str(byte), char, count_text(count), replaced]


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
