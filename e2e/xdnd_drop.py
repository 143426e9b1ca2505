#!/usr/bin/python3
"""Drops files on a window of an X display the way a file manager does:
through the XDND protocol, offering the files as text/uri-list.

Wine takes such a drop for any of its windows and hands it to the window under
the drop point that accepts dropped files (WM_DROPFILES), so this is how the
end-to-end scenarios drop files on the program.

As a module:
    result = drop(":5", ["/tmp/a.exe"], point=(640, 400))
    result = drop(":5", ["/tmp/a.exe"], window=0x1400003, point=(640, 400))
As a program (prints the result as one JSON line; exit code 0 when the target
accepted the drop and reported it finished, 1 when not, 2 for a usage error or
when nothing at the point takes drops):
    xdnd_drop.py --display :5 --point 640 400 /tmp/a.exe /tmp/b
    xdnd_drop.py --display :5 --window 0x1400003 --point 640 400 /tmp/a.exe

The sequence: find the target (the topmost viewable window at the point,
honouring shaped windows, and in it the window that carries XdndAware), make
a private window the owner of XdndSelection, send XdndEnter, XdndPosition,
wait for XdndStatus, send XdndDrop (or XdndLeave when the target refused) and
wait for XdndFinished, answering every SelectionRequest for the data on the
way: Wine reads the data as soon as the drag enters.
"""

import argparse
import json
import os
import select
import sys
import time
from urllib.parse import quote

from Xlib import X, Xatom, display
from Xlib.error import XError
from Xlib.protocol import event

XDND_VERSION = 5
URI_LIST = "text/uri-list"


class DropResult:
    def __init__(self):
        self.target = None          # X window the messages went to
        self.toplevel = None        # the root child it lies in
        self.version = None         # XDND version the target announced
        self.accepted = False       # XdndStatus said it accepts
        self.action = None          # action name of XdndStatus
        self.status_count = 0
        self.data_requests = []     # targets (type names) the target asked the data in
        self.dropped = False        # XdndDrop was sent
        self.finished = False       # XdndFinished came back
        self.success = None         # its success bit (version 5)
        self.uri_list = ""
        self.error = None
        self.ms = 0.0

    @property
    def ok(self):
        return self.accepted and self.dropped and self.finished and self.success is not False

    def as_dict(self):
        return {"target": self.target, "toplevel": self.toplevel, "version": self.version,
                "accepted": self.accepted, "action": self.action, "status_count": self.status_count,
                "data_requests": self.data_requests, "dropped": self.dropped, "finished": self.finished,
                "success": self.success, "uri_list": self.uri_list, "error": self.error, "ms": round(self.ms, 1),
                "ok": self.ok}

    def __repr__(self):
        return json.dumps(self.as_dict(), ensure_ascii=False)


def file_uri(path):
    """file:///… with every byte but the unreserved ones and "/" percent-encoded (UTF-8)."""
    absolute = os.path.abspath(path)
    return "file://" + quote(absolute.encode("utf-8"), safe="/")


def uri_list(paths):
    return "".join(file_uri(p) + "\r\n" for p in paths)


