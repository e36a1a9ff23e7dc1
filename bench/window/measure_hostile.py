#!/usr/bin/python3
"""Takes one document through the real window the way a user would, and
prints how long each step took and the program's peak memory so far:
start, open (through the file dialog), process, show each tab, sort Unique
Words by clicking each of its column headers at least twice, and leave
through File > Exit, which must end the program with status 0. For each sort
it also prints the resident memory just before the click and the peak during
the sort. With --copy-all-refused it chooses Copy All from the context menu
of Unique Words before leaving, and times it until the message refusing a
copy that large shows.

What the window shows is checked on the way: the summary, all 256
substitution rows, and the first ROWS rows of Unique Words in their first
order and after every sort, cell by cell against the model of the scan
(testsupport/quorvexdrive/scanmodel.py), with cells longer than 4,096 characters read as their first
4,096 characters followed by an ellipsis. With --no-model (for documents
of millions of distinct words, too many for the model) the driver checks
only the form of the cells and that each sort left the rows it read in
order.

The driver gives up, and says on which step, when the program ends or stops
answering for longer than a step may take.

Usage: measure_hostile.py [--no-model] [--copy-all-refused] [--rows ROWS]
PROGRAM DOCUMENT, inside a desktop such as testsupport/run-under-xvfb provides.
"""

import argparse
import contextlib
import os
import re
import signal
import subprocess
import sys
import threading
import time

from quorvexdrive import drive, quorvexwindow
from quorvexdrive.drive import Atspi, GLib
from quorvexdrive.quorvexwindow import SummaryColumn, SummaryRow, order_text, substitution_row
from quorvexdrive.quorvexwindow import UniqueWordColumn as Column
from quorvexdrive.scanmodel import Model

# A step that keeps the window from answering for longer than this is a freeze.
STEP_TIMEOUT = 60.0
# Opening and processing show their progress and stay responsive throughout.
RUN_TIMEOUT = 900.0
# How long one call to the window may wait for its answer: a call made while
# the window is busy returns the moment it is free again, or fails as a freeze.
CALL_TIMEOUT_MS = int(STEP_TIMEOUT * 1000)
# Rows whose order is watched after a click on a header.
WATCHED_ROWS = 20
UNIQUE = "Unique Words"
COPY_REFUSED = "Cannot Copy"
SHOWING = "object:state-changed:showing"
# Every header clicked at least twice, the first click of all sorting
# ascending and each further click flipping the direction, so that every
# column is sorted both ways. Clicks on "Word" come between clicks that leave
# the rows in the order they were filled, as sorting by First Occurs does both
# ways where all first occurrences are equal, so that every click changes
# the order.
CLICKS = [Column.WORD, Column.WORD, Column.COUNT, Column.COUNT, Column.FIRST_OCCURS, Column.WORD,
          Column.WORD, Column.FIRST_OCCURS, Column.WORD, Column.ORIGINAL_ORDER,
          Column.ORIGINAL_ORDER]
TIME_TO_COMPLETE = re.compile(r"^[0-9]*\.[0-9]{1,8} seconds$")
NUMBER = re.compile(r"^[0-9]{1,3}(,[0-9]{3})*$")

# Watching the program


class Failure(Exception):
    """The program misbehaved: it ended, froze or showed a wrong text."""


class Memory:
    """The program's peak resident memory (VmHWM), read every tenth of a
    second, so that the last reading before it ends is known."""

    def __init__(self, pid):
        self._path = f"/proc/{pid}/status"
        self.peak_kib = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self._thread.start()

    def read(self):
        with contextlib.suppress(OSError):
            with open(self._path, encoding="ascii") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        self.peak_kib = max(self.peak_kib, int(line.split()[1]))
        return self.peak_kib

    def _watch(self):
        while not self._stop.wait(0.1):
            self.read()

    def stop(self):
        self._stop.set()
        self._thread.join()

    def __str__(self):
        return f"{self.read() / 1024:,.0f} MiB"

    def status_kib(self, field):
        with open(self._path, encoding="ascii") as status:
            for line in status:
                if line.startswith(field):
                    return int(line.split()[1])
        raise Failure(f"{self._path} has no {field}")

    def restart_peak(self):
        """Sets the kernel's peak to the memory in use now, which it returns,
        so that the peak of the next step alone can be read."""
        self.read()
        with open(self._path.replace("/status", "/clear_refs"), "w", encoding="ascii") as refs:
            refs.write("5")
        return self.status_kib("VmRSS:")

    def peak_since_restart(self):
        return self.status_kib("VmHWM:")


