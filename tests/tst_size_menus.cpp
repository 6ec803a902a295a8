#include "app/tform1.h"
#include "platform/ini_file.h"
#include "settings/settings.h"
#include "toolkit/label.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>

namespace {

/// The three submenus of "Affichage" with their six items each, as designed.
struct Group
{
    const char *submenu;
    const char *caption;
    const char *label;
    const char *key;
    std::array<std::pair<const char *, int>, 6> items;
};

// clang-format off
const Group groups[] = {
    {"Champschinois1", "Champs &chinois", "Caract_ch", settings_keys::champsChinois,
     {{{"N201", 22}, {"N251", 25}, {"N301", 30}, {"N401", 40}, {"N671", 50}, {"N601", 60}}}},
    {"Champschinois2", "Champs &pinyin", "Caract_pin", settings_keys::champsPinyin,
     {{{"N162", 16}, {"N181", 18}, {"N203", 20}, {"N221", 22}, {"N302", 26}, {"N321", 32}}}},
    {"Champschinois3", "Champs &français", "Caract_fr", settings_keys::champsFrancais,
     {{{"N163", 16}, {"N182", 18}, {"N202", 20}, {"N223", 22}, {"N261", 26}, {"N303", 32}}}},
};
// clang-format on

/// The eighteen items: object name, submenu, label, key, size in points.
void sizeItemsTable()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("submenu");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("size");
    for (const Group &group : groups) {
        for (const auto &[item, size] : group.items) {
            QTest::addRow("%s %s (%d)", group.submenu, item, size)
                << QString::fromLatin1(item) << QString::fromLatin1(group.submenu)
                << QString::fromLatin1(group.label) << QByteArray(group.key) << size;
        }
    }
}

/// The item of the current row of sizeItemsTable() and its submenu, in form.
std::pair<QAction *, QMenu *> rowItem(const TForm1 &form)
{
    QFETCH(QString, item);
    QFETCH(QString, submenu);
    return {form.findChild<QAction *>(item), form.findChild<QMenu *>(submenu)};
}

const QByteArray affichageKeys[]
    = {settings_keys::champsChinois, settings_keys::champsPinyin, settings_keys::champsFrancais};

QList<QMenu *> submenus(const TForm1 &form)
{
    return {form.Champschinois1, form.Champschinois2, form.Champschinois3};
}

/// Object names of the ticked items of the three size submenus, in menu order.
QStringList tickedItems(const TForm1 &form)
{
    QStringList names;
    for (const QMenu *submenu : submenus(form))
        for (const QAction *item : submenu->actions())
            if (item->isChecked())
                names.append(item->objectName());
    return names;
}

/// Every font of the test page, as "widget: font".
QStringList testPageFonts(const TForm1 &form)
{
    QStringList fonts;
    for (const QWidget *widget : form.TabSheet2->findChildren<QWidget *>())
        fonts.append(widget->objectName() + QStringLiteral(": ") + widget->font().toString());
    return fonts;
}

std::optional<QByteArray> storedSize(const WindowFixture &fixture, const QByteArray &key)
{
    return platform::ini::valueIn(fixture.settingsContent(), settings_keys::affichage, key);
}

} // namespace

class TestSizeMenus : public QObject
{
    Q_OBJECT
private slots:
    void itemsAreInTheirSubmenuInOrder();
    void clickAppliesTicksAndStores_data() { sizeItemsTable(); }
    void clickAppliesTicksAndStores();
    void clickOnTickedItemWritesAgain_data() { sizeItemsTable(); }
    void clickOnTickedItemWritesAgain();
    void sizeOffTheMenuThenPick();
    void refusedWriteKeepsTheChange_data();
    void refusedWriteKeepsTheChange();
};

void TestSizeMenus::itemsAreInTheirSubmenuInOrder()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start(false);
    QCOMPARE(form.Affichage1->actions().size(), 3);
    for (int g = 0; g < 3; ++g) {
        QMenu *submenu = submenus(form).at(g);
        QCOMPARE(form.Affichage1->actions().at(g), submenu->menuAction());
        QStringList expected = {QString::fromUtf8(groups[g].caption)};
        for (const auto &[item, size] : groups[g].items)
            expected.append(QStringLiteral("%1:%2").arg(QLatin1String(item)).arg(size));
        QStringList seen = {submenu->title()};
        for (const QAction *item : submenu->actions()) {
            QVERIFY(item->isCheckable());
            QVERIFY(item->actionGroup() == nullptr);
            seen.append(item->objectName() + u':' + item->text());
        }
        QCOMPARE(seen, expected);
    }
}

