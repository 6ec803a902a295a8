#include "app/tform1.h"
#include "core/random.h"
#include "display/about_box.h"
#include "toolkit/classic_timer.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

// What a screen reader finds in the windows: Qt's accessibility tree, walked from each window as
// an assistive tool walks it, must name every control, menu item, list item and label by its
// caption or text and give it the right role; and the tools' own actions must work the program.

namespace {

enum class Scene
{
    Learning, ///< lessons listed (one unticked), sequential order, a card revealed
    Feedback, ///< test page, a wrong answer scored and its verdict showing
    About, ///< the about box open
};

/// The root and every interface below it, depth first.
QList<QAccessibleInterface *> walk(QAccessibleInterface *root)
{
    QList<QAccessibleInterface *> nodes;
    if (!root)
        return nodes;
    nodes.append(root);
    for (int k = 0; k < root->childCount(); ++k)
        nodes.append(walk(root->child(k)));
    return nodes;
}

/// Position of text in the word list, -1 when absent.
qsizetype indexIn(const WordList &list, const QString &text)
{
    for (qsizetype i = 0; i < list.count(); ++i)
        if (list.item(i) == text)
            return i;
    return -1;
}

QString describe(const QAccessibleInterface *node)
{
    const QObject *object = node->object();
    return QStringLiteral("%1 (role 0x%2, name \"%3\")")
        .arg(object ? object->objectName() : QStringLiteral("<item>"))
        .arg(int(node->role()), 0, 16)
        .arg(node->text(QAccessible::Name));
}

/// The window of a scene, built as the learner gets there.
class SceneWindow
{
public:
    explicit SceneWindow(Scene scene)
    {
        fixture.addLesson(QStringLiteral("01 Salutations.txt"),
                          {QStringLiteral("你好\tnǐ hǎo\tbonjour"),
                           QStringLiteral("谢谢\txièxie\tmerci"),
                           QStringLiteral("再见\tzàijiàn\tau revoir"),
                           QStringLiteral("老师\tlǎoshī\tprofesseur")});
        fixture.addLesson(QStringLiteral("02 Nombres.txt"),
                          {QStringLiteral("一\tyī\tun"), QStringLiteral("二\tèr\tdeux"),
                           QStringLiteral("三\tsān\ttrois"), QStringLiteral("十\tshí\tdix")});
        TForm1 &form = fixture.start();
        programRandom().setSeed(20240607);
        switch (scene) {
        case Scene::Learning:
            form.ListView1->item(1)->setCheckState(Qt::Unchecked);
            form.Alea->click();
            QTest::mouseClick(form.Selectionner, Qt::LeftButton);
            form.Timer0Timer();
            form.Timer1Timer();
            form.Timer2Timer();
            break;
        case Scene::Feedback: {
            form.PageControl1->setCurrentIndex(1);
            QTest::mouseClick(form.Button4, Qt::LeftButton);
            QRadioButton *wrong = form.RadioGroup1->choice((form.quiz.correctSlot() + 1) % 6);
            QTest::mouseClick(wrong, Qt::LeftButton, {},
                              QPoint(wrong->height() / 2, wrong->height() / 2));
            break;
        }
        case Scene::About:
            form.Aproposde1->trigger();
            break;
        }
    }

    TForm1 &form() { return fixture.form(); }
    QWidget *window(Scene scene)
    {
        return scene == Scene::About ? static_cast<QWidget *>(&fixture.about()) : &form();
    }

