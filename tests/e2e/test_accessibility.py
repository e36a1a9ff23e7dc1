#!/usr/bin/python3
"""Quorvex as a screen reader and a keyboard user meet it: every control
named, every list's headers readable, the progress bar read as one, and the
menus and tabs worked from the keyboard alone with Qt's own keys.

Usage: test_accessibility.py PROGRAM, inside a desktop such as
run-under-xvfb provides.
"""

import os
import sys
import tempfile
import unittest

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.drive import Atspi
from quorvexdrive.quorvexwindow import HEADERS, OPEN_DIALOG, TABS, WINDOW

# Controls a keyboard user lands on even where they do not take the focus
# themselves: the menu bar moves a highlight over its entries.
KEYBOARD_STOPS = {Atspi.Role.MENU_ITEM, Atspi.Role.PAGE_TAB}


def unnamed_controls(root):
    """Every control below root that a keyboard user can reach but whose
    name is empty, as role names; the rows of lists are not looked into."""
    found = []
    for control in drive.children(root):
        reachable = (control.get_role() in KEYBOARD_STOPS
                     or drive.has_state(control, Atspi.StateType.FOCUSABLE))
        if reachable and not control.get_name():
            found.append(control.get_role_name())
        if control.get_role() not in drive._ITEM_CONTAINERS:
            found.extend(unnamed_controls(control))
    return found


def left_up(program):
    try:
        return (program.top_level("Cannot Show Occurrences", Atspi.Role.ALERT) is None
                and drive.is_showing(program.window))
    except drive.GLib.Error:
        return False  # the program ended while being asked