void TestSizeMenus::clickAppliesTicksAndStores()
{
    QFETCH(QString, label);
    QFETCH(QByteArray, key);
    QFETCH(int, size);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    const auto [action, menu] = rowItem(form);
    auto *target = form.findChild<toolkit::TLabel *>(label);
    QVERIFY(action && menu && target);
    QVERIFY(menu->actions().contains(action));

    // Every other item ticked, in every submenu: the click must untick only its own five.
    for (QMenu *each : submenus(form))
        for (QAction *other : each->actions())
            other->setChecked(other != action);
    // A size off every menu, and a text, so that the label has to grow.
    target->setFontSize(11);
    target->setCaption(QStringLiteral("汉字 hàn zì"));
    const QSize before = target->size();
    const QPoint place = target->pos();
    const QString family = target->font().family();
    const QColor colour = target->palette().color(QPalette::WindowText);
    const bool visible = target->isVisible();
    QList<std::pair<toolkit::TLabel *, int>> others;
    for (toolkit::TLabel *each : {form.Caract_ch, form.Caract_pin, form.Caract_fr})
        if (each != target)
            others.append({each, each->fontSize()});
    const auto testFonts = testPageFonts(form);

    action->trigger();

    QVERIFY(fixture.errors.isEmpty());
    QCOMPARE(target->fontSize(), size);
    QCOMPARE(target->font().family(), family);
    QCOMPARE(target->palette().color(QPalette::WindowText), colour);
    QCOMPARE(target->pos(), place);
    QCOMPARE(target->size(), target->sizeHint());
    QVERIFY(target->height() > before.height());
    QCOMPARE(target->caption(), QStringLiteral("汉字 hàn zì"));
    QCOMPARE(target->isVisible(), visible);
    for (const auto &[each, points] : others)
        QCOMPARE(each->fontSize(), points);
    QCOMPARE(testPageFonts(form), testFonts);

    QStringList ticked;
    for (QMenu *each : submenus(form))
        for (QAction *other : each->actions())
            if (each != menu || other == action)
                ticked.append(other->objectName());
    QCOMPARE(tickedItems(form), ticked);

    // Written at once, under its own key only.
    for (const QByteArray &each : affichageKeys) {
        if (each == key)
            QCOMPARE(storedSize(fixture, each), std::optional(QByteArray::number(size)));
        else
            QCOMPARE(storedSize(fixture, each), std::nullopt);
    }
    QCOMPARE(platform::ini::valueIn(fixture.settingsContent(), settings_keys::vitesse,
                                    settings_keys::chinois),
             std::nullopt);
}

void TestSizeMenus::clickOnTickedItemWritesAgain()
{
    QFETCH(QByteArray, key);
    QFETCH(int, size);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    const auto [action, menu] = rowItem(form);
    QVERIFY(action && menu);
    action->trigger();
    QVERIFY(action->isChecked());
    QVERIFY(QFile::remove(fixture.settingsPath()));

    action->trigger();

    QVERIFY(fixture.errors.isEmpty());
    QVERIFY(action->isChecked());
    for (const QAction *other : menu->actions())
        QCOMPARE(other->isChecked(), other == action);
    QCOMPARE(storedSize(fixture, key), std::optional(QByteArray::number(size)));
}

void TestSizeMenus::sizeOffTheMenuThenPick()
{
    WindowFixture fixture;
    fixture.writeSettings("[Affichage]\r\nchamps_chinois=45\r\n");
    TForm1 &form = fixture.start();
    QCOMPARE(form.Caract_ch->fontSize(), 45);
    QCOMPARE(tickedItems(form), (QStringList {"N221", "N202"}));

    form.N401->trigger();

    QCOMPARE(form.Caract_ch->fontSize(), 40);
    QCOMPARE(tickedItems(form), (QStringList {"N401", "N221", "N202"}));
    QCOMPARE(storedSize(fixture, settings_keys::champsChinois), std::optional<QByteArray>("40"));
}

void TestSizeMenus::refusedWriteKeepsTheChange_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("ticked");
    // clang-format off
    QTest::newRow("chinois 60")  << "N601" << "Caract_ch"  << 60 << QStringList {"N601", "N221", "N202"};
    QTest::newRow("pinyin 16")   << "N162" << "Caract_pin" << 16 << QStringList {"N671", "N162", "N202"};
    QTest::newRow("français 32") << "N303" << "Caract_fr"  << 32 << QStringList {"N671", "N221", "N303"};
    // clang-format on
}

void TestSizeMenus::refusedWriteKeepsTheChange()
{
    QFETCH(QString, item);
    QFETCH(QString, label);
    QFETCH(int, size);
    QFETCH(QStringList, ticked);

    WindowFixture fixture;
    TForm1 &form = fixture.start();
    // A directory where the file should be: refused even for root.
    QVERIFY(QDir().mkpath(fixture.exeDir.filePath(QStringLiteral("dadorir_iruze.ini"))));
    auto *action = form.findChild<QAction *>(item);
    auto *target = form.findChild<toolkit::TLabel *>(label);
    QVERIFY(action && target);
    const auto testFonts = testPageFonts(form);

    action->trigger();

    QCOMPARE(
        fixture.errors,
        QStringList {QStringLiteral("Impossible d'écrire dans %1.").arg(fixture.settingsPath())});
    QCOMPARE(target->fontSize(), size);
    QCOMPARE(tickedItems(form), ticked);
    QCOMPARE(testPageFonts(form), testFonts);
}

QTEST_MAIN(TestSizeMenus)
#include "tst_size_menus.moc"