    WindowFixture fixture;
};

/// The object a row names: an object name, with "popup:" for a menu itself (a bare menu name
/// means its item in the parent menu).
QObject *objectOf(QWidget *window, const QString &key)
{
    const bool popup = key.startsWith(QStringLiteral("popup:"));
    const QString name = popup ? key.mid(6) : key;
    if (window->objectName() == name)
        return window;
    QObject *found = window->findChild<QObject *>(name);
    if (auto *menu = qobject_cast<QMenu *>(found); menu && !popup)
        return menu->menuAction();
    return found;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void namesAndRoles_data();
    void namesAndRoles();
    void listItemsAndPageTabs_data();
    void listItemsAndPageTabs();
    void choicesInFeedback();
    void everyControlShowsItsCaption_data();
    void everyControlShowsItsCaption();

    void pressActionStepsToTheNextCard();
    void toggleActionSwitchesToSequentialOrder();
    void valueChangeSetsAndStoresTheDelay();
    void menuItemPressRunsItsCommand_data();
    void menuItemPressRunsItsCommand();
    void toggleActionOnAChoiceAnswersTheQuestion();
};

void TestAccessibility::namesAndRoles_data()
{
    QTest::addColumn<Scene>("scene");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    // Space-separated: checked, unchecked, disabled, enabled, invisible, visible.
    QTest::addColumn<QString>("states");

    struct Row
    {
        const char *key;
        QAccessible::Role role;
        const char *name;
        const char *states;
    };
    auto add = [](Scene scene, const char *prefix, std::initializer_list<Row> rows) {
        for (const Row &row : rows)
            QTest::addRow("%s %s", prefix, row.key)
                << scene << QString::fromLatin1(row.key) << row.role << QString::fromUtf8(row.name)
                << QString::fromLatin1(row.states);
    };
    using A = QAccessible;
    add(Scene::Learning, "learning",
        {
            {"Form1", A::Window, "Hanlexo - vocab 1.3", ""},
            {"Button2", A::PushButton, "Quitter", "visible"},
            {"GroupBox1", A::Grouping, "Sélection des cours", ""},
            {"Button1", A::PushButton, "Tout sélectionner", ""},
            {"Button3", A::PushButton, "Tout désélectionner", ""},
            {"ListView1", A::List, "Sélection des cours", ""},
            {"TabSheet1", A::Client, "Apprentissage", "visible"},
            {"Caract_ch", A::StaticText, "你好", "visible"},
            {"Caract_pin", A::StaticText, "nǐ hǎo", "visible"},
            {"Caract_fr", A::StaticText, "bonjour", "visible"},
            {"Label1", A::StaticText, "vitesse chinois :", ""},
            {"Label2", A::StaticText, "vitesse pinyin :", ""},
            {"Label3", A::StaticText, "vitesse français :", ""},
            {"ScrollBar0", A::ScrollBar, "vitesse chinois :", ""},
            {"ScrollBar1", A::ScrollBar, "vitesse pinyin :", ""},
            {"ScrollBar2", A::ScrollBar, "vitesse français :", ""},
            {"Alea", A::CheckBox, "Aléatoire", "unchecked"},
            {"compteur", A::StaticText, "1/ 4", "visible"},
            {"Selectionner", A::PushButton, "Suivant", "visible"},
            {"precedent", A::PushButton, "Précédent", "visible"},
            {"TabSheet2", A::Client, "Test", "invisible"},
        });
    add(Scene::Learning, "menu",
        {
            {"N1", A::MenuItem, "Fichier", ""},
            {"popup:N1", A::PopupMenu, "Fichier", ""},
            {"outslectionner1", A::MenuItem, "Tout sélectionner", ""},
            {"outdslectionner1", A::MenuItem, "Tout désélectionner", ""},
            {"N3", A::Separator, "", ""},
            {"Excuter1", A::MenuItem, "Apprentissage", ""},
            {"Test1", A::MenuItem, "Test", ""},
            {"N4", A::Separator, "", ""},
            {"Quitter1", A::MenuItem, "Quitter", ""},
            {"Affichage1", A::MenuItem, "Affichage", ""},
            {"popup:Affichage1", A::PopupMenu, "Affichage", ""},
            {"Champschinois1", A::MenuItem, "Champs chinois", ""},
            {"popup:Champschinois1", A::PopupMenu, "Champs chinois", ""},
            {"N201", A::MenuItem, "22", "unchecked"},
            {"N251", A::MenuItem, "25", "unchecked"},
            {"N301", A::MenuItem, "30", "unchecked"},
            {"N401", A::MenuItem, "40", "unchecked"},
            {"N671", A::MenuItem, "50", "checked"},
            {"N601", A::MenuItem, "60", "unchecked"},
            {"Champschinois2", A::MenuItem, "Champs pinyin", ""},
            {"N162", A::MenuItem, "16", "unchecked"},
            {"N221", A::MenuItem, "22", "checked"},
            {"N321", A::MenuItem, "32", "unchecked"},
            {"Champschinois3", A::MenuItem, "Champs français", ""},
            {"N163", A::MenuItem, "16", "unchecked"},
            {"N202", A::MenuItem, "20", "checked"},
            {"N303", A::MenuItem, "32", "unchecked"},
            {"N2", A::MenuItem, "?", ""},
            {"Aproposde1", A::MenuItem, "A propos de...", ""},
        });
    add(Scene::Feedback, "test",
        {
            {"TabSheet2", A::Client, "Test", "visible"},
            {"TabSheet1", A::Client, "Apprentissage", "invisible"},
            {"GroupBox2", A::Grouping, "Question", "invisible"},
            {"LQ1", A::RadioButton, "chinois", "checked"},
            {"LQ2", A::RadioButton, "pinyin", "unchecked"},
            {"LQ3", A::RadioButton, "français", "unchecked"},
            {"GroupBox3", A::Grouping, "Réponse", "invisible"},
            {"LR1", A::RadioButton, "chinois", "unchecked disabled"},
            {"LR2", A::RadioButton, "pinyin", "unchecked enabled"},
            {"LR3", A::RadioButton, "français", "checked"},
            {"Button4", A::PushButton, "Lancer le test", "invisible"},
            {"Reinitialiser", A::PushButton, "Reinitialiser", "visible"},
            {"Group_note", A::Grouping, "Résultat", "visible"},
            {"note", A::StaticText, "0 / 1", "visible"},
            {"mauvaise_rep1", A::StaticText, "mauvaise", "visible"},
            {"mauvaise_rep2", A::StaticText, "réponse", "visible"},
            {"bonne_rep1", A::StaticText, "bonne", "invisible"},
            {"bonne_rep2", A::StaticText, "réponse", "invisible"},
        });
    add(Scene::About, "about",
        {
            {"Form2", A::Dialog, "A propos de Hanlexo - vocab", "visible"},
            {"Image1", A::Graphic, "Hanlexo - vocab", ""},
            {"Label1", A::StaticText, "Hanlexo", ""},
            {"Label5", A::StaticText, "Vocab version 1.3", ""},
            {"Label7", A::StaticText, "www.hanlexo.example.org", ""},
            {"GroupBox1", A::Grouping, "Licence", ""},
            {"GroupBox2", A::Grouping, "Mot de l'auteur", ""},
            {"Label4", A::StaticText, "Un mot chaque jour,", ""},
            {"Label8", A::StaticText, "un caractère de plus :", ""},
            {"Label6", A::StaticText, "la route est longue,", ""},
            {"Label9", A::StaticText, "bon courage !", ""},
            {"Button1", A::PushButton, "OK", "visible enabled"},
        });
}

void TestAccessibility::namesAndRoles()
{
    QFETCH(Scene, scene);
    QFETCH(QString, key);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, states);