class Steps:
    """Times each step and reports it with the peak memory so far."""

    def __init__(self, program):
        self.program = program
        self.memory = Memory(program.process.pid)

    @contextlib.contextmanager
    def step(self, name, what="", ends=False):
        """A step; one that ends the program checks its exit status itself."""
        start = time.monotonic()
        try:
            yield
        except drive.DriveError as error:
            self.check_alive(name)
            raise Failure(f"{name}: {error}") from None
        except GLib.Error as error:
            self.check_alive(name)
            raise Failure(f"{name}: the window did not answer: {error.message}") from None
        if not ends:
            self.check_alive(name)
        seconds = time.monotonic() - start
        note = f" ({what})" if what else ""
        print(f"{name}: {seconds:.3f} s{note}; peak memory so far {self.memory}", flush=True)

    def check_alive(self, name):
        status = self.program.process.poll()
        if status is not None:
            raise Failure(f"{name}: the program ended with {exit_text(status)}")


class PopupMenus:
    """The menus that pop up from here on. Qt does not count a popup among
    its application's windows, so it is found through the event of its
    showing."""

    def __init__(self):
        self._menus = []
        self._listener = Atspi.EventListener.new(self._record)
        self._listener.register(SHOWING)

    def _record(self, event):
        if event.detail1 and event.source.get_role() == Atspi.Role.POPUP_MENU:
            self._menus.append(event.source)

    def entry(self, name):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        for menu in self._menus:
            found = drive.find(menu, Atspi.Role.MENU_ITEM, name)
            if found is not None:
                return found
        return None

    def close(self):
        self._listener.deregister(SHOWING)


def exit_text(status):
    if status < 0:
        return f"signal {signal.Signals(-status).name}"
    return f"status {status}"


def answered(condition):
    """condition(), or None when asking failed, as it can while the rows
    asked about are being replaced."""

    def asked():
        try:
            return condition()
        except GLib.Error:
            return None

    return asked


def cell(table, row, column):
    return table.get_accessible_at(row, column).get_name()


def read_rows(table, count):
    return [[cell(table, row, column) for column in Column] for row in range(count)]


def expect(seen, wanted, what):
    if seen != wanted:
        raise Failure(f"{what}: expected {describe(wanted)}, read {describe(seen)}")


def describe(value):
    text = repr(value)
    return text if len(text) <= 300 else f"{text[:300]}... ({len(text)} characters)"


# The form of cells where no model says what they hold
CELL_FORMS = {
    Column.WORD: re.compile("^[a-z]+(\u2026)?$"),
    Column.COUNT: re.compile("^ *[0-9][0-9,]*$"),
    Column.ORIGINAL_ORDER: re.compile("^ *[0-9]+$"),
}


def check_form(rows):
    for number, row in enumerate(rows, start=1):
        for column, form in CELL_FORMS.items():
            if not form.match(row[column]):
                raise Failure(f"row {number}: the cell {row[column]!r} is not a well-formed "
                              f"{quorvexwindow.HEADERS[UNIQUE][column]}")
        if len(row[Column.COUNT]) != 12 or len(row[Column.ORIGINAL_ORDER]) != 8:
            raise Failure(f"row {number}: {row!r} has a Count or Original Order of the wrong width")
        for text in row:
            if len(text) > quorvexwindow.SHOWN_CHARACTERS and not (
                    len(text) == quorvexwindow.SHOWN_CHARACTERS + 1 and text.endswith("\u2026")):
                raise Failure(f"row {number}: a cell of {len(text)} characters is not cut")


def in_order(rows, column, descending):
    """Whether rows read are in the order of a sort: by the key's text, equal
    keys by Original Order ascending. A key cut for display proves nothing."""
    for above, below in zip(rows, rows[1:]):
        a, b = above[column], below[column]
        if len(a) > quorvexwindow.SHOWN_CHARACTERS or len(b) > quorvexwindow.SHOWN_CHARACTERS:
            continue
        if a == b:
            if int(above[Column.ORIGINAL_ORDER]) > int(below[Column.ORIGINAL_ORDER]):
                return False
        elif (a > b) != descending:
            return False
    return True


def longest_cells(rows):
    """Per column, the length of the longest cell read, and whether it is cut."""
    notes = []
    for column, caption in enumerate(quorvexwindow.HEADERS[UNIQUE]):
        longest = max((row[column] for row in rows), key=len, default="")
        cut = ", cut with an ellipsis" if longest.endswith("\u2026") else ""
        notes.append(f"{caption} {len(longest):,}{cut}")
    return "longest cells read: " + "; ".join(notes)


