#!/usr/bin/python3
"""Opens one document in the real window several times and prints how long
each took, from the open-file dialog's Open button clicked to the "File Size"
row shown, beside the "load:" time of `quorvex-bench load` on the same file
taken just before it, then the medians of both.

Between two timed opens the window opens a small document of its own, so
that each timed open replaces the rows (and the bytes) of another one. Both
loads of a run meet the same memory: PAUSE seconds of rest (0 unless given)
before each let a virtual machine hand freed memory back to its host, as
bench/loading/compare-with-dd explains.

Usage: measure_open.py PROGRAM BENCH DOCUMENT RUNS [PAUSE], inside a desktop
such as testsupport/run-under-xvfb provides.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import SummaryColumn, SummaryRow

OPEN_TIMEOUT = 300.0


def size_text(table):
    """The "File Size" row's value, or None while the list does not show it."""
    if table.get_n_rows() <= SummaryRow.FILE_SIZE:
        return None
    cell = table.get_accessible_at(SummaryRow.FILE_SIZE, SummaryColumn.VALUE)
    return cell.get_name() if cell is not None else None


def timed_open(program, document, expected_size):
    """Seconds from the dialog's Open button clicked with the mouse to the
    document's size shown. The accessible "Press" action would hold the
    button down for a tenth of a second first, as no user's click does."""
    summary = program.shown_list("Summary")
    dialog = program.open_dialog(quorvexwindow.OPEN_DIALOG)
    field = drive.labelled_by(dialog, "File name:")
    field.set_text_contents(document)
    drive.wait_until(lambda: field.get_text(0, -1) == document, "the file name to be entered")
    accept = drive.find(dialog, drive.Atspi.Role.PUSH_BUTTON, "Open")
    drive.wait_until(lambda: drive.is_enabled(accept), '"Open" to be enabled')
    x, y = drive.screen_centre(accept)
    # Not --sync: that waits for the pointer to move, and from the second
    # run on it is already there.
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)
    time.sleep(0.2)
    start = time.monotonic()
    # xdotool lingers for a tenth of a second after the click: not waited for.
    click = subprocess.Popen(["xdotool", "click", "1"])
    drive.wait_until(lambda: size_text(summary) == expected_size,
                     f'"{expected_size}" in the File Size row', OPEN_TIMEOUT)
    seconds = time.monotonic() - start
    if click.wait() != 0:
        raise drive.DriveError("xdotool could not click")
    return seconds


def bench_load(bench_path, document):
    """The seconds of one load by quorvex-bench, in a process of its own."""
    output = subprocess.run([bench_path, "load", "--runs", "1", document], check=True,
                            capture_output=True, text=True).stdout
    return float(output.split()[1])


def main(program_path, bench_path, document, runs, pause="0"):
    document = os.path.abspath(document)
    expected = f"{os.path.getsize(document):,} bytes"
    loads = []
    times = []
    with tempfile.TemporaryDirectory() as folder, \
            quorvexwindow.running(program_path) as program:
        small = os.path.join(folder, "small.txt")
        with open(small, "w", encoding="ascii") as out:
            out.write("001:001 small\r\n")
        drive.POLL_STEP = 0.005
        for run in range(int(runs)):
            quorvexwindow.load(program, small, OPEN_TIMEOUT)
            drive.wait_until(lambda: size_text(program.shown_list("Summary")) == "15 bytes",
                             "the small document")
            time.sleep(float(pause))
            loads.append(bench_load(bench_path, document))
            time.sleep(float(pause))
            times.append(timed_open(program, document, expected))
            print(f"run {run + 1}: load: {loads[-1]:.4f} s, window: Open clicked to "
                  f"{expected} shown in {times[-1]:.4f} s", flush=True)
        load = statistics.median(loads)
        window = statistics.median(times)
        print(f"medians: load: {load:.4f} s, window {window:.4f} s, "
              f"{window / load:.2f} times the load")
        quorvexwindow.leave(program)


if __name__ == "__main__":
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__.strip())
    main(*sys.argv[1:])
