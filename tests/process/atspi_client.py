#!/usr/bin/python3
"""A screen-reader client over AT-SPI for the process test: reads the window's tree, sets a
price through EditableText, presses the command button through its Action, waits for the tax
label's change event and reads the tax; then reads and dismisses an error report."""
import sys
import time

import pyatspi
from gi.repository import GLib

APP_NAME = "Sales Tax Calculator"
passed = failed = 0


def check(what, ok):
    global passed, failed
    if ok:
        passed += 1
        print("ok:", what)
    else:
        failed += 1
        print("FAIL:", what)
    return ok


def pump(seconds, until):
    """Runs the main loop, so events arrive, until `until()` is true or time is up."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        value = until()
        if value:
            return value
        time.sleep(0.05)
    return None


def walk(node):
    yield node
    try:
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except GLib.GError:  # gone while it was read
        return
    for child in children:
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    """The first node of the role (and name) under root. A node that goes away while it is
    read (a report closing) is passed over: the tree is read as it is at that moment."""
    for node in walk(root):
        try:
            if node.getRole() == role and (name is None or node.name == name):
                return node
        except GLib.GError:
            continue
    return None


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP_NAME:
            return app
    return None


# A compositor with no keyboard on its seat (weston's headless backend) gives no window the
# focus, so there is none to check.
KEYBOARD = "--no-keyboard" not in sys.argv


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def check_focus(what, node):
    if KEYBOARD:
        check(what, node is not None and pump(3, lambda: focused(node)))
    else:
        print("skipped, no keyboard on the seat:", what)


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def main():
    app = pump(10, application)
    if not check("the calculator is on the accessibility bus", app is not None):
        return
    window = pump(5, lambda: find(app, pyatspi.ROLE_FRAME, "Form1") or find(app, pyatspi.ROLE_WINDOW, "Form1"))
    check("its window is a frame or window named Form1", window is not None)
    if window is None:
        print("roles seen:", [(n.getRoleName(), n.name) for n in walk(app)])
        return

    price = find(window, pyatspi.ROLE_TEXT)
    states = find(window, pyatspi.ROLE_GROUPING, "States") or find(window, pyatspi.ROLE_PANEL, "States")
    button = find(window, pyatspi.ROLE_PUSH_BUTTON, "Calculate Sales Tax")
    tax = find(window, pyatspi.ROLE_LABEL, "0")
    check("the price box is named by its label, Enter Price:", price is not None and price.name == "Enter Price:")
    check("and labelled by 'Enter Price:'", price is not None and labelled_by(price) == ["Enter Price:"])
    check("the five states are in the group States",
          states is not None and sorted(c.name for c in walk(states) if c.getRole() == pyatspi.ROLE_RADIO_BUTTON)
          == ["Delaware", "Maryland", "New York", "Ohio", "Pennsylvania"])
    check("the command button is there", button is not None)
    check("the tax label reads 0 and is labelled by 'Sales Tax is:'",
          tax is not None and labelled_by(tax) == ["Sales Tax is:"])
    if None in (price, button, tax):
        return

    events = []
    listener = lambda event: events.append((event.type, event.source.name if event.source else None))
    pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name",
                                           "object:text-changed", "object:property-change:accessible-value")
    price.queryEditableText().setTextContents("19.99")
    check("the price is set through EditableText", price.queryText().getText(0, -1) == "19.99")
    press(button)
    heard = pump(5, lambda: [e for e in events if e[1] == "1.1994"])
    check("a change event announces the tax 1.1994 (heard: %s)" % (heard or events), bool(heard))
    check("the tax label now reads 1.1994", tax.name == "1.1994")
    check("the price box is emptied", pump(3, lambda: price.queryText().getText(0, -1) == ""))
    check_focus("and has the focus", price)

    # An error: the report is an alert that can be read and dismissed without a mouse.
    press(button)
    alert = pump(5, lambda: find(app, pyatspi.ROLE_ALERT))
    if not check("an empty price brings up an alert", alert is not None):
        return
    texts = [n.name for n in walk(alert) if n.getRole() == pyatspi.ROLE_LABEL] + [alert.description]
    spoken = " | ".join(t for t in texts if t)
    print("the alert says:", alert.name, "|", spoken)
    extents = alert.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    print("the alert's size:", extents.width, extents.height)
    check("it says which error and why", "Run-time error 1" in spoken and "price box is empty" in spoken)
    ok = find(alert, pyatspi.ROLE_PUSH_BUTTON, "OK")
    check("it has an OK button", ok is not None)
    check_focus("which has the focus", ok)
    if ok is not None:
        press(ok)
    check("pressing OK dismisses it", pump(5, lambda: find(app, pyatspi.ROLE_ALERT) is None))
    check_focus("the focus is back in the price box", price)
    check("the tax label still reads 1.1994", tax.name == "1.1994")
    pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-name",
                                             "object:text-changed", "object:property-change:accessible-value")


main()
print("client: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed or not passed else 0)
