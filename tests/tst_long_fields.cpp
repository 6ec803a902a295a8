#include "app/tform1.h"
#include "core/random.h"
#include "toolkit/check_list.h"
#include "toolkit/field_text.h"
#include "toolkit/fonts.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include <memory>

// Lesson fields longer than their labels, lesson names longer than the list, an empty list, and
// where the keyboard focus goes when its control hides: what the learner is shown of them.

namespace {

const QChar ellipsis(0x2026);

/// A French meaning of n characters, its words numbered so that any cut shows.
QString longMeaning(int n)
{
    QString text;
    for (int word = 0; text.size() < n; ++word)
        text += QStringLiteral("mot%1 ").arg(word);
    return text.left(n);
}

/// Six entries with pairwise different Chinese texts, every French field long (index in front).
QStringList longLessons(int frenchLength)
{
    QStringList lines;
    for (int k = 0; k < 6; ++k)
        lines.append(QStringLiteral("字%1\tzì%1\t%1 %2").arg(k).arg(longMeaning(frenchLength)));
    return lines;
}

void revealEntry(TForm1 &form)
{
    form.SelectionnerClick();
    form.Timer0Timer();
    form.Timer1Timer();
    form.Timer2Timer();
}

/// The right edge of widget in the coordinates of ancestor.
int rightEdgeIn(const QWidget *widget, const QWidget *ancestor)
{
    return widget->mapTo(ancestor, QPoint(widget->width(), 0)).x();
}

int inkPixels(const QImage &image, const QColor &background)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) != background;
    return count;
}

/// Whether the text drawn on widget stops short of its right edge, rather than being cut there.
bool inkEndsBeforeTheRightEdge(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    const QColor face = widget->palette().color(widget->backgroundRole());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = image.width() - 3; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != face)
                return false;
        }
    }
    return true;
}

} // namespace

class TestLongFields : public QObject
{
    Q_OBJECT
private slots:
    void fieldsAreCutToTheCapBeforeLayout();
    void capNeverSplitsASurrogatePair();
    void longMeaningEndsWithEllipsisAtThePageEdge();
    void shortTextsAreShownAsTheyAre();
    void spokenTextStopsAtOneThousandCharacters();
    void longChoicesEndWithEllipsisInsideTheGroup();
    void cutLessonNamesGetATooltip();
    void lessonNamesOfEveryScriptGetQtsRowHeights();
    void emptyListSaysWhereLessonsAreLookedFor();
    void emBoxRunsAndTheirPlace();
    void focusGoesToTheControlNeededNext();
    void scrollBarShowsItsFocus();
};

void TestLongFields::fieldsAreCutToTheCapBeforeLayout()
{
    // A small cap stands in for the real one, so that the suite never lays out huge fields.
    const toolkit::ScopedFieldTextCap cap(40);
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), longLessons(300));
    TForm1 &form = fixture.start();
    form.Alea->click();
    revealEntry(form);

    // The word lists keep the whole field; the label takes the first 40 units and says more is
    // missing, with its tooltip too.
    QCOMPARE(form.Liste_fr.item(0).size(), 302);
    QCOMPARE(form.Caract_fr->caption(), form.Liste_fr.item(0).left(40));
    QVERIFY(form.Caract_fr->text().endsWith(ellipsis));
    QCOMPARE(form.Caract_fr->toolTip(), form.Liste_fr.item(0).left(40) + ellipsis);
    QCOMPARE(form.Caract_fr->accessibleName(), form.Caract_fr->toolTip());

    // The asked word, the choices and the solution: French asked, pinyin answered.
    form.PageControl1->setCurrentIndex(1);
    form.LQ3->click();
    form.LR2->click();
    programRandom().setSeed(3);
    form.Button4Click();
    QCOMPARE(form.question->caption().size(), 40);
    QVERIFY(form.question->text().endsWith(ellipsis));
    // Pinyin asked, French answered: the French choices are cut too.
    form.ReinitialiserClick();
    form.LQ2->click();
    form.LR3->click();
    form.Button4Click();
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        QCOMPARE(form.RadioGroup1->choiceCaption(k).size(), 40);
        QVERIFY(form.RadioGroup1->choice(k)->text().endsWith(ellipsis));
    }
    // Chinese asked, pinyin answered: the French solution.
    form.ReinitialiserClick();
    form.LQ1->click();
    form.LR2->click();
    form.Button4Click();
    QCOMPARE(form.Solution->caption().size(), 40);
    QVERIFY(form.Solution->text().endsWith(ellipsis));
    QVERIFY(fixture.reports().isEmpty());
}

