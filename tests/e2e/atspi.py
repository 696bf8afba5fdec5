"""The program as a screen reader meets it, over AT-SPI (python3-pyatspi).

    atspi.py list                      one line per accessible: ROLE|NAME|DESCRIPTION
    atspi.py do ROLE NAME ACTION       runs an action of the first accessible of that role and name
    atspi.py settext ROLE NAME TEXT    replaces the text of an editable accessible

The program is the application on the bus whose name holds "elvaro"; it is
waited for up to 20 s.
"""
import sys
import time

import pyatspi


def application():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and 'elvaro' in (app.name or ''):
                return app
        time.sleep(0.2)
    sys.exit('the program is not on the accessibility bus')


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(app, role, name):
    for node in walk(app):
        if node.getRoleName() == role and node.name == name:
            return node
    sys.exit('no %s named %r' % (role, name))


def main(args):
    app = application()
    if args[0] == 'list':
        for node in walk(app):
            print('%s|%s|%s' % (node.getRoleName(), node.name, node.description))
    elif args[0] == 'do':
        node = find(app, args[1], args[2])
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if args[3] not in names:
            sys.exit('%s %r offers %s, not %s' % (args[1], args[2], names, args[3]))
        actions.doAction(names.index(args[3]))
    elif args[0] == 'settext':
        find(app, args[1], args[2]).queryEditableText().setTextContents(args[3])


if __name__ == '__main__':
    main(sys.argv[1:])