class AccessibilityTest(unittest.TestCase):
    program_path = None

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.document = os.path.join(os.path.realpath(folder.name), "psalm.txt")
        with open(self.document, "wb") as file:
            file.write(b"001:001 Sing a new song.\r\n")
        self.program = quorvexwindow.start(self.program_path)
        self.addCleanup(self.program.kill)
        self.program.focus_window()

    def press(self, key, control, what):
        """Presses a key and waits until it has moved the focus to control."""
        drive.press_keys(key)
        drive.wait_until(lambda: drive.is_focused(control), f"{key} to focus {what}")

    def test_every_control_has_a_name_and_every_list_its_headers(self):
        program = self.program
        self.assertEqual(program.window.get_name(), WINDOW)
        self.assertEqual([item.get_name() for item in program.menu_bar_items()],
                         ["File", "Process File"])
        entries = program.menu_items("File")
        self.assertEqual([(entry.get_role(), entry.get_name()) for entry in entries],
                         [(Atspi.Role.MENU_ITEM, "Open"), (Atspi.Role.SEPARATOR, ""),
                          (Atspi.Role.MENU_ITEM, "Exit")])
        self.assertEqual(program.tab_names(), TABS)
        for name in TABS:
            with self.subTest(list=name):
                self.assertEqual(program.report_list(name).get_name(), name)
                self.assertEqual(program.headers(name), HEADERS[name])
        self.assertIsNotNone(drive.find(program.window, Atspi.Role.PROGRESS_BAR, "Progress"))
        self.assertEqual(unnamed_controls(program.window), [])

    def test_keys_switch_tabs_and_tab_moves_into_the_list(self):
        program = self.program
        tabs = program.tab_list()
        # The strip of tab captions is the first stop and has the focus at start.
        drive.wait_until(lambda: drive.is_focused(tabs), "the tabs to have the focus")
        for key, tab in [("Right", "Substitutions"), ("Right", "Unique Words"),
                         ("ctrl+Tab", "Summary"), ("ctrl+shift+Tab", "Unique Words"),
                         ("Left", "Substitutions")]:
            drive.press_keys(key)
            drive.wait_until(lambda: tabs.get_name() == tab, f"{key} to show the tab {tab}")
            drive.wait_until(lambda: drive.is_showing(program.report_list(tab)),
                             f"the list {tab} to show")
        self.press("Tab", program.report_list("Substitutions"), "the list Substitutions")
        self.press("shift+Tab", tabs, "the tabs")

    def test_the_progress_bar_reads_in_bytes(self):
        program = self.program
        bar = drive.find(program.window, Atspi.Role.PROGRESS_BAR, "Progress")
        self.assertIsNotNone(bar, "no progress bar named Progress")
        self.assertIn("Value", bar.get_interfaces())
        self.assertFalse(drive.is_showing(bar))
        showing = drive.EventLog("object:state-changed:showing")
        self.addCleanup(showing.close)

        quorvexwindow.load(program, self.document, drive.DEFAULT_TIMEOUT)
        program.choose_menu("Process File")
        program.wait_for_row_count("Summary", 6)
        # The bar shows only while the run lasts, too briefly to be looked at;
        # the events of its showing and hiding tell that it was there.
        self.assertEqual(showing.details(bar, 2), [1, 0])
        # A document this short is read with no drawing after the empty bar.
        size = os.path.getsize(self.document)
        self.assertEqual((bar.get_minimum_value(), bar.get_maximum_value(),
                          bar.get_current_value()), (0, size, 0))

    def test_alt_reaches_every_menu_command(self):
        program = self.program
        file_menu = program.menu_bar_item("File")
        open_entry, _, exit_entry = program.menu_items("File")

        # Alt alone moves into the menu bar; Down opens the menu under the highlight.
        self.press("alt", file_menu, "the File menu")
        self.press("Down", open_entry, "File > Open")
        drive.press_keys("Return")
        program.choose_file(program.wait_for_window(OPEN_DIALOG), self.document)
        program.wait_for_row_count("Summary", 2)

        # Process File is a command on the menu bar itself, right of File.
        program.focus_window()
        self.press("alt", file_menu, "the File menu")
        self.press("Right", program.menu_bar_item("Process File"), "Process File")
        drive.press_keys("Return")
        program.wait_for_row_count("Summary", 6)

        self.press("alt", file_menu, "the File menu")
        self.press("Down", open_entry, "File > Open")
        self.press("Down", exit_entry, "File > Exit")
        drive.press_keys("Return")
        self.assertEqual(program.wait_for_exit(), 0)

    def test_enter_on_a_word_opens_its_occurrences_and_a_close_behind_their_box_ends(self):
        program = self.program
        with open(self.document, "wb") as file:
            file.write(b"Book 01 Psalms\r\n001:001 Sing unto the LORD a new song\r\n"
                       b"001:002 sing, all the earth\r\n")
        quorvexwindow.load(program, self.document, drive.DEFAULT_TIMEOUT)
        program.choose_menu("Process File")
        program.wait_for_row_count("Summary", 6)
        program.select_tab("Unique Words")
        unique = program.shown_list("Unique Words")
        drive.click_at(*drive.screen_centre(unique.get_accessible_at(0, 0)))
        drive.wait_until(lambda: drive.is_focused(unique), "the list Unique Words to have the focus")
        # Typing a word's beginning makes its row the current one.
        drive.press_keys("s", "Return")
        title = "Occurrences of sing"
        window = program.wait_for_window(title, Atspi.Role.FRAME)
        concordance = drive.find(window, {Atspi.Role.TABLE, Atspi.Role.TREE}, "Concordance")
        drive.wait_until(lambda: concordance.get_n_rows() == 2, "two rows in the concordance")
        self.assertEqual(
            [[concordance.get_accessible_at(row, column).get_name() for column in range(5)]
             for row in range(2)],
            [["Book 01 Psalms  ", "001:001", " ", "Sing", " unto the LORD a new song"],
             ["Book 01 Psalms  ", "001:002", " ", "sing", ", all the earth"]])
        self.assertEqual([concordance.get_column_header(column).get_name()
                          for column in range(5)],
                         ["Heading", "Reference", "Left", "Word", "Right"])
        drive.wait_until(lambda: drive.has_state(window, Atspi.StateType.ACTIVE),
                         f'"{title}" to be the active window')
        drive.press_keys("Escape")
        program.wait_for_window_gone(title, Atspi.Role.FRAME)
        # With the window open again, nine words are refused. Were the close made
        # behind the box lost, the click on OK after it would leave the window up.
        drive.press_keys("Return")
        program.wait_for_window(title, Atspi.Role.FRAME)
        program.focus_window()
        drive.press_keys("ctrl+a", "Menu", "Down", "Return")
        box = program.wait_for_window("Cannot Show Occurrences", Atspi.Role.ALERT)
        ok = drive.screen_centre(drive.find(box, Atspi.Role.PUSH_BUTTON, "OK"))
        program.request_close()
        drive.click_at(*ok)
        drive.wait_until(lambda: program.process.poll() is not None or left_up(program),
                         "the program to end or its window to be left up")
        self.assertEqual(program.process.poll(), 0, "the close request was lost")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__.strip())
    AccessibilityTest.program_path = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
