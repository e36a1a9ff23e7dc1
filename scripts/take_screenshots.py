#!/usr/bin/python3
"""Pictures of Quorvex's window on each tab, after a document has been
loaded and processed, and of the Occurrences window of one word and of
three: docs/screenshots is made by scripts/screenshots with this.

Usage: take_screenshots.py PROGRAM DOCUMENT FOLDER, inside a desktop such as
run-under-xvfb provides; writes summary.png, substitutions.png,
unique-words.png, occurrences-one.png and occurrences-three.png into FOLDER.
"""

import os
import subprocess
import sys
import time

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import TABS, WINDOW

# A large document takes a while to read and process on a slow machine.
RUN_TIMEOUT = 120.0


# The words of the Occurrences windows pictured: one spread over the whole
# text, and three to compare.
ONE_WORD = ["jerusalem"]
THREE_WORDS = ["egypt", "israel", "jerusalem"]


def x_window_id(program, title=WINDOW):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                            str(program.process.pid), "--name", f"^{title}$"],
                           capture_output=True, text=True, check=False)
    # The search also finds windows of other titles: the title is checked.
    for window_id in found.stdout.split():
        name = subprocess.run(["xdotool", "getwindowname", window_id],
                              capture_output=True, text=True, check=False).stdout
        if name.rstrip("\n") == title:
            return window_id
    raise drive.DriveError(f'no X window "{title}"')


def grab(window_id):
    return subprocess.run(["import", "-window", window_id, "ppm:-"], capture_output=True,
                          check=True).stdout


def save_settled_picture(window_id, path):
    """Saves the window once two grabs in a row agree, so that a tab that has
    just been switched to is saved fully drawn."""
    previous = [grab(window_id)]

    def settled():
        current = grab(window_id)
        same = current == previous[0]
        previous[0] = current
        return same

    drive.wait_until(settled, f"the window to be drawn for {os.path.basename(path)}")
    # Without the time stamps ImageMagick adds, an unchanged picture stays
    # byte for byte the same file.
    subprocess.run(["convert", "ppm:-", "-strip", f"png:{path}"], input=previous[0], check=True)


def current_row(table, word):
    """Types a word's beginning into the list, which makes its row the
    current and only selected one, and gives that row. Typing goes on from
    the last word's letters unless it pauses first."""
    time.sleep(0.5)
    drive.press_keys(*word)
    return drive.wait_until(
        lambda: next((row for row in table.get_selected_rows()
                      if table.get_accessible_at(row, 0).get_name() == word), None),
        f'the row of "{word}"')


def save_occurrences(program, words, path):
    """Opens the Occurrences window of the words from Unique Words' context
    menu and saves it once its rows show."""
    program.select_tab("Unique Words")
    table = program.shown_list("Unique Words")
    drive.click_at(*drive.screen_centre(table.get_accessible_at(0, 0)))
    drive.wait_until(lambda: drive.is_focused(table), "the focus in Unique Words")
    rows = [current_row(table, word) for word in words]
    for row in rows:
        table.add_row_selection(row)
    drive.press_keys("Menu")
    # The menu is not on the accessibility bus: it is given time to open.
    # "Show Occurrences" is its first entry.
    time.sleep(0.5)
    drive.press_keys("Down", "Return")
    title = "Occurrences of " + ", ".join(
        word for _, word in sorted(zip(rows, words)))
    window = program.wait_for_window(title, drive.Atspi.Role.FRAME)
    concordance = drive.find(window, {drive.Atspi.Role.TABLE}, "Concordance")
    drive.wait_until(lambda: concordance.get_n_rows() > 0, f"the rows of {title}")
    save_settled_picture(x_window_id(program, title), path)
    print(f"saved {path}")
    drive.press_keys("Escape")
    program.wait_for_window_gone(title, drive.Atspi.Role.FRAME)


def main(program_path, document, folder):
    with quorvexwindow.running(program_path) as program:
        quorvexwindow.load(program, document, RUN_TIMEOUT)
        program.choose_menu("Process File")
        program.wait_for_row_count("Summary", 6, RUN_TIMEOUT)
        # The pointer away from the window, so that no row shows as hovered.
        subprocess.run(["xdotool", "mousemove", "0", "10000"], check=True)
        window_id = x_window_id(program)
        os.makedirs(folder, exist_ok=True)
        for tab in TABS:
            program.select_tab(tab)
            path = os.path.join(folder, tab.lower().replace(" ", "-") + ".png")
            save_settled_picture(window_id, path)
            print(f"saved {path}")
        save_occurrences(program, ONE_WORD, os.path.join(folder, "occurrences-one.png"))
        program.focus_window()
        save_occurrences(program, THREE_WORDS, os.path.join(folder, "occurrences-three.png"))
        quorvexwindow.leave(program)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip())
    main(*sys.argv[1:])