class _Drag:
    def __init__(self, name):
        self.d = display.Display(name)
        self.root = self.d.screen().root
        self.atoms = {}
        self.has_shape = self.d.has_extension("SHAPE")

    def atom(self, name):
        if name not in self.atoms:
            self.atoms[name] = self.d.intern_atom(name)
        return self.atoms[name]

    def atom_name(self, value):
        try:
            return self.d.get_atom_name(value)
        except XError:
            return str(value)

    # -- finding the target --

    def aware_version(self, window):
        try:
            prop = window.get_full_property(self.atom("XdndAware"), Xatom.ATOM)
        except XError:
            return None
        if prop is None or not prop.value:
            return None
        return int(prop.value[0])

    def contains(self, window, x, y):
        """Whether (x, y), relative to the window's parent, lies in the
        viewable window and in its shape."""
        try:
            attributes = window.get_attributes()
            if attributes.map_state != X.IsViewable or attributes.win_class == X.InputOnly:
                return None
            geometry = window.get_geometry()
        except XError:
            return None
        inside_x, inside_y = x - geometry.x, y - geometry.y
        border = geometry.border_width
        if not (-border <= inside_x < geometry.width + border and -border <= inside_y < geometry.height + border):
            return None
        if self.has_shape:
            try:
                extents = window.shape_query_extents()
                if extents.bounding_shaped:
                    from Xlib.ext import shape
                    rectangles = window.shape_get_rectangles(shape.SK.Bounding).rectangles
                    if not any(r.x <= inside_x < r.x + r.width and r.y <= inside_y < r.y + r.height
                               for r in rectangles):
                        return None
            except XError:
                return None
        return inside_x, inside_y

    def find_aware(self, window, x, y):
        """The window carrying XdndAware at (x, y) (relative to the window)
        in the window or its children, topmost first."""
        version = self.aware_version(window)
        if version is not None:
            return window, version
        try:
            children = window.query_tree().children
        except XError:
            return None, None
        for child in reversed(children):
            inside = self.contains(child, x, y)
            if inside is None:
                continue
            found, version = self.find_aware(child, *inside)
            if found is not None:
                return found, version
            return None, None  # the topmost child at the point hides what lies below it
        return None, None

    def target_at(self, x, y):
        """(root child, aware window, version) at the screen point."""
        for child in reversed(self.root.query_tree().children):
            inside = self.contains(child, x, y)
            if inside is None:
                continue
            aware, version = self.find_aware(child, *inside)
            return child, aware, version
        return None, None, None

    # -- the protocol --

    def send(self, target, kind, data):
        data = list(data) + [0] * (5 - len(data))
        message = event.ClientMessage(window=target, client_type=self.atom(kind), data=(32, data))
        target.send_event(message, event_mask=X.NoEventMask)
        self.d.flush()

    def answer_request(self, request, payload, result):
        target_name = self.atom_name(request.target)
        result.data_requests.append(target_name)
        prop = request.property if request.property != X.NONE else request.target
        try:
            if target_name == URI_LIST or target_name in ("text/plain", "text/plain;charset=utf-8", "UTF8_STRING"):
                request.requestor.change_property(prop, request.target, 8, payload)
            elif target_name == "TARGETS":
                request.requestor.change_property(prop, Xatom.ATOM, 32,
                                                  [self.atom("TARGETS"), self.atom(URI_LIST)])
            else:
                prop = X.NONE
        except XError:
            prop = X.NONE
        notify = event.SelectionNotify(time=request.time, requestor=request.requestor, selection=request.selection,
                                       target=request.target, property=prop)
        request.requestor.send_event(notify, event_mask=X.NoEventMask)
        self.d.flush()

    def wait_for(self, kinds, timeout, payload, result):
        """Handles events until a ClientMessage of one of the kinds arrives;
        returns it, or None after the timeout."""
        wanted = {self.atom(k): k for k in kinds}
        deadline = time.monotonic() + timeout
        while True:
            while self.d.pending_events():
                ev = self.d.next_event()
                if ev.type == X.SelectionRequest:
                    self.answer_request(ev, payload, result)
                elif ev.type == X.ClientMessage and ev.client_type in wanted:
                    return wanted[ev.client_type], ev
            left = deadline - time.monotonic()
            if left <= 0:
                return None, None
            select.select([self.d.fileno()], [], [], min(left, 0.05))
            # Reading the socket happens in pending_events().


