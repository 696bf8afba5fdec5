"""The Restore window over AT-SPI, as a screen reader user drives it (beside atspi.py).

    restore_atspi.py has ROLE NAME        exits 0 when an accessible of that role and name is there
    restore_atspi.py labelled ROLE LABEL  exits 0 when an accessible of that role is labelled by LABEL
    restore_atspi.py select PATH          selects the row PATH in the search results and gives
                                          the Search box the focus: Enter there goes on to the
                                          row, and Enter again ticks it
    restore_atspi.py checked PATH         exits 0 when the row PATH's box is ticked
"""
import sys

import pyatspi

import atspi


def cell(app, name, missing='no row %r in the search results'):
    results = atspi.find(app, 'tree', 'Search Results')
    for node in atspi.walk(results):
        if node.getRoleName() == 'table cell' and node.name == name:
            return results, node
    sys.exit(missing % name if missing else 1)


def main(args):
    app = atspi.application()
    if args[0] == 'has':
        sys.exit(0 if any(n.getRoleName() == args[1] and n.name == args[2] for n in atspi.walk(app)) else 1)
    if args[0] == 'labelled':
        for node in atspi.walk(app):
            if node.getRoleName() != args[1]:
                continue
            for relation in node.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and any(
                        relation.getTarget(i).name == args[2] for i in range(relation.getNTargets())):
                    sys.exit(0)
        sys.exit(1)
    if args[0] == 'result':
        # In the results themselves: the tree holds the same name.
        cell(app, args[1], None)
        sys.exit(0)
    results, node = cell(app, args[1])
    if args[0] == 'select':
        # The cell's own action selects it, as a click on its text does.
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        actions.doAction(names.index('Toggle'))
        if not atspi.find(app, 'text', 'Search').queryComponent().grabFocus():
            sys.exit('the Search box takes no focus')
    elif args[0] == 'checked':
        sys.exit(0 if node.getState().contains(pyatspi.STATE_CHECKED) else 1)


if __name__ == '__main__':
    main(sys.argv[1:])
