#!/usr/bin/python3
"""Quorvex as a user meets it: the real program in a real window, driven
through its accessibility interface, every cell of its lists read and
compared with what the document written here must give. The program keeps no
settings and writes no files: it runs with a home, XDG folders and a
temporary folder of its own, all empty, and they must stay so.

Usage: test_end_to_end.py PROGRAM, inside a desktop such as run-under-xvfb
provides.
"""

import contextlib
import os
import re
import shutil
import signal
import sys
import tempfile
import unittest

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import (HEADERS, OPEN_DIALOG, TABS, SummaryRow, UniqueWordColumn,
                                        count_text, order_text, substitution_row)


# A text line, a heading line and a text line with capitals and apostrophes.
DOCUMENT = (b"001:001 The cat ate the apple.\r\n"
            b"Book 02 Fables\r\n"
            b"001:002 Don't eat THE Cat's apple!\r\n")

# Worked out by hand. The heading line and the first seven bytes of each text
# line are not scanned; the rest of line 1 holds 25 bytes, of line 3 29 bytes.
# An apostrophe is counted once, like every other byte.
BYTE_COUNTS = {
    10: 2, 13: 2, 32: 10, ord("!"): 1, ord("'"): 2, ord("."): 1,
    ord("C"): 1, ord("D"): 1, ord("E"): 1, ord("H"): 1, ord("T"): 2,
    ord("a"): 6, ord("c"): 1, ord("e"): 6, ord("h"): 2, ord("l"): 2,
    ord("n"): 1, ord("o"): 1, ord("p"): 4, ord("s"): 1, ord("t"): 6,
}  # yapf: disable
SUMMARY_COUNTS = [
    ["File Size", "84 bytes"],
    ["Total Word Count", "10"],
    ["Unique Word Count", "7"],
    ["Substitution Count", "24"],  # every counted byte but the small letters
]
LINE_1 = "001:001"
LINE_3 = "Book 02 Fables  001:002"  # the heading, its line end as two spaces, the line
# Word, count, where it first occurs: by first letter, then in order of appearance.
UNIQUE_WORDS = [
    ("ate", 1, LINE_1),
    ("apple", 2, LINE_1),
    ("cat", 1, LINE_1),
    ("cats", 1, LINE_3),
    ("dont", 1, LINE_3),
    ("eat", 1, LINE_3),
    ("the", 3, LINE_1),
]
LOAD_FAILED = "Cannot Load Document"
TIME_TO_COMPLETE = re.compile(r"^[0-9]*\.[0-9]{1,8} seconds$")

# The folders a program may write to on its own account, as the environment
# variables that name them, each given the program empty.
USER_FOLDERS = ["HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME",
                "XDG_RUNTIME_DIR", "TMPDIR"]
# What the platform may leave there for itself rather than for the program: a
# path below the folders' common parent, as a regular expression, and why.
# None has appeared so far: fontconfig finds the system's font caches up to
# date, no GPU shader cache is made, and the accessibility bus keeps its files
# in the runtime folder of the desktop that run-under-xvfb starts.
PLATFORM_FILES = []


# Enough distinct words that copying them all takes about a second.
MANY_WORDS = 1_000_000
TOO_MANY_TO_COPY = 2_900_000  # about the fewest whose Copy All is refused
COPY_REFUSED = "Cannot Copy"
PROCESS_TIMEOUT = 60.0
CLOSE_AFTER_A_BOX = 5.0  # the most a close may take once a box has shown


def counter_word(number):
    """A number in letters, the lowest first: counting up gives a new word."""
    word = ""
    while True:
        word += chr(ord("a") + number % 26)
        number //= 26
        if number == 0:
            return word


def many_new_words(count):
    """Lines of ten words, each new: `count` counted up in letters."""
    words = [counter_word(number) for number in range(count)]
    lines = (b"001:001 " + " ".join(words[at:at + 10]).encode() + b"\r\n"
             for at in range(0, count, 10))
    return b"".join(lines)


def left_up(program, tab):
    """Whether the window still shows, on this tab; a window that goes while
    being asked is not left up."""
    try:
        tabs = program.tab_list()
        return drive.is_showing(program.window) and tabs is not None and tabs.get_name() == tab
    except drive.GLib.Error:
        return False