    SceneWindow window(scene);
    const QObject *object = objectOf(window.window(scene), key);
    QVERIFY2(object, qPrintable(key));
    const QList<QAccessibleInterface *> nodes
        = walk(QAccessible::queryAccessibleInterface(window.window(scene)));
    const auto found = std::find_if(nodes.cbegin(), nodes.cend(),
                                    [object](auto *node) { return node->object() == object; });
    QVERIFY2(found != nodes.cend(), "not reachable from the window");
    const QAccessibleInterface *node = *found;
    QCOMPARE(node->role(), role);
    QCOMPARE(node->text(QAccessible::Name), name);

    const QAccessible::State state = node->state();
    for (const QString &expected : states.split(u' ', Qt::SkipEmptyParts)) {
        if (expected == QStringLiteral("checked"))
            QVERIFY(state.checkable && state.checked);
        else if (expected == QStringLiteral("unchecked"))
            QVERIFY(state.checkable && !state.checked);
        else if (expected == QStringLiteral("disabled"))
            QVERIFY(state.disabled);
        else if (expected == QStringLiteral("enabled"))
            QVERIFY(!state.disabled);
        else if (expected == QStringLiteral("invisible"))
            QVERIFY(state.invisible);
        else if (expected == QStringLiteral("visible"))
            QVERIFY(!state.invisible);
        else
            QFAIL(qPrintable(QStringLiteral("unknown state ") + expected));
    }
}