class Run:

    def __init__(self, program, document, model, rows_read):
        self.program = program
        self.document = document
        self.model = model
        self.rows_read = rows_read
        self.steps = Steps(program)
        self.unique_count = None
        self.descending = False
        self.last_order = None

    def open_document(self):
        program = self.program
        size = os.path.getsize(self.document)
        dialog = program.open_dialog(quorvexwindow.OPEN_DIALOG)
        with self.steps.step("open", f'from "Open" pressed to "{size:,} bytes" shown'):
            program.choose_file(dialog, self.document)
            summary = program.shown_list("Summary")
            wanted = [["File Loaded", self.document], ["File Size", f"{size:,} bytes"]]
            drive.wait_until(answered(lambda: summary.get_n_rows() == 2 and read_summary(
                summary) == wanted), "the document's summary rows", RUN_TIMEOUT)

    def process(self):
        program = self.program
        summary = program.shown_list("Summary")
        file_menu = program.menu_bar_item("File")
        # Asking the window how far it is costs it time: ask rarely.
        drive.POLL_STEP = 0.5
        with self.steps.step("process", 'from "Process File" to the lists filled and the '
                             "menus enabled again"):
            program.choose_menu("Process File")
            drive.wait_until(
                answered(lambda: summary.get_n_rows() == 6 and drive.is_enabled(file_menu)),
                "the run to end", RUN_TIMEOUT)
        drive.POLL_STEP = 0.05
        rows = read_summary(summary)
        item, value = rows[SummaryRow.TIME_TO_COMPLETE]
        counts = rows[SummaryRow.TOTAL_WORD_COUNT:SummaryRow.TIME_TO_COMPLETE]
        print(f"  {item}: {value}; " + "; ".join(f"{name}: {count}" for name, count in counts))
        if self.model is not None:
            expect(rows[:SummaryRow.TIME_TO_COMPLETE],
                   self.model.summary(self.document, os.path.getsize(self.document)), "the summary")
        if item != "Time To Complete" or not TIME_TO_COMPLETE.match(value):
            raise Failure(f"the summary ends with {rows[SummaryRow.TIME_TO_COMPLETE]!r}")
        unique_count = rows[SummaryRow.UNIQUE_WORD_COUNT][SummaryColumn.VALUE]
        if not NUMBER.match(unique_count):
            raise Failure(f"the Unique Word Count reads {unique_count!r}")
        self.unique_count = int(unique_count.replace(",", ""))

    def show_tab(self, name, row_count):
        program = self.program
        answer = f"until the list answers with its {rows_text(row_count)}"
        with self.steps.step(f"show {name}", answer):
            program.select_tab(name)
            table = program.shown_list(name)
            drive.wait_until(answered(lambda: table.get_n_rows() == row_count),
                             f'{row_count:,} rows in "{name}"', STEP_TIMEOUT)
        return table

    def show_every_tab(self):
        self.show_tab("Substitutions", 256)
        with self.steps.step("read Substitutions", "256 rows"):
            rows = self.program.rows("Substitutions")
        if self.model is not None:
            expect(rows, [substitution_row(byte, count)
                          for byte, count in enumerate(self.model.byte_counts)],
                   "the Substitutions rows")
        self.show_tab("Summary", 6)
        table = self.show_tab(UNIQUE, self.unique_count)
        count = min(self.rows_read, self.unique_count)
        with self.steps.step(f"read {UNIQUE}", f"the first {rows_text(count)}"):
            rows = read_rows(table, count)
        print(f"  {longest_cells(rows)}")
        self.check_rows(rows, self.model.rows if self.model else None, "in their first order")
        self.last_order = [row[Column.ORIGINAL_ORDER] for row in rows[:WATCHED_ROWS]]

    def check_rows(self, rows, wanted_rows, when):
        if wanted_rows is None:
            check_form(rows)
            return
        for number, (row, wanted) in enumerate(zip(rows, wanted_rows), start=1):
            expect(row, wanted.shown(), f"row {number} of {UNIQUE} {when}")

    def sort_by(self, column):
        program = self.program
        table = program.shown_list(UNIQUE)
        caption = quorvexwindow.HEADERS[UNIQUE][column]
        watched = min(WATCHED_ROWS, self.unique_count)
        direction = "descending" if self.descending else "ascending"
        wanted_rows = None
        if self.model is not None:
            wanted_rows = self.model.sorted_rows(column, self.descending)
            wanted_order = [order_text(row.order) for row in wanted_rows[:watched]]

        def sorted_now():
            if self.model is not None:
                order = [cell(table, row, Column.ORIGINAL_ORDER) for row in range(watched)]
                return order == wanted_order
            rows = [[cell(table, row, key) if key in (column, Column.ORIGINAL_ORDER) else ""
                     for key in Column] for row in range(watched)]
            order = [row[Column.ORIGINAL_ORDER] for row in rows]
            return (order != self.last_order or watched < 2) and in_order(
                rows, column, self.descending)

        memory = self.steps.memory
        before = memory.restart_peak()
        with self.steps.step(f'sort by "{caption}", {direction}',
                             f"until the top {rows_text(watched)} read in the new order"):
            # xdotool waits in vain for a move to where the pointer already is.
            subprocess.run(["xdotool", "mousemove_relative", "--sync", "0", "40"], check=True)
            program.click_header(UNIQUE, caption)
            drive.wait_until(answered(sorted_now), f"the rows sorted by {caption}", STEP_TIMEOUT)
        peak = memory.peak_since_restart()
        print(f"  memory: {before / 1024:,.0f} MiB before the click, at most {peak / 1024:,.0f} "
              f"MiB during the sort ({peak / before:.2f} times)", flush=True)
        rows = read_rows(table, min(self.rows_read, self.unique_count))
        self.check_rows(rows, wanted_rows, f"sorted by {caption}, {direction}")
        if self.model is None and not in_order(rows, column, self.descending):
            raise Failure(f"the rows read are not in {direction} order of {caption}")
        self.last_order = [row[Column.ORIGINAL_ORDER] for row in rows[:WATCHED_ROWS]]
        self.descending = not self.descending

    def copy_all_refused(self):
        """Copy All from the context menu of Unique Words, timed until the
        message that refuses it shows; the message is then dismissed."""
        program = self.program
        table = program.shown_list(UNIQUE)
        x, y = drive.screen_centre(table.get_accessible_at(0, 0))
        menus = PopupMenus()
        try:
            subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "3"],
                           check=True)
            copy_all = drive.wait_until(answered(lambda: menus.entry("Copy All")),
                                        'the context menu with "Copy All"', STEP_TIMEOUT)
        finally:
            menus.close()
        with self.steps.step("Copy All", 'from "Copy All" chosen to the "Cannot Copy" message '
                             "shown"):
            program.activate(copy_all, "Press")
            message = drive.wait_until(answered(lambda: self.message_box(COPY_REFUSED)),
                                       f'the message "{COPY_REFUSED}"', STEP_TIMEOUT)
        program.close_dialog(message, "OK")

    def message_box(self, title):
        for role in (Atspi.Role.ALERT, Atspi.Role.DIALOG):
            window = self.program.top_level(title, role)
            if window is not None:
                return window
        return None

    def leave(self):
        program = self.program
        with self.steps.step("exit", "from File > Exit to the process ended", ends=True):
            program.choose_menu("File", "Exit")
            try:
                program.process.wait(STEP_TIMEOUT)
            except subprocess.TimeoutExpired:
                raise Failure(f"exit: the program still runs {STEP_TIMEOUT:.0f} s after File > "
                              "Exit") from None
        self.steps.memory.stop()
        status = program.process.returncode
        peak = self.steps.memory.peak_kib / 1024
        print(f"exit status: {exit_text(status)}; peak memory {peak:,.0f} MiB (VmHWM)", flush=True)
        if status != 0:
            raise Failure(f"the program ended with {exit_text(status)}")


