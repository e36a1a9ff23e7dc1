#!/usr/bin/python3
"""Processes one document in the real window several times and prints each
run's "Time To Complete", then the median, for comparison with the scan time
that quorvex-bench reports for the same file.

Usage: measure_window.py PROGRAM DOCUMENT RUNS, inside a desktop such as
testsupport/run-under-xvfb provides.
"""

import statistics
import sys

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.quorvexwindow import SummaryColumn, SummaryRow

RUN_TIMEOUT = 300.0


def seconds(text):
    return float(text.split()[0].replace(",", ""))


def main(program_path, document, runs):
    times = []
    with quorvexwindow.running(program_path) as program:
        quorvexwindow.load(program, document, RUN_TIMEOUT)
        for run in range(int(runs)):
            # Asking the window how far it is costs it time: ask rarely.
            drive.POLL_STEP = 1.0
            program.choose_menu("Process File")
            program.wait_for_row_count("Summary", 6, RUN_TIMEOUT)
            time_text = program.rows("Summary")[SummaryRow.TIME_TO_COMPLETE][SummaryColumn.VALUE]
            times.append(seconds(time_text))
            print(f"run {run + 1}: Time To Complete {time_text}", flush=True)
            drive.POLL_STEP = 0.05
            # The next run's rows replace these; wait until they are gone.
            quorvexwindow.load(program, document, RUN_TIMEOUT)
        print(f"window: median Time To Complete {statistics.median(times):.4f} s")
        quorvexwindow.leave(program)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip())
    main(*sys.argv[1:])