void TestAccessibility::listItemsAndPageTabs_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checked");
    QTest::newRow("ticked lesson") << QStringLiteral("ListView1") << QAccessible::ListItem
                                   << QStringLiteral("01 Salutations.txt") << true;
    QTest::newRow("unticked lesson") << QStringLiteral("ListView1") << QAccessible::ListItem
                                     << QStringLiteral("02 Nombres.txt") << false;
    QTest::newRow("page Apprentissage")
        << QStringLiteral("qt_tabwidget_tabbar") << QAccessible::PageTab
        << QStringLiteral("Apprentissage") << false;
    QTest::newRow("page Test") << QStringLiteral("qt_tabwidget_tabbar") << QAccessible::PageTab
                               << QStringLiteral("Test") << false;
}

void TestAccessibility::listItemsAndPageTabs()
{
    QFETCH(QString, parent);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(bool, checked);

    SceneWindow window(Scene::Learning);
    QObject *owner = window.form().findChild<QObject *>(parent);
    QVERIFY(owner);
    const QList<QAccessibleInterface *> nodes
        = walk(QAccessible::queryAccessibleInterface(&window.form()));
    const auto ownerNode = std::find_if(nodes.cbegin(), nodes.cend(),
                                        [owner](auto *node) { return node->object() == owner; });
    QVERIFY2(ownerNode != nodes.cend(), "not reachable from the window");
    QStringList names;
    const QAccessibleInterface *item = nullptr;
    for (const QAccessibleInterface *child : walk(*ownerNode)) {
        if (child->role() != role)
            continue;
        names.append(child->text(QAccessible::Name));
        if (names.constLast() == name)
            item = child;
    }
    QVERIFY2(item, qPrintable(QStringLiteral("found only: ") + names.join(QStringLiteral(", "))));
    if (role == QAccessible::ListItem) {
        QVERIFY(item->state().checkable);
        QCOMPARE(bool(item->state().checked), checked);
    }
}

void TestAccessibility::choicesInFeedback()
{
    SceneWindow window(Scene::Feedback);
    TForm1 &form = window.form();
    const QList<QAccessibleInterface *> nodes = walk(QAccessible::queryAccessibleInterface(&form));
    auto nodeOf = [&nodes](const QObject *object) -> QAccessibleInterface * {
        for (QAccessibleInterface *node : nodes)
            if (node->object() == object)
                return node;
        return nullptr;
    };

    // The asked entry, its solution and the six answers, as drawn from the lessons.
    const qsizetype entry = indexIn(form.Liste_ch, form.question->caption());
    QVERIFY(entry >= 0);
    QAccessibleInterface *question = nodeOf(form.question);
    QVERIFY(question);
    QCOMPARE(question->role(), QAccessible::StaticText);
    QCOMPARE(question->text(QAccessible::Name), form.Liste_ch.item(entry));
    QAccessibleInterface *solution = nodeOf(form.Solution);
    QVERIFY(solution);
    QCOMPARE(solution->text(QAccessible::Name), form.Liste_pin.item(entry));
    QVERIFY(!solution->state().invisible);

    QSet<QString> names;
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        QAccessibleInterface *choice = nodeOf(form.RadioGroup1->choice(k));
        QVERIFY(choice);
        QCOMPARE(choice->role(), QAccessible::RadioButton);
        const QString name = choice->text(QAccessible::Name);
        QVERIFY(indexIn(form.Liste_fr, name) >= 0);
        names.insert(name);
        // The right answer, shown in green, says so; the ticked one tells the verdict, the right
        // answer and the solution, which show only as labels.
        const bool right = k == form.quiz.correctSlot();
        const bool ticked = k == (form.quiz.correctSlot() + 1) % 6;
        if (right)
            QCOMPARE(name, form.Liste_fr.item(entry));
        const QString described = right ? QStringLiteral("bonne réponse")
            : ticked ? QStringLiteral("mauvaise réponse ; bonne réponse : %1 ; solution : %2")
                           .arg(form.Liste_fr.item(entry), form.Liste_pin.item(entry))
                     : QString();
        QCOMPARE(choice->text(QAccessible::Description), described);
        QCOMPARE(bool(choice->state().checked), ticked);
    }
    QCOMPARE(names.size(), toolkit::TRadioGroup::choiceCount);
    // The choices' group is named after the asked word.
    QAccessibleInterface *group = nodeOf(form.RadioGroup1);
    QVERIFY(group);
    QCOMPARE(group->text(QAccessible::Name),
             QStringLiteral("Question : ") + form.Liste_ch.item(entry));
}

