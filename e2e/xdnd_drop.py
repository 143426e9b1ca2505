"""Drops files on the X display the way a file manager does: XDND, offering
them as text/uri-list. Wine takes such a drop for any of its windows and
hands it to the window under the point that accepts dropped files
(WM_DROPFILES).

    failure = drop(":5", ["/tmp/a.exe"], point=(640, 400))   # None when dropped

The sequence: the target is the topmost viewable window at the point
(honouring shapes) and in it the window carrying XdndAware; a private window
owns XdndSelection; XdndEnter, XdndPosition, wait for XdndStatus, XdndDrop
(XdndLeave when refused), wait for XdndFinished, answering every
SelectionRequest on the way: Wine reads the data as soon as the drag enters."""

import os
import select
import time
from urllib.parse import quote

from Xlib import X, Xatom, display
from Xlib.error import XError
from Xlib.ext import shape
from Xlib.protocol import event

URI_LIST = "text/uri-list"


class _Drag:
    def __init__(self, name, payload):
        self.d, self.payload = display.Display(name), payload
        self.root = self.d.screen().root

    def atom(self, name):
        return self.d.intern_atom(name)

    def aware(self, window):
        try:
            prop = window.get_full_property(self.atom("XdndAware"), Xatom.ATOM)
        except XError:
            return None
        return int(prop.value[0]) if prop is not None and len(prop.value) else None

    def inside(self, window, x, y):
        """(x, y) relative to the window when the point, relative to its parent,
        lies in the viewable window and its shape; None when not."""
        try:
            attributes = window.get_attributes()
            if attributes.map_state != X.IsViewable or attributes.win_class == X.InputOnly:
                return None
            g = window.get_geometry()
            x, y = x - g.x, y - g.y
            if not (0 <= x < g.width and 0 <= y < g.height):
                return None
            if window.shape_query_extents().bounding_shaped and not any(
                    r.x <= x < r.x + r.width and r.y <= y < r.y + r.height
                    for r in window.shape_get_rectangles(shape.SK.Bounding).rectangles):
                return None
        except XError:
            return None
        return x, y

    def target_at(self, window, x, y):
        """The XdndAware window at (x, y) in the window or its topmost child there."""
        if window != self.root and self.aware(window) is not None:
            return window
        for child in reversed(window.query_tree().children):
            point = self.inside(child, x, y)
            if point is not None:
                return self.target_at(child, *point)
        return None

    def send(self, target, kind, data):
        target.send_event(event.ClientMessage(window=target, client_type=self.atom(kind),
                                              data=(32, list(data) + [0] * (5 - len(data)))), event_mask=X.NoEventMask)
        self.d.flush()

    def answer(self, request):
        name = self.d.get_atom_name(request.target)
        prop = request.property if request.property != X.NONE else request.target
        if name == "TARGETS":
            request.requestor.change_property(prop, Xatom.ATOM, 32, [self.atom("TARGETS"), self.atom(URI_LIST)])
        elif name in (URI_LIST, "text/plain", "UTF8_STRING"):
            request.requestor.change_property(prop, request.target, 8, self.payload)
        else:
            prop = X.NONE
        request.requestor.send_event(event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                           selection=request.selection, target=request.target,
                                                           property=prop), event_mask=X.NoEventMask)
        self.d.flush()

    def wait_for(self, kind, timeout):
        """Handles events until the client message kind arrives; None after the timeout."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            while self.d.pending_events():
                ev = self.d.next_event()
                if ev.type == X.SelectionRequest:
                    self.answer(ev)
                elif ev.type == X.ClientMessage and kind and ev.client_type == self.atom(kind):
                    return ev
            select.select([self.d.fileno()], [], [], 0.05)
        return None


def drop(display_name, paths, point, timeout=5.0):
    """None when the window under the point took the files; else what went wrong."""
    payload = "".join("file://" + quote(os.path.abspath(p).encode("utf-8"), safe="/") + "\r\n" for p in paths)
    drag = _Drag(display_name, payload.encode("ascii"))
    try:
        target = drag.target_at(drag.root, *point)
        if target is None:
            return "no window taking drops at %s" % (point,)
        source = drag.root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent, X.InputOutput, X.CopyFromParent)
        source.change_property(drag.atom("XdndTypeList"), Xatom.ATOM, 32, [drag.atom(URI_LIST)])
        source.set_selection_owner(drag.atom("XdndSelection"), X.CurrentTime)
        drag.send(target, "XdndEnter", [source.id, min(drag.aware(target), 5) << 24, drag.atom(URI_LIST)])
        status = None
        for _ in range(3):
            drag.send(target, "XdndPosition", [source.id, 0, (point[0] << 16) | point[1], X.CurrentTime,
                                               drag.atom("XdndActionCopy")])
            status = drag.wait_for("XdndStatus", timeout / 3)
            if status is not None:
                break
        if status is None or not status.data[1][1] & 1:
            drag.send(target, "XdndLeave", [source.id])
            drag.wait_for(None, 0.2)
            return "%#x refused the drop" % target.id if status else "no XdndStatus from %#x" % target.id
        drag.send(target, "XdndDrop", [source.id, 0, X.CurrentTime])
        finished = drag.wait_for("XdndFinished", timeout)
        if finished is not None and (finished.data[1][1] & 1 or drag.aware(target) < 5):
            return None
        return "no successful XdndFinished from %#x" % target.id
    except XError as error:
        return "X error: %s" % error
    finally:
        drag.d.close()
