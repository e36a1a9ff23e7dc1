#!/usr/bin/python3
"""Pictures of Quorvex's window on each tab, after a document has been
loaded and processed: docs/screenshots is made by scripts/screenshots with this.

Usage: take_screenshots.py PROGRAM DOCUMENT FOLDER, inside a desktop such as
run-under-xvfb provides; writes summary.png, substitutions.png and
unique-words.png into FOLDER.
"""

import os
import subprocess
import sys

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import TABS, WINDOW

# A large document takes a while to read and process on a slow machine.
RUN_TIMEOUT = 120.0


def x_window_id(program):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                            str(program.process.pid), "--name", f"^{WINDOW}$"],
                           capture_output=True, text=True, check=False)
    ids = found.stdout.split()
    if not ids:
        raise drive.DriveError(f'no X window "{WINDOW}"')
    return ids[0]


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
        quorvexwindow.leave(program)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip())
    main(*sys.argv[1:])