void TestAccessibility::everyControlShowsItsCaption_data()
{
    QTest::addColumn<Scene>("scene");
    QTest::newRow("learning page and menus") << Scene::Learning;
    QTest::newRow("test page in feedback") << Scene::Feedback;
    QTest::newRow("about box") << Scene::About;
}

void TestAccessibility::everyControlShowsItsCaption()
{
    QFETCH(Scene, scene);
    SceneWindow window(scene);
    QWidget *root = window.window(scene);

    const QList<QAccessibleInterface *> nodes = walk(QAccessible::queryAccessibleInterface(root));
    QSet<const QObject *> reached;
    int named = 0;
    for (const QAccessibleInterface *node : nodes) {
        const QObject *object = node->object();
        const QString name = node->text(QAccessible::Name);
        const QString where = describe(node);
        if (node->role() == QAccessible::ListItem || node->role() == QAccessible::PageTab) {
            QVERIFY2(!name.isEmpty(), qPrintable(where));
            ++named;
            continue;
        }
        if (!object)
            continue;
        reached.insert(object);
        QString expected;
        QAccessible::Role role = node->role();
        if (qobject_cast<const QToolButton *>(object))
            continue; // the tab bar's own scroll arrows, never shown in this fixed window
        if (const auto *button = qobject_cast<const QAbstractButton *>(object)) {
            expected = toolkit::withoutAccessKeys(button->text());
            role = qobject_cast<const QCheckBox *>(object)   ? QAccessible::CheckBox
                : qobject_cast<const QRadioButton *>(object) ? QAccessible::RadioButton
                                                             : QAccessible::PushButton;
        } else if (const auto *label = qobject_cast<const QLabel *>(object)) {
            if (label->text().isEmpty())
                continue; // an emptied field or a picture: nothing to read
            expected = label->text();
            role = QAccessible::StaticText;
        } else if (const auto *group = qobject_cast<const QGroupBox *>(object)) {
            // The choices have no title: their group is named after the asked word.
            const QString asked = window.form().question->caption();
            expected = group->objectName() != QLatin1String("RadioGroup1") ? group->title()
                : asked.isEmpty()                                          ? QString()
                                  : QStringLiteral("Question : ") + asked;
            role = QAccessible::Grouping;
        } else if (const auto *action = qobject_cast<const QAction *>(object)) {
            expected = toolkit::withoutAccessKeys(action->text());
            role = action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
        } else if (const auto *menu = qobject_cast<const QMenu *>(object)) {
            expected = toolkit::withoutAccessKeys(menu->title());
            role = QAccessible::PopupMenu;
        } else if (qobject_cast<const QScrollBar *>(object)
                   || qobject_cast<const QListWidget *>(object)) {
            QVERIFY2(!name.isEmpty(), qPrintable(where));
            ++named;
            continue;
        } else {
            continue; // frames, pages, the menu bar: containers
        }
        QCOMPARE(node->role(), role);
        QVERIFY2(name == expected,
                 qPrintable(where + QStringLiteral(", expected \"") + expected + u'"'));
        ++named;
    }

    // None of the window's components is left out of the tree (Qt's own inner parts, such as the
    // list's scroll bars, have no names of the program's; the about box is a window of its own).
    QList<QObject *> parts;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (widget->window() != root || widget->objectName().isEmpty()
            || widget->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        const bool button
            = qobject_cast<QAbstractButton *>(widget) && !qobject_cast<QToolButton *>(widget);
        if (button || qobject_cast<QLabel *>(widget) || qobject_cast<QScrollBar *>(widget)
            || qobject_cast<QGroupBox *>(widget) || qobject_cast<QListWidget *>(widget))
            parts.append(widget);
    }
    for (QMenu *menu : root->findChildren<QMenu *>())
        for (QAction *action : menu->actions())
            parts.append(action);
    for (const QObject *part : std::as_const(parts))
        QVERIFY2(reached.contains(part), qPrintable(part->objectName() + " is not reachable"));
    qInfo("%d named nodes checked, %lld controls reached, of %lld accessible nodes", named,
          qlonglong(parts.size()), qlonglong(nodes.size()));
}

