#!/usr/bin/python3
"""What assistive tools see of one running program, read over AT-SPI with pyatspi.

  accessibletree.py PID
      One line per object of the program, depth first, with tab-separated fields: its role, its
      name, the name of the object that labels it, "selected" when it is selected, and its extents
      on the screen as "x y width height".
  accessibletree.py PID press ROLE NAME
      Does the first action of the first object with that role and name.

Exit status: 0 done; 1 the program or the object is not (yet) there; 77 pyatspi is not installed.
"""

import sys

try:
    import pyatspi
except (ImportError, ValueError):
    sys.exit(77)

MAX_DEPTH = 64


def clean(text):
    return (text or "").replace("\t", " ").replace("\n", " ")


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
            return relation.getTarget(0).name
    return ""


def describe(node):
    selected = "selected" if node.getState().contains(pyatspi.STATE_SELECTED) else ""
    try:
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        extents = "%d %d %d %d" % (box.x, box.y, box.width, box.height)
    except NotImplementedError:
        extents = ""
    return "\t".join(clean(field) for field in (node.getRoleName(), node.name, labelled_by(node), selected, extents))


def walk(node, depth=0):
    """The objects under `node`, itself first; objects that go away meanwhile are left out."""
    if node is None or depth > MAX_DEPTH:
        return
    try:
        children = list(node)
        yield node
    except Exception:  # gone from the bus while being read
        return
    for child in children:
        yield from walk(child, depth + 1)


def program(pid):
    for application in pyatspi.Registry.getDesktop(0):
        try:
            if application is not None and application.get_process_id() == pid:
                return application
        except Exception:
            continue
    return None


def main(arguments):
    if len(arguments) not in (1, 4) or (len(arguments) == 4 and arguments[1] != "press"):
        print(__doc__, file=sys.stderr)
        return 2
    application = program(int(arguments[0]))
    if application is None:
        return 1
    if len(arguments) == 1:
        for node in walk(application):
            try:
                print(describe(node))
            except Exception:
                continue
        return 0
    role, name = arguments[2], arguments[3]
    for node in walk(application):
        try:
            if node.getRoleName() == role and node.name == name:
                node.queryAction().doAction(0)
                return 0
        except Exception:
            continue
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
