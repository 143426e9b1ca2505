#!/usr/bin/python3
"""A message box holds the whole program: while the settings dialog's
"恢复默认状态" asks "确定要恢复到默认状态吗？", a real click on the dialog's
"取  消" does nothing (the dialog stays, the box stays); once the box is
answered No the dialog takes clicks again and the file is as it was."""

import time

import harness
import settings

TITLE = settings.TITLE
BOX = "提示"


def control_centre(h, name):
    """The screen point at the centre of a dialog control, from the form's
    window rectangle and the control's place in its client area (the frame
    is as wide on the left as at the bottom)."""
    forms = [w for w in h.windows() if w.title == TITLE and w.visible]
    h.require(forms, "the settings dialog has a window", forms)
    listed = h.wintool("form-controls", TITLE)
    h.require(listed.ok and listed.lines, "wintool lists the dialog's controls", listed)
    client_w, client_h = (int(v) for v in listed.lines[0].split("client=")[1].split(","))
    left, top, right, bottom = forms[0].rect
    border = (right - left - client_w) // 2
    x, y, w, hgt = settings.controls(h)[name].rect
    return left + border + x + w // 2, bottom - border - client_h + y + hgt // 2


def shown(h, title):
    return [w for w in h.windows() if w.title == title and w.visible]


def scenario(h):
    d = harness.Desktop(h)
    app = h.program(ring=settings.RING, dock=settings.DOCK, settings=settings.SETTINGS)
    harness.open_form_from_tray(h, d, "s", TITLE)
    before = app.config.read_bytes()  # as the start completed it
    # Out of the way of the box, which comes up in the middle of the screen.
    for xid in d.x_windows(TITLE):
        d.xdo("windowmove", "--sync", xid, 20, 20, check=False)
    time.sleep(0.5)
    cancel = control_centre(h, "BitBtnCancel")

    h.wintool("form-click", TITLE, "BitBtnDefault")
    asked = h.wintool("dialog-text", BOX, 10000)
    h.require(asked.ok, "the default button asks first", asked)
    boxes = shown(h, BOX)
    h.check(boxes and not (boxes[0].rect[0] <= cancel[0] < boxes[0].rect[2]
                           and boxes[0].rect[1] <= cancel[1] < boxes[0].rect[3]),
            "the box does not cover the dialog's cancel button", (boxes, cancel))
    d.click(cancel)
    time.sleep(1.0)
    h.screenshot("01-clicked-under-box")
    h.check(shown(h, TITLE), "a click on the dialog's cancel button while the box is up does nothing")
    h.check(h.wintool("dialog-text", BOX, 1000).ok, "the box is still up")

    h.require(h.wintool("dialog-press", BOX, 7).ok, "No answers the box")
    h.check(h.poll(lambda: not shown(h, BOX), 5), "the box goes")
    h.check(shown(h, TITLE), "after No the dialog is still open")
    d.click(cancel)
    h.check(h.wintool("wait-gone", "QuorvelForm", TITLE, 10000).ok, "the same click now closes the dialog")
    h.screenshot("02-after-cancel")
    h.check(app.config.read_bytes() == before, "the file is as it was")
    h.close_app(app)


if __name__ == "__main__":
    harness.run_scenario("modal_box", scenario)
