"""Drives a running Qt program the way an assistive tool would: through AT-SPI.

The program is found on the accessibility bus by its process id; its menus,
tabs, dialogs and buttons are worked through their accessible actions, text
fields through their editable text, and lists are read cell by cell through
their table interface. Only a list header, which Qt exposes without an
action, is clicked with the mouse, at the place the header reports.

Every wait polls a condition in short steps and gives up after a timeout, so
a slow machine only makes a run slower, and a broken program fails it with a
message that says what was awaited.
"""

import ctypes
import re
import subprocess
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

DEFAULT_TIMEOUT = 15.0
POLL_STEP = 0.05

# Roles whose children are rows or items: searching for a control never looks
# inside them, since a list can hold thousands of cells.
_ITEM_CONTAINERS = {
    Atspi.Role.LIST,
    Atspi.Role.TABLE,
    Atspi.Role.TREE,
    Atspi.Role.TREE_TABLE,
}


class DriveError(AssertionError):
    """The program did not show what the driver was asked to find or await."""


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT):
    """Returns the first true value of condition(), polling until timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DriveError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL_STEP)


class EventLog:
    """Records the events of one kind, such as "object:state-changed:showing":
    a control that shows only for a moment is seen through the events it
    leaves."""

    def __init__(self, event_type):
        self._events = []
        self._type = event_type
        self._listener = Atspi.EventListener.new(self._record)
        self._listener.register(event_type)

    def _record(self, event):
        self._events.append((event.source.path, event.detail1))

    def details(self, accessible, count, timeout=DEFAULT_TIMEOUT):
        """The first detail of every event from accessible, once count of
        them have arrived or the timeout has passed, whichever is first."""
        context = GLib.MainContext.default()
        deadline = time.monotonic() + timeout
        while True:
            while context.iteration(False):
                pass
            found = [detail for path, detail in self._events if path == accessible.path]
            if len(found) >= count or time.monotonic() > deadline:
                return found
            time.sleep(POLL_STEP)

    def close(self):
        self._listener.deregister(self._type)


def _a11y_connection():
    """A connection of our own to the accessibility bus, for fire-and-forget calls."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                              None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, -1, None)
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(reply.unpack()[0], flags, None, None)


def has_state(accessible, state):
    return accessible.get_state_set().contains(state)


def is_enabled(accessible):
    return has_state(accessible, Atspi.StateType.ENABLED)


def is_showing(accessible):
    return has_state(accessible, Atspi.StateType.SHOWING)


def is_focused(accessible):
    return has_state(accessible, Atspi.StateType.FOCUSED)


def _posix_regex_literal(text):
    """text as a POSIX extended regular expression that matches only itself."""
    return re.sub(r"([].^$*+?()[{}|\\])", r"\\\1", text)


def click_at(x, y):
    """Clicks the left mouse button at a place on the screen."""
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


def press_keys(*keys):
    """Types keys, as xdotool names them ("alt", "Down", "shift+Tab"), into
    the window that has the keyboard focus, one after another."""
    subprocess.run(["xdotool", "key", *keys], check=True)


def children(accessible):
    found = []
    for index in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(index)
        if child is not None:
            found.append(child)
    return found


def action_names(accessible):
    if "Action" not in accessible.get_interfaces():
        return []
    # libatspi marks this getter deprecated in favour of one that the Python
    # binding cannot reach, as the accessible's own get_name shadows it.
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        return [accessible.get_action_name(i) for i in range(accessible.get_n_actions())]


def find(root, roles, name=None):
    """The first control below root, breadth first, with one of the roles
    (a role or a set of them) and, if given, that name."""
    roles = roles if isinstance(roles, set) else {roles}
    queue = [root]
    while queue:
        accessible = queue.pop(0)
        if accessible.get_role() in roles and (name is None or accessible.get_name() == name):
            return accessible
        if accessible is root or accessible.get_role() not in _ITEM_CONTAINERS:
            queue.extend(children(accessible))
    return None


def label(root, text):
    found = find(root, Atspi.Role.LABEL, text)
    if found is None:
        raise DriveError(f'no label "{text}"')
    return found


def labelled_by(root, label_text):
    """The control that a label below root names, as a user reads the form."""
    for relation in label(root, label_text).get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABEL_FOR:
            return relation.get_target(0)
    raise DriveError(f'the label "{label_text}" names no control')


def next_after(root, label_text, role):
    """The first control of that role after a label, in reading order: for
    controls whose label is only placed beside them."""
    caption = label(root, label_text)
    siblings = children(caption.get_parent())
    for sibling in siblings[caption.get_index_in_parent() + 1:]:
        if sibling.get_role() == role:
            return sibling
    raise DriveError(f'nothing of role {role.value_nick} after "{label_text}"')


def combo_box_items(root, label_text):
    """The entries of the drop-down list beside a label."""
    combo = next_after(root, label_text, Atspi.Role.COMBO_BOX)
    entries = find(combo, Atspi.Role.LIST)
    if entries is None:
        raise DriveError(f'"{label_text}" has no list of entries')
    return [item.get_name() for item in children(entries)]