def drop(display_name, paths, window=None, point=None, timeout=5.0, position_tries=3):
    """Drops the files; window is an X window id (or None to take the window
    at the point), point the screen position the drag reports (default: the
    middle of the window)."""
    result = DropResult()
    began = time.monotonic()
    drag = _Drag(display_name)
    payload = uri_list(paths).encode("ascii")
    result.uri_list = payload.decode("ascii")
    try:
        if window is not None:
            target = drag.d.create_resource_object("window", int(window))
            version = drag.aware_version(target)
            if point is None:
                geometry = target.get_geometry()
                origin = target.translate_coords(drag.root, 0, 0)
                point = (-origin.x + geometry.width // 2, -origin.y + geometry.height // 2)
            result.toplevel = int(window)
        else:
            if point is None:
                raise ValueError("a drop needs a window or a point")
            toplevel, target, version = drag.target_at(*point)
            result.toplevel = toplevel.id if toplevel is not None else None
        if target is None or version is None:
            result.error = "no window taking drops at %s" % (point,)
            return result
        result.target = target.id
        result.version = version
        version = min(version, XDND_VERSION)

        source = drag.root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent, X.InputOutput,
                                         X.CopyFromParent, event_mask=X.PropertyChangeMask)
        source.set_wm_name("xdnd_drop")
        source.change_property(drag.atom("XdndAware"), Xatom.ATOM, 32, [XDND_VERSION])
        source.change_property(drag.atom("XdndTypeList"), Xatom.ATOM, 32, [drag.atom(URI_LIST)])
        source.set_selection_owner(drag.atom("XdndSelection"), X.CurrentTime)
        drag.d.flush()

        drag.send(target, "XdndEnter", [source.id, version << 24, drag.atom(URI_LIST)])
        position = (int(point[0]) << 16) | (int(point[1]) & 0xFFFF)
        status = None
        for _ in range(position_tries):
            drag.send(target, "XdndPosition", [source.id, 0, position, X.CurrentTime, drag.atom("XdndActionCopy")])
            kind, status = drag.wait_for(["XdndStatus"], timeout / position_tries, payload, result)
            if status is not None:
                result.status_count += 1
                break
        if status is None:
            result.error = "no XdndStatus from the target"
            drag.send(target, "XdndLeave", [source.id])
            return result
        flags = status.data[1][1]
        result.accepted = bool(flags & 1)
        action = status.data[1][4]
        result.action = drag.atom_name(action) if action else None
        if not result.accepted:
            result.error = "the target refused the drop"
            drag.send(target, "XdndLeave", [source.id])
            # Give the target the chance to read pending data requests.
            drag.wait_for([], 0.2, payload, result)
            return result

        drag.send(target, "XdndDrop", [source.id, 0, X.CurrentTime])
        result.dropped = True
        kind, finished = drag.wait_for(["XdndFinished"], timeout, payload, result)
        if finished is None:
            result.error = "no XdndFinished from the target"
            return result
        result.finished = True
        if version >= 5:
            result.success = bool(finished.data[1][1] & 1)
        return result
    except XError as error:
        result.error = "X error: %s" % error
        return result
    finally:
        result.ms = (time.monotonic() - began) * 1000
        try:
            drag.d.close()
        except Exception:  # noqa: BLE001 - the connection may already be gone
            pass


def main():
    parser = argparse.ArgumentParser(description="Drops files on an X window through XDND.")
    parser.add_argument("--display", default=os.environ.get("DISPLAY"))
    parser.add_argument("--window", type=lambda v: int(v, 0), help="X window id of the target")
    parser.add_argument("--point", type=int, nargs=2, metavar=("X", "Y"), help="drop point on the screen")
    parser.add_argument("--timeout", type=float, default=5.0)
    parser.add_argument("paths", nargs="+")
    options = parser.parse_args()
    if options.window is None and options.point is None:
        parser.error("give --window or --point")
    result = drop(options.display, options.paths, window=options.window,
                  point=tuple(options.point) if options.point else None, timeout=options.timeout)
    print(json.dumps(result.as_dict(), ensure_ascii=False), flush=True)
    if result.target is None:
        return 2
    return 0 if result.ok else 1


if __name__ == "__main__":
    sys.exit(main())