void TestLongFields::capNeverSplitsASurrogatePair()
{
    const toolkit::ScopedFieldTextCap cap(4);
    // 𠀀 (U+20000) is two units; the cap falls between them.
    const QString field = QStringLiteral("abc\U00020000def");
    const toolkit::FieldText kept = toolkit::capFieldText(field);
    QCOMPARE(kept.text, QStringLiteral("abc"));
    QVERIFY(kept.cut);
    const toolkit::FieldText whole = toolkit::capFieldText(QStringLiteral("abc"));
    QCOMPARE(whole.text, QStringLiteral("abc"));
    QVERIFY(!whole.cut);
    // Cut, even where what is kept fits, the text says that something is missing.
    QVERIFY(toolkit::fittedText(kept, QFont(), 1000).endsWith(ellipsis));
    QCOMPARE(toolkit::fittedText(whole, QFont(), 1000), QStringLiteral("abc"));
}

void TestLongFields::longMeaningEndsWithEllipsisAtThePageEdge()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), longLessons(160));
    TForm1 &form = fixture.start();
    form.Alea->click();
    revealEntry(form);

    const QString whole = form.Liste_fr.item(0);
    QCOMPARE(form.Caract_fr->caption(), whole);
    QVERIFY(form.Caract_fr->isElided());
    QVERIFY(form.Caract_fr->text().endsWith(ellipsis));
    QVERIFY(whole.startsWith(form.Caract_fr->text().chopped(1)));
    QVERIFY(rightEdgeIn(form.Caract_fr, form.TabSheet1) <= form.TabSheet1->width());
    QCOMPARE(form.Caract_fr->toolTip(), whole);
    QCOMPARE(form.Caract_fr->accessibleName(), whole);

    // A larger font cuts earlier, still at the page's edge.
    const int shown = int(form.Caract_fr->text().size());
    form.N303->trigger();
    QVERIFY(form.Caract_fr->text().size() < shown);
    QVERIFY(rightEdgeIn(form.Caract_fr, form.TabSheet1) <= form.TabSheet1->width());
}

void TestLongFields::shortTextsAreShownAsTheyAre()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), {QStringLiteral("你好\tnǐ hǎo\tbonjour")});
    TForm1 &form = fixture.start();
    form.Alea->click();
    revealEntry(form);
    for (toolkit::TLabel *label : {form.Caract_ch, form.Caract_pin, form.Caract_fr}) {
        QVERIFY(!label->isElided());
        QCOMPARE(label->text(), label->caption());
        QVERIFY(label->toolTip().isEmpty());
        // Screen readers read the text itself.
        QVERIFY(label->accessibleName().isEmpty());
    }
}

void TestLongFields::spokenTextStopsAtOneThousandCharacters()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), longLessons(1500));
    TForm1 &form = fixture.start();
    form.Alea->click();
    revealEntry(form);
    const QString whole = form.Liste_fr.item(0);
    QCOMPARE(form.Caract_fr->caption(), whole);
    QCOMPARE(form.Caract_fr->toolTip(), whole.left(1000) + ellipsis);
    QCOMPARE(form.Caract_fr->accessibleName(), whole.left(1000) + ellipsis);
}

void TestLongFields::longChoicesEndWithEllipsisInsideTheGroup()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), longLessons(120));
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    programRandom().setSeed(5);
    form.Button4Click();

    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
        QRadioButton *choice = form.RadioGroup1->choice(k);
        QVERIFY(form.RadioGroup1->isChoiceElided(k));
        QVERIFY(choice->text().endsWith(ellipsis));
        QVERIFY(inkEndsBeforeTheRightEdge(choice));
        QCOMPARE(choice->toolTip(), form.RadioGroup1->choiceCaption(k));
        QCOMPARE(choice->accessibleName(), form.RadioGroup1->choiceCaption(k));
    }
    // The right answer, in bold after a wrong one, is wider: it is cut again to fit.
    QRadioButton *right = form.RadioGroup1->choice(form.quiz.correctSlot());
    const QString regular = right->text();
    form.RadioGroup1->choice((form.quiz.correctSlot() + 1) % 6)->click();
    QVERIFY(right->font().bold());
    QVERIFY(right->text().size() < regular.size());
    QVERIFY(inkEndsBeforeTheRightEdge(right));
    QVERIFY(right->text().endsWith(ellipsis));
}