// --- the actions assistive tools offer

namespace {

QAccessibleActionInterface *actionsOf(QObject *object)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(object);
    return node ? node->actionInterface() : nullptr;
}

} // namespace

void TestAccessibility::pressActionStepsToTheNextCard()
{
    SceneWindow window(Scene::Learning);
    TForm1 &form = window.form();
    QAccessibleActionInterface *actions = actionsOf(form.Selectionner);
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    // The press is animated: the click comes a moment later.
    QTRY_COMPARE(form.compteur->caption(), QStringLiteral("2/ 4"));
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("谢谢"));
}

void TestAccessibility::toggleActionSwitchesToSequentialOrder()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("lesson.txt"), numberedLines(4));
    TForm1 &form = fixture.start();
    QAccessibleActionInterface *actions = actionsOf(form.Alea);
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!form.Alea->isChecked());
    // As the learner's click: "Précédent" and the counter come with sequential order.
    QVERIFY(form.precedent->isVisible());
    QVERIFY(form.compteur->isVisible());
}

void TestAccessibility::valueChangeSetsAndStoresTheDelay()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(form.ScrollBar1);
    QVERIFY(node && node->valueInterface());
    QCOMPARE(node->valueInterface()->currentValue().toInt(), 5);
    node->valueInterface()->setCurrentValue(6);
    QCOMPARE(form.ScrollBar1->value(), 6);
    QCOMPARE(form.Timer1->interval(), 3000);
    QCOMPARE(fixture.settingsContent(), QByteArray("[Vitesse]\r\npinyin=6\r\n"));
}

void TestAccessibility::menuItemPressRunsItsCommand_data()
{
    QTest::addColumn<QString>("item");
    QTest::newRow("Tout désélectionner") << QStringLiteral("outdslectionner1");
    QTest::newRow("Champs français 26") << QStringLiteral("N261");
    QTest::newRow("A propos de...") << QStringLiteral("Aproposde1");
}

void TestAccessibility::menuItemPressRunsItsCommand()
{
    QFETCH(QString, item);
    SceneWindow window(Scene::Learning);
    TForm1 &form = window.form();
    auto *action = form.findChild<QAction *>(item);
    QVERIFY(action);
    const QList<QAccessibleInterface *> nodes = walk(QAccessible::queryAccessibleInterface(&form));
    const auto node = std::find_if(nodes.cbegin(), nodes.cend(),
                                   [action](auto *each) { return each->object() == action; });
    QVERIFY(node != nodes.cend());
    QVERIFY((*node)->actionInterface());
    (*node)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());

    if (action == form.outdslectionner1) {
        QCOMPARE(form.ListView1->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(form.Liste_ch.count(), 0);
    } else if (action == form.N261) {
        QCOMPARE(form.Caract_fr->fontSize(), 26);
        QVERIFY(form.N261->isChecked());
    } else {
        QVERIFY(window.fixture.about().isVisible());
    }
}

void TestAccessibility::toggleActionOnAChoiceAnswersTheQuestion()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("lesson.txt"), numberedLines(8));
    TForm1 &form = fixture.start();
    programRandom().setSeed(7);
    form.PageControl1->setCurrentIndex(1);
    form.Button4Click();
    QRadioButton *right = form.RadioGroup1->choice(form.quiz.correctSlot());
    QAccessibleActionInterface *actions = actionsOf(right);
    QVERIFY(actions);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(right->isChecked());
    // Scored as the learner's click: verdict, score and the feedback delay.
    QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
    QVERIFY(form.bonne_rep1->isVisible());
    QVERIFY(form.Timer3->enabled());
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
