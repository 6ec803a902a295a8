"""Reads the running program's accessibility tree through AT-SPI, as a screen reader does, and
checks that the controls, list items, pages and menu items are there with their captions; then
answers a question through AT-SPI actions alone and waits for the event that tells a screen reader
the verdict and the solution."""

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


def find(application, role, name_start):
    for node in walk(application):
        if node.getRoleName() == role and node.name.startswith(name_start):
            return node
    return None


def press(node):
    """Runs the node's first action (press, or toggle), as a screen reader's command does."""
    action = node.queryAction()
    if action.nActions < 1:
        return False
    return action.doAction(0)


def answer_and_hear_verdict(application, failures, timeout=10):
    """Starts a test, ticks a choice, and waits for the description change that a screen reader
    speaks on it: the verdict, then the solution."""
    from gi.repository import GLib

    heard = []

    def on_description(event):
        if event.source is not None and event.source.getRoleName() == 'radio button':
            heard.append(event.source.description or str(event.any_data))
            if any('solution : ' in text for text in heard):
                pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_description,
                                           'object:property-change:accessible-description')
    start = find(application, 'push button', 'Lancer le test')
    if start is None or not press(start):
        failures.append('"Lancer le test" cannot be pressed')
        return
    # The choices' group takes its name once the question is drawn.
    deadline = time.monotonic() + timeout
    group = None
    while group is None and time.monotonic() < deadline:
        group = find(application, 'panel', 'Question : ')
        if group is None:
            time.sleep(0.1)
    if group is None:
        failures.append('no group named "Question : <asked word>" around the choices')
        return
    choice = next((node for node in walk(group) if node.getRoleName() == 'radio button'), None)
    if choice is None or not press(choice):
        failures.append('no choice can be ticked')
        return
    GLib.timeout_add(timeout * 1000, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_description,
                                             'object:property-change:accessible-description')
    verdicts = [text for text in heard
                if text.startswith(('bonne réponse ; solution : ',
                                    'mauvaise réponse ; bonne réponse : '))
                and 'solution : ' in text]
    if not verdicts:
        failures.append('no verdict told to the screen reader (heard: %r)' % heard)
    else:
        print('verdict told on the ticked choice: %s' % verdicts[0])


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
    answer_and_hear_verdict(application, failures)
    for failure in failures:
        print('FAIL:', failure)
    print('%d AT-SPI nodes read, %d expected captions checked, %d failures'
          % (count, len(EXPECTED), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