void TestLongFields::cutLessonNamesGetATooltip()
{
    WindowFixture fixture;
    const QString longName = QStringLiteral("01 Salutations et formules de politesse.txt");
    fixture.addLesson(longName, {QStringLiteral("你好\tnǐ hǎo\tbonjour")});
    fixture.addLesson(QStringLiteral("02 Un.txt"), {QStringLiteral("一\tyī\tun")});
    TForm1 &form = fixture.start();
    toolkit::TCheckListView *list = form.ListView1;
    const int longRow = list->item(0)->text() == longName ? 0 : 1;
    const int shortRow = 1 - longRow;

    QVERIFY(list->isRowElided(longRow));
    QVERIFY(!list->isRowElided(shortRow));
    // The list does not scroll sideways: the name is cut at its edge.
    QVERIFY(list->visualItemRect(list->item(longRow)).right() < list->viewport()->width());

    auto askTooltip = [list](int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
    };
    askTooltip(longRow);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), longName);
    // Over a name that shows whole, no tooltip (the one shown goes away).
    askTooltip(shortRow);
    QTRY_VERIFY(!QToolTip::isVisible());
}

namespace {

/// Each row of list as high as the same row of Qt's own list, and as wide as the viewport.
void compareRowsWithQts(const QListWidget &list, const QListWidget &qtOwn, QList<int> *heights)
{
    for (int row = 0; row < list.count(); ++row) {
        const QRect shown = list.visualItemRect(list.item(row));
        QCOMPARE(shown.height(), qtOwn.visualItemRect(qtOwn.item(row)).height());
        QCOMPARE(shown.width(), list.viewport()->width());
        heights->append(shown.height());
    }
}

} // namespace

void TestLongFields::lessonNamesOfEveryScriptGetQtsRowHeights()
{
    // The same ticked names in the lesson list and in a plain Qt list of the same font and size:
    // rows of the same heights in the design's font, a larger one, one so small that the check
    // box sets the height, and then in the other style, which draws the box at another size.
    const QStringList names = {QStringLiteral("01 Un.txt"),
                               QStringLiteral("02 Été.txt"),
                               QStringLiteral("03 汉字.txt"),
                               QStringLiteral("04 x.txt"),
                               QStringLiteral("05 %1.txt").arg(longMeaning(200)),
                               QStringLiteral("06 ~|}{.txt")};
    // The style that is not the application's, made before the lists so that it outlives them.
    const bool fusion
        = QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0;
    const std::unique_ptr<QStyle> otherStyle(
        QStyleFactory::create(fusion ? QStringLiteral("Windows") : QStringLiteral("Fusion")));
    QWidget window;
    toolkit::TCheckListView list(&window);
    QListWidget qtOwn(&window);
    // Beside them, a ticked row then one with no check box (which the lessons never lack).
    toolkit::TCheckListView mixed(&window);
    QListWidget qtMixed(&window);
    for (QListWidget *view : {static_cast<QListWidget *>(&list), &qtOwn,
                              static_cast<QListWidget *>(&mixed), &qtMixed}) {
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(121, 177);
    }
    for (QListWidget *view : {static_cast<QListWidget *>(&list), &qtOwn}) {
        for (const QString &name : names)
            (new QListWidgetItem(name, view))->setCheckState(Qt::Checked);
        // A row that asks for its own size gets it, as in any Qt list.
        view->item(3)->setSizeHint(QSize(40, 31));
    }
    for (QListWidget *view : {static_cast<QListWidget *>(&mixed), &qtMixed}) {
        (new QListWidgetItem(names[0], view))->setCheckState(Qt::Checked);
        view->addItem(names[3]);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    for (const int step : {0, 1, 2, 3}) {
        for (QListWidget *view : {static_cast<QListWidget *>(&list), &qtOwn,
                                  static_cast<QListWidget *>(&mixed), &qtMixed}) {
            if (step == 1 || step == 2) {
                QFont font = view->font();
                font.setPointSize(step == 1 ? 20 : 4);
                view->setFont(font);
            } else if (step == 3) {
                view->setStyle(otherStyle.get());
            }
        }
        QCoreApplication::processEvents();
        QList<int> heights;
        compareRowsWithQts(list, qtOwn, &heights);
        // The Chinese name needs a taller font than the plain letters, unless the box decides.
        if (step < 2)
            QVERIFY(heights[2] > heights[0]);
        QList<int> mixedHeights;
        compareRowsWithQts(mixed, qtMixed, &mixedHeights);
    }
}

void TestLongFields::emptyListSaysWhereLessonsAreLookedFor()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    toolkit::TCheckListView *list = form.ListView1;
    QCOMPARE(list->count(), 0);
    const QString hint = list->emptyHint();
    QVERIFY(hint.contains(QDir::toNativeSeparators(fixture.work.path())));
    QVERIFY(hint.contains(QStringLiteral("*.txt")));
    QVERIFY(hint.contains(QStringLiteral("UTF-16")));
    QVERIFY(hint.contains(QStringLiteral("FF FE")));
    QCOMPARE(list->accessibleDescription(), hint);
    // Painted in the viewport, not an item that could be ticked.
    const QColor base = list->viewport()->palette().color(QPalette::Base);
    QVERIFY(inkPixels(list->viewport()->grab().toImage(), base) > 100);

    WindowFixture withLesson;
    withLesson.addLesson(QStringLiteral("a.txt"), {QStringLiteral("一\tyī\tun")});
    TForm1 &other = withLesson.start();
    QVERIFY(other.ListView1->accessibleDescription().isEmpty());
}