def screen_centre(accessible):
    extents = accessible.get_extents(Atspi.CoordType.SCREEN)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("client_message", _ClientMessage), ("pad", ctypes.c_long * 24)]


_CLIENT_MESSAGE = 33


def send_delete_window(window_id):
    """Sends a window the request to close that a window manager sends when
    its close button is pressed (WM_DELETE_WINDOW), and waits until the X
    server has passed it on, so that input sent after it arrives after it."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_XEvent)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise DriveError("cannot open the X display")
    try:
        event = _XEvent()
        message = event.client_message
        message.type = _CLIENT_MESSAGE
        message.window = window_id
        message.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        message.format = 32
        message.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.client_message = message
        if not x11.XSendEvent(display, window_id, 0, 0, ctypes.byref(event)):
            raise DriveError("the X server would not pass the close request on")
        x11.XSync(display, 0)
    finally:
        x11.XCloseDisplay(display)


class Program:
    """One run of a program, from its start to its end, seen through AT-SPI."""

    def __init__(self, command, window_name, env=None, timeout=DEFAULT_TIMEOUT):
        desktop = Atspi.get_desktop(0)
        # Lists change under the driver; it always asks the program afresh.
        desktop.set_cache_mask(Atspi.Cache.NONE)
        self._desktop = desktop
        self._bus = _a11y_connection()
        self.process = subprocess.Popen(command, env=env)
        try:
            self.application = wait_until(self._own_application,
                                          f"{command[0]} on the accessibility bus", timeout)
            self.window = self.wait_for_window(window_name, Atspi.Role.FRAME, timeout)
        except BaseException:
            self.kill()
            raise

    def _own_application(self):
        for application in children(self._desktop):
            try:
                if application.get_process_id() == self.process.pid:
                    return application
            except GLib.Error:
                continue  # an application that left while being looked at
        if self.process.poll() is not None:
            raise DriveError(f"the program ended at start with status {self.process.returncode}")
        return None

    def top_level(self, name, role):
        for window in children(self.application):
            try:
                if window.get_role() == role and window.get_name() == name:
                    return window
            except GLib.Error:
                continue  # a window that closed while being looked at
        return None

    def wait_for_window(self, name, role=Atspi.Role.DIALOG, timeout=DEFAULT_TIMEOUT):
        return wait_until(lambda: self.top_level(name, role), f'the window "{name}"', timeout)

    def wait_for_window_gone(self, name, role=Atspi.Role.DIALOG, timeout=DEFAULT_TIMEOUT):
        wait_until(lambda: self.top_level(name, role) is None, f'"{name}" to close', timeout)

    def x_window(self, name, timeout=DEFAULT_TIMEOUT):
        """The X window id of the program's window with this title."""
        title = f"^{_posix_regex_literal(name)}$"
        # --all: xdotool otherwise takes a window that meets any one condition.
        found = subprocess.run(["xdotool", "search", "--all", "--sync", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", title],
                               check=True, timeout=timeout, capture_output=True, text=True)
        return int(found.stdout.split()[0])

    def focus_window(self, timeout=DEFAULT_TIMEOUT):
        """Gives the main window the keyboard focus, as a window manager does
        when a window opens or is clicked; a bare X server gives it to none."""
        name = self.window.get_name()
        subprocess.run(["xdotool", "windowfocus", "--sync", str(self.x_window(name, timeout))],
                       check=True, timeout=timeout)
        wait_until(lambda: has_state(self.window, Atspi.StateType.ACTIVE),
                   f'"{name}" to be the active window', timeout)

    def request_close(self):
        """Asks the main window to close, as its close button would."""
        send_delete_window(self.x_window(self.window.get_name()))

    def activate(self, accessible, action):
        """Asks the control to perform an action, without waiting for it to finish.

        Qt answers an action only once it has run, and an action that opens
        a modal dialog runs until the dialog closes; so the request is sent
        with no reply expected, and callers wait for what the action shows.
        """
        names = action_names(accessible)
        if action not in names:
            raise DriveError(f'"{accessible.get_name()}" offers no action "{action}" '
                             f"(it offers {names})")
        message = Gio.DBusMessage.new_method_call(accessible.app.bus_name, accessible.path,
                                                  "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (names.index(action),)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self._bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self._bus.flush_sync(None)

    # Menus

    def menu_bar(self):
        return find(self.window, Atspi.Role.MENU_BAR)

    def menu_bar_items(self):
        return children(self.menu_bar())

    def menu_bar_item(self, name):
        for item in self.menu_bar_items():
            if item.get_name() == name:
                return item
        raise DriveError(f'no menu "{name}" on the menu bar')

    def menu_items(self, menu_name):
        """The entries of a drop-down menu, separators included, shown or not."""
        popup = find(self.menu_bar_item(menu_name), Atspi.Role.POPUP_MENU)
        if popup is None:
            raise DriveError(f'"{menu_name}" has no drop-down menu')
        return children(popup)

    def choose_menu(self, *path):
        """Opens the menus along path and activates its last entry, as
        choose_menu("File", "Open") or choose_menu("Process File")."""
        item = self.menu_bar_item(path[0])
        for name in path[1:]:
            self.activate(item, "ShowMenu")
            popup = find(item, Atspi.Role.POPUP_MENU)
            wait_until(lambda: is_showing(popup), f'the "{item.get_name()}" menu to open')
            item = find(popup, Atspi.Role.MENU_ITEM, name)
            if item is None:
                raise DriveError(f'no entry "{name}" in the menu')
        if not is_enabled(item):
            raise DriveError(f'the menu entry "{path[-1]}" is disabled')
        self.activate(item, "Press")

    # The file dialog

    def open_dialog(self, title, menu_path=("File", "Open")):
        """Chooses the menu entry that opens a dialog, and returns the dialog."""
        self.choose_menu(*menu_path)
        return self.wait_for_window(title)

    def choose_file(self, dialog, path, field_label="File name:", button="Open"):
        """Fills in a file dialog's name field and presses its accept button;
        returns once the dialog has closed."""
        field = labelled_by(dialog, field_label)
        if "EditableText" not in field.get_interfaces():
            raise DriveError(f'"{dialog.get_name()}" has no editable file name field')
        field.set_text_contents(path)
        wait_until(lambda: field.get_text(0, -1) == path, "the file name to be entered")
        self.close_dialog(dialog, button)

    def close_dialog(self, dialog, button="Cancel"):
        """Presses one of a dialog's buttons; returns once the dialog has closed."""
        title = dialog.get_name()
        found = find(dialog, Atspi.Role.PUSH_BUTTON, button)
        if found is None:
            raise DriveError(f'"{title}" has no "{button}" button')
        wait_until(lambda: is_enabled(found), f'"{button}" to be enabled')
        self.activate(found, "Press")
        self.wait_for_window_gone(title)

    def open_file(self, dialog_title, path):
        self.choose_file(self.open_dialog(dialog_title), path)

    # Tabs

    def tab_list(self):
        return find(self.window, Atspi.Role.PAGE_TAB_LIST)

    def tab_names(self):
        return [tab.get_name() for tab in children(self.tab_list())
                if tab.get_role() == Atspi.Role.PAGE_TAB]

    def select_tab(self, name):
        tab = find(self.tab_list(), Atspi.Role.PAGE_TAB, name)
        if tab is None:
            raise DriveError(f'no tab "{name}"')
        self.activate(tab, "Press")
        # Qt marks no tab as selected; its tab bar bears the current tab's caption.
        wait_until(lambda: self.tab_list().get_name() == name, f'the tab "{name}" to be shown')

    # Lists

    def report_list(self, name):
        found = find(self.window, {Atspi.Role.TREE, Atspi.Role.TABLE}, name)
        if found is None or "Table" not in found.get_interfaces():
            raise DriveError(f'no list "{name}" with a table interface')
        return found

    def shown_list(self, name):
        """A list on the tab being shown: Qt lays out, and so counts, the
        rows of a list only once it is on the screen."""
        table = self.report_list(name)
        if not is_showing(table):
            raise DriveError(f'the list "{name}" is not on the screen; select its tab first')
        return table

    def header_cells(self, name):
        """The column headers of a list. The table interface finds a header
        only through a cell below it, so an empty list's headers are read
        from its first children, where Qt places them, after the corner
        button of a table's row header if it counts one."""
        table = self.report_list(name)
        columns = table.get_n_columns()
        first = [table.get_child_at_index(index) for index in range(columns + 1)]
        cells = [cell for cell in first
                 if cell is not None and cell.get_role() == Atspi.Role.TABLE_COLUMN_HEADER]
        if len(cells) != columns:
            raise DriveError(f'the list "{name}" does not expose its column headers')
        return cells

    def headers(self, name):
        return [cell.get_name() for cell in self.header_cells(name)]

    def rows(self, name):
        """Every cell of every row of a list, as texts, top row first."""
        table = self.shown_list(name)
        columns = table.get_n_columns()
        return [[table.get_accessible_at(row, column).get_name() for column in range(columns)]
                for row in range(table.get_n_rows())]

    def wait_for_row_count(self, name, count, timeout=DEFAULT_TIMEOUT):
        table = self.shown_list(name)
        wait_until(lambda: table.get_n_rows() == count, f'{count} rows in "{name}"', timeout)

    def click_header(self, name, caption):
        """Clicks a column header with the mouse; the list's tab must be shown."""
        header = next((cell for cell in self.header_cells(name) if cell.get_name() == caption),
                      None)
        if header is None:
            raise DriveError(f'no column "{caption}" in "{name}"')
        if not is_showing(header):
            raise DriveError(f'the header "{caption}" of "{name}" is not on the screen')
        click_at(*screen_centre(header))

    # The end

    def wait_for_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DriveError(
                f"the program still runs {timeout:.0f} s after it was told to end") from None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
