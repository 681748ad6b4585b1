#!/usr/bin/python3
# A screen reader's view of a running program, over AT-SPI: waits until the application
# named argv[1] is on the accessibility bus with a push button named argv[2], prints every
# push button it shows as "role<TAB>name<TAB>actions", then presses argv[2] through its
# press action. Exits 0 when the button was pressed, 1 when it was never found.
import sys
import time

import pyatspi


def nodes(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for child in node:
        yield from nodes(child, depth + 1)


def buttons(application_name):
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == application_name:
            return [n for n in nodes(application) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    return []


def main():
    application_name, wanted = sys.argv[1], sys.argv[2]
    # The program registers with the bus once its window is up; this waits for that, for
    # as long as the test lets it.
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        found = buttons(application_name)
        if any(b.name == wanted for b in found):
            break
        time.sleep(0.1)
    else:
        return 1
    for button in found:
        action = button.queryAction()
        names = ",".join(action.getName(i) for i in range(action.nActions))
        print(f"{button.getRoleName()}\t{button.name}\t{names}", flush=True)
    button = next(b for b in found if b.name == wanted)
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return 0
    return 1


sys.exit(main())
