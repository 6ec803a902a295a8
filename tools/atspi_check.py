"""Reads the running program's accessibility tree through AT-SPI, as a screen reader does, and
checks that the controls, list items, pages and menu items are there with their captions."""

import sys
import time

import pyatspi

TITLE = 'Hanlexo - vocab'

# (role, name): each must be found somewhere in the program's tree.
EXPECTED = [
    ('frame', 'Hanlexo - vocab 1.3'),
    ('push button', 'Quitter'),
    ('push button', 'Tout sélectionner'),
    ('push button', 'Tout désélectionner'),
    ('list', 'Sélection des cours'),
    ('list item', '01 Salutations.txt'),
    ('page tab', 'Apprentissage'),
    ('page tab', 'Test'),
    ('label', 'vitesse chinois :'),
    ('scroll bar', 'vitesse chinois :'),
    ('scroll bar', 'vitesse pinyin :'),
    ('scroll bar', 'vitesse français :'),
    ('check box', 'Aléatoire'),
    ('push button', 'Suivant'),
    ('radio button', 'chinois'),
    ('radio button', 'français'),
    ('push button', 'Lancer le test'),
    ('menu item', 'Fichier'),
    ('menu item', 'Tout sélectionner'),
    ('menu item', 'Champs chinois'),
    ('menu item', '50'),
    ('menu item', 'A propos de...'),
]
# Roles a learner acts on: each must carry a name.
NAMED_ROLES = {'push button', 'check box', 'radio button', 'scroll bar', 'list', 'list item',
               'page tab', 'menu item'}


def find_application(timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            application = desktop.getChildAtIndex(i)
            if application is not None and application.name == TITLE:
                return application
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def main():
    application = find_application(60)
    if application is None:
        print('FAIL: the program is not on the AT-SPI bus')
        return 1
    found = {}
    failures = []
    count = 0
    for node in walk(application):
        count += 1
        role, name = node.getRoleName(), node.name
        found.setdefault((role, name), node)
        if role in NAMED_ROLES and not name:
            failures.append('unnamed %s' % role)
    for key in EXPECTED:
        if key not in found:
            failures.append('missing %s "%s"' % key)
    lesson = found.get(('list item', '01 Salutations.txt'))
    if lesson is not None and not lesson.getState().contains(pyatspi.STATE_CHECKED):
        failures.append('the lesson "01 Salutations.txt" is not reported ticked')
    for failure in failures:
        print('FAIL:', failure)
    print('%d AT-SPI nodes read, %d expected captions checked, %d failures'
          % (count, len(EXPECTED), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