def unique_rows():
    return [[word, count_text(count), first, order_text(order)]
            for order, (word, count, first) in enumerate(UNIQUE_WORDS, start=1)]


class EndToEndTest(unittest.TestCase):
    program_path = None

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.document = os.path.join(os.path.realpath(folder.name), "fables.txt")
        with open(self.document, "wb") as file:
            file.write(DOCUMENT)
        self.user_root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.user_root)
        user_folders = {variable: os.path.join(self.user_root, variable.lower())
                        for variable in USER_FOLDERS}
        for path in user_folders.values():
            os.mkdir(path, 0o700)
        # English separators in every number the program formats.
        environment = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", **user_folders)
        self.program = quorvexwindow.start(self.program_path, env=environment)
        self.addCleanup(self.program.kill)

    def test_a_document_is_loaded_processed_sorted_and_the_program_left_without_a_trace(self):
        self.check_the_empty_window()
        self.load_the_document()
        self.cancel_a_second_open()
        self.process_it()
        self.check_every_cell()
        self.sort_unique_words_by_count()
        self.assertEqual(quorvexwindow.leave(self.program), 0)
        self.check_nothing_was_written()

    # Qt drops a close request made to a window a message box blocks; the
    # program must not. Were the request lost, the click on OK made after it,
    # which the X server delivers after it, would dismiss the box and leave
    # the window up.
    def test_closing_the_window_behind_a_message_box_ends_the_program(self):
        program = self.program
        program.open_file(OPEN_DIALOG, os.path.join(os.path.dirname(self.document), "none.txt"))
        box = program.wait_for_window(LOAD_FAILED, drive.Atspi.Role.ALERT)
        ok = drive.screen_centre(drive.find(box, drive.Atspi.Role.PUSH_BUTTON, "OK"))
        program.request_close()
        drive.click_at(*ok)
        drive.wait_until(
            lambda: program.process.poll() is not None or (
                program.top_level(LOAD_FAILED, drive.Atspi.Role.ALERT) is None
                and drive.is_showing(program.window)),
            "the program to end or its window to be left up")
        self.assertEqual(program.process.poll(), 0, "the close request was lost")

    def select_all_unique_words_of(self, count):
        program = self.program
        with open(self.document, "wb") as file:
            file.write(many_new_words(count))
        quorvexwindow.load(program, self.document, PROCESS_TIMEOUT)
        program.choose_menu("Process File")
        program.wait_for_row_count("Summary", 6, PROCESS_TIMEOUT)
        program.select_tab("Unique Words")
        program.focus_window()
        drive.click_at(*drive.screen_centre(program.shown_list("Unique Words")
                                            .get_accessible_at(0, 0)))
        drive.press_keys("ctrl+a")

    # A copy of many rows holds input back until it ends, a close request
    # among it; once the copy ends, the close comes first and ends the
    # program. Were it lost, the ctrl+Tab sent after it would show the
    # Summary tab in a window left up.
    def test_a_close_during_a_long_copy_ends_the_program(self):
        program = self.program
        self.select_all_unique_words_of(MANY_WORDS)
        drive.press_keys("ctrl+c")
        program.request_close()
        drive.press_keys("ctrl+Tab")
        drive.wait_until(lambda: program.process.poll() is not None or left_up(program, "Summary"),
                         "the program to end or its window to be left up", PROCESS_TIMEOUT)
        self.assertEqual(program.process.poll(), 0, "the close request was lost")

    # The same when a busy program reads the close with the ctrl+C of a copy
    # too large: the close waits behind the copy and must still end the
    # program, not meet the box that refuses the copy. The program is stopped
    # while both are made, then watched through the X server alone: a question
    # on the accessibility bus would wake it and let it take the close early.
    def test_a_close_read_with_the_keys_of_a_refused_copy_ends_the_program(self):
        program = self.program
        self.select_all_unique_words_of(TOO_MANY_TO_COPY)
        window = program.x_window(program.window_name)
        os.kill(program.process.pid, signal.SIGSTOP)
        drive.press_keys("ctrl+c")
        drive.send_delete_window(window)
        os.kill(program.process.pid, signal.SIGCONT)
        drive.wait_until(lambda: program.process.poll() is not None
                         or program.x_windows(COPY_REFUSED, wait=0),
                         "the program to end or the copy to be refused", PROCESS_TIMEOUT)
        with contextlib.suppress(drive.DriveError):
            program.wait_for_exit(CLOSE_AFTER_A_BOX)
        self.assertEqual(program.process.poll(), 0, "the close request was lost")

    def check_the_empty_window(self):
        program = self.program
        bar = [(item.get_name(), drive.is_enabled(item)) for item in program.menu_bar_items()]
        self.assertEqual(bar, [("File", True), ("Process File", False)])
        entries = program.menu_items("File")
        self.assertEqual([entry.get_name() for entry in entries], ["Open", "", "Exit"])
        self.assertEqual(entries[1].get_role(), drive.Atspi.Role.SEPARATOR)
        self.assertEqual(program.tab_names(), TABS)
        for name in TABS:
            self.assertEqual(program.headers(name), HEADERS[name], name)
        self.assertEqual(program.rows("Summary"), [])

    def load_the_document(self):
        program = self.program
        dialog = program.open_dialog(OPEN_DIALOG)
        self.assertEqual(drive.combo_box_items(dialog, "Files of type:"),
                         ["Text Files (*.txt)", "All Files (*.*)"])
        program.choose_file(dialog, self.document)
        program.wait_for_row_count("Summary", 2)
        self.assertEqual(program.rows("Summary"),
                         [["File Loaded", self.document], SUMMARY_COUNTS[0]])
        self.assertTrue(drive.is_enabled(program.menu_bar_item("Process File")))

    def cancel_a_second_open(self):
        program = self.program
        before = program.rows("Summary")
        program.close_dialog(program.open_dialog(OPEN_DIALOG), "Cancel")
        self.assertEqual(program.rows("Summary"), before)
        self.assertTrue(drive.is_enabled(program.menu_bar_item("Process File")))

    def process_it(self):
        self.program.choose_menu("Process File")
        self.program.wait_for_row_count("Summary", 6)

    def check_every_cell(self):
        program = self.program
        summary = program.rows("Summary")
        self.assertEqual(summary[:SummaryRow.TIME_TO_COMPLETE],
                         [["File Loaded", self.document]] + SUMMARY_COUNTS)
        item, value = summary[SummaryRow.TIME_TO_COMPLETE]
        self.assertEqual(item, "Time To Complete")
        self.assertRegex(value, TIME_TO_COMPLETE)

        program.select_tab("Substitutions")
        substitutions = program.rows("Substitutions")
        self.assertEqual(len(substitutions), 256)
        for byte, row in enumerate(substitutions):
            expected = substitution_row(byte, BYTE_COUNTS.get(byte, 0))
            self.assertEqual(row, expected, f"byte {byte}")

        program.select_tab("Unique Words")
        self.assertEqual(program.rows("Unique Words"), unique_rows())

    def sort_unique_words_by_count(self):
        program = self.program
        program.click_header("Unique Words", "Count")
        ascending = sorted(count_text(count) for _, count, _ in UNIQUE_WORDS)

        def in_count_order():
            counts = [row[UniqueWordColumn.COUNT] for row in program.rows("Unique Words")]
            return counts == ascending

        drive.wait_until(in_count_order, "the words in ascending order of count")
        sorted_rows = program.rows("Unique Words")
        self.assertEqual(sorted(sorted_rows), sorted(unique_rows()))
        self.assertEqual([row[UniqueWordColumn.WORD] for row in sorted_rows[-2:]],
                         ["apple", "the"])

    def check_nothing_was_written(self):
        left = []
        for variable in USER_FOLDERS:
            top = os.path.join(self.user_root, variable.lower())
            for folder, subfolders, files in os.walk(top):
                for name in subfolders + files:
                    path = os.path.relpath(os.path.join(folder, name), self.user_root)
                    if not any(re.fullmatch(pattern, path) for pattern, _ in PLATFORM_FILES):
                        left.append(path)
        self.assertEqual(sorted(left), [], "the program left these behind")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__.strip())
    EndToEndTest.program_path = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