def rows_text(count):
    return f"{count:,} row" + ("" if count == 1 else "s")


def read_summary(table):
    return [[cell(table, row, column) for column in SummaryColumn]
            for row in range(table.get_n_rows())]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--no-model", action="store_true",
                        help="check only the form of the cells and the order after each sort")
    parser.add_argument("--copy-all-refused", action="store_true",
                        help="also time Copy All of Unique Words until it is refused")
    parser.add_argument("--rows", type=int, default=1000,
                        help="rows of Unique Words read and checked (default 1000)")
    parser.add_argument("program")
    parser.add_argument("document")
    options = parser.parse_args()
    document = os.path.realpath(options.document)
    model = None
    if not options.no_model:
        start = time.monotonic()
        with open(document, "rb") as file:
            model = Model(file.read())
        print(f"model: {len(model.rows):,} distinct words in {time.monotonic() - start:.1f} s",
              flush=True)

    Atspi.set_timeout(CALL_TIMEOUT_MS, CALL_TIMEOUT_MS)
    # English separators in every number the program formats.
    environment = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8")
    started = time.monotonic()
    program = quorvexwindow.start(os.path.abspath(options.program), env=environment)
    try:
        print(f"start: {time.monotonic() - started:.3f} s (to the window on the "
              "accessibility bus)", flush=True)
        run = Run(program, document, model, options.rows)
        run.open_document()
        run.process()
        run.show_every_tab()
        for column in CLICKS:
            run.sort_by(column)
        if options.copy_all_refused:
            run.copy_all_refused()
        run.leave()
    except Failure as failure:
        sys.exit(f"FAILED: {failure}")
    finally:
        program.kill()


if __name__ == "__main__":
    main()