void TestLongFields::emBoxRunsAndTheirPlace()
{
    const QList<toolkit::TextRun> runs = toolkit::emBoxRuns(QStringLiteral("gg (哥哥)pH值"));
    QCOMPARE(runs.size(), 4);
    QCOMPARE(runs.at(0).withinEmBox, false);
    QCOMPARE(runs.at(0).length, 4); // "gg ("
    QCOMPARE(runs.at(1).withinEmBox, true);
    QCOMPARE(runs.at(1).length, 2);
    QCOMPARE(runs.at(2).length, 3); // ")pH"
    QCOMPARE(runs.at(3).withinEmBox, true);
    // Full-width punctuation and a combining mark stay with the ideographs.
    QCOMPARE(toolkit::emBoxRuns(QStringLiteral("你好（老）\u0301")).size(), 1);

    // Ink from 10 above to 4 below the baseline, in a box from 0 to 20: the baseline at 18 would
    // push it 2 below the box: raised by 2. At 12 it fits: unchanged.
    const QRectF ink(0, -10, 8, 14);
    QCOMPARE(toolkit::placeRunInside(ink, 18, 0, 20).baseline, 16.0);
    QCOMPARE(toolkit::placeRunInside(ink, 12, 0, 20).baseline, 12.0);
    QCOMPARE(toolkit::placeRunInside(ink, 6, 0, 20).baseline, 10.0);
    // Taller than the box: scaled to fill it exactly.
    const toolkit::RunPlacement scaled = toolkit::placeRunInside(QRectF(0, -30, 8, 40), 18, 0, 20);
    QCOMPARE(scaled.scale, 0.5);
    QCOMPARE(scaled.baseline + scaled.scale * -30, 0.0);
}

void TestLongFields::focusGoesToTheControlNeededNext()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(8));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.PageControl1->setCurrentIndex(1);

    // Space on "Lancer le test": the question shows and the first choice takes the focus.
    form.Button4->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.Button4, Qt::Key_Space);
    QVERIFY(form.RadioGroup1->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.RadioGroup1->choice(0));

    // Space on "Reinitialiser": idle again, "Lancer le test" takes it.
    form.Reinitialiser->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.Reinitialiser, Qt::Key_Space);
    QVERIFY(form.Button4->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Button4);

    // A test that cannot go on after the verdict stops there, "Lancer le test" focused.
    QTest::keyClick(form.Button4, Qt::Key_Space);
    form.RadioGroup1->choice(form.quiz.correctSlot())->click();
    form.Button3Click();
    form.Timer3Timer();
    QVERIFY(form.Button4->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Button4);

    // "Précédent" focused when "Aléatoire" is ticked again: "Suivant" takes it.
    form.PageControl1->setCurrentIndex(0);
    form.Alea->click();
    form.precedent->setFocus(Qt::TabFocusReason);
    form.Alea->setChecked(true);
    QVERIFY(form.precedent->isHidden());
    QCOMPARE(QApplication::focusWidget(), form.Selectionner);
}

void TestLongFields::scrollBarShowsItsFocus()
{
    WindowFixture fixture;
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    toolkit::TScrollBar *bar = form.ScrollBar1;
    const QImage unfocused = bar->grab().toImage();
    bar->setFocus(Qt::TabFocusReason);
    QVERIFY(bar->hasFocus());
    const QImage focused = bar->grab().toImage();
    QCOMPARE(focused.size(), unfocused.size());
    // The frame changes pixels one inside each edge of the bar, and nothing on its outer edge.
    int inner = 0;
    int outer = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) == unfocused.pixel(x, y))
                continue;
            const bool edge
                = x == 0 || y == 0 || x == focused.width() - 1 || y == focused.height() - 1;
            ++(edge ? outer : inner);
        }
    }
    QVERIFY2(inner > focused.width() / 2, qPrintable(QString::number(inner)));
    QCOMPARE(outer, 0);
    // Gone with the focus.
    form.ScrollBar2->setFocus(Qt::TabFocusReason);
    QCOMPARE(bar->grab().toImage(), unfocused);
}

QTEST_MAIN(TestLongFields)
#include "tst_long_fields.moc"
