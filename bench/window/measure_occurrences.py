#!/usr/bin/python3
"""Opens the Occurrences window of a document's most frequent word in the
real window several times and prints, for each round, how long the window
took to show all its rows from Enter pressed on the word, how long sorting
its concordance by Left and then by Right took, and the peak memory the
round added to what the program held before it, beside the budget of 16
bytes per occurrence plus 32 MiB; then the medians.

A sort counts as done when the concordance's first row has changed: the
list takes its new order in one step, and the accessibility bus is answered
only between steps. Peak memory is the kernel's high-water mark of the
program's resident memory, reset before each round (/proc/PID/clear_refs).

Usage: measure_occurrences.py PROGRAM DOCUMENT ROUNDS, inside a desktop such
as testsupport/run-under-xvfb provides, which puts the driver on PYTHONPATH.
"""

import statistics
import sys
import time

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import UniqueWordColumn

RUN_TIMEOUT = 300.0
MIB = 1024 * 1024


def memory_kib(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise drive.DriveError(f"no {field} for process {pid}")


def reset_peak(pid):
    with open(f"/proc/{pid}/clear_refs", "w") as refs:
        refs.write("5")


def first_row(table):
    """The texts of the first row, or None while the list is between orders."""
    cells = [table.get_accessible_at(0, column) for column in range(5)]
    return None if None in cells else [cell.get_name() for cell in cells]


def visible_centre(header, table):
    """The middle of the part of a header the list shows: the Right column
    reaches past the list's edge."""
    cell = header.get_extents(drive.Atspi.CoordType.SCREEN)
    shown = table.get_extents(drive.Atspi.CoordType.SCREEN)
    left = max(cell.x, shown.x)
    right = min(cell.x + cell.width, shown.x + shown.width)
    return (left + right) // 2, cell.y + cell.height // 2


def timed_sort(table, caption):
    """Seconds from a click on the concordance's header to its new first row."""
    header = next(table.get_column_header(column) for column in range(5)
                  if table.get_column_header(column).get_name() == caption)
    before = first_row(table)
    start = time.monotonic()
    drive.click_at(*visible_centre(header, table))
    drive.wait_until(lambda: first_row(table) not in (None, before), f"the sort by {caption}",
                     RUN_TIMEOUT)
    return time.monotonic() - start


def main(program_path, document, rounds):
    with quorvexwindow.running(program_path) as program:
        pid = program.process.pid
        quorvexwindow.load(program, document, RUN_TIMEOUT)
        program.choose_menu("Process File")
        program.wait_for_row_count("Summary", 6, RUN_TIMEOUT)
        program.select_tab("Unique Words")
        # Two clicks on Count: the most frequent word first.
        for _ in range(2):
            program.click_header("Unique Words", "Count")
            time.sleep(1.0)
        unique = program.shown_list("Unique Words")
        word = unique.get_accessible_at(0, UniqueWordColumn.WORD).get_name()
        count = int(unique.get_accessible_at(0, UniqueWordColumn.COUNT).get_name()
                    .replace(",", ""))
        title = f"Occurrences of {word}"
        print(f"word {word!r}: {count:,} occurrences", flush=True)
        results = []
        for round_number in range(int(rounds)):
            program.focus_window()
            drive.click_at(*drive.screen_centre(unique.get_accessible_at(0, 0)))
            drive.wait_until(lambda: drive.is_focused(unique), "the focus in Unique Words")
            time.sleep(1.0)
            reset_peak(pid)
            before_kib = memory_kib(pid, "VmRSS")
            # Asking the window how far it is costs it time: ask rarely.
            drive.POLL_STEP = 0.01
            start = time.monotonic()
            drive.press_keys("Return")
            window = program.wait_for_window(title, drive.Atspi.Role.FRAME, RUN_TIMEOUT)
            concordance = drive.find(window, {drive.Atspi.Role.TABLE}, "Concordance")
            drive.wait_until(lambda: concordance.get_n_rows() == count, "every row",
                             RUN_TIMEOUT)
            shown = time.monotonic() - start
            shown_peak_mib = (memory_kib(pid, "VmHWM") - before_kib) / 1024
            left = timed_sort(concordance, "Left")
            right = timed_sort(concordance, "Right")
            drive.POLL_STEP = 0.05
            peak_mib = (memory_kib(pid, "VmHWM") - before_kib) / 1024
            budget_mib = (16 * count + 32 * MIB) / MIB
            results.append((shown, left, right, shown_peak_mib, peak_mib))
            print(f"round {round_number + 1}: shown {shown:.3f} s, sort by Left {left:.3f} s, "
                  f"by Right {right:.3f} s; peak above before: {shown_peak_mib:.1f} MiB when "
                  f"shown, {peak_mib:.1f} MiB with the sorts (budget {budget_mib:.1f} MiB)",
                  flush=True)
            drive.wait_until(lambda: drive.has_state(window, drive.Atspi.StateType.ACTIVE),
                             f'"{title}" to be the active window')
            drive.press_keys("Escape")
            program.wait_for_window_gone(title, drive.Atspi.Role.FRAME)
        medians = [statistics.median(column) for column in zip(*results)]
        print(f"median: shown {medians[0]:.3f} s, sort by Left {medians[1]:.3f} s, "
              f"by Right {medians[2]:.3f} s; peak {medians[3]:.1f} MiB when shown, "
              f"{medians[4]:.1f} MiB with the sorts")
        quorvexwindow.leave(program)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip())
    main(*sys.argv[1:])
