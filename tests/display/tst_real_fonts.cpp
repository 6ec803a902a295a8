#include "app/tform1.h"
#include "core/random.h"
#include "displaysupport.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

namespace {

/// Rows of image (within columns left..right-1) that hold a pixel far from background.
QList<int> inkRows(const QImage &image, const QColor &background, int left, int right)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(0, left); x < std::min(image.width(), right); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - background.red())
                    + std::abs(pixel.green() - background.green())
                    + std::abs(pixel.blue() - background.blue())
                > 120) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

/// The designed height of a SimSun text of this size: its size in pixels at 96 dpi.
int designedHeight(int points)
{
    return (points * 96 + 36) / 72;
}

/// What the X server shows of the window, in window coordinates, once it has settled: two grabs
/// in a row alike.
QImage onScreen(TForm1 &form)
{
    QImage last;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QCoreApplication::processEvents();
        QImage now = form.screen()->grabWindow(form.winId()).toImage();
        if (now == last || waited.elapsed() > displayWaitMs)
            return now;
        last = std::move(now);
        QTest::qWait(20);
    }
}

const QStringList chineseWords = {
    QStringLiteral("谢谢\tx1\tmerci"), QStringLiteral("您好\tx2\tbonjour"),
    QStringLiteral("们\tx3\tpluriel"), QStringLiteral("七\tx4\tsept"),
    QStringLiteral("黑色\tx5\tnoir"),  QStringLiteral("早上好\tx6\tbonjour matin"),
    QStringLiteral("蓝色\tx7\tbleu"),  QStringLiteral("家\tx8\tmaison"),
};

} // namespace

/// Chinese texts as the learner sees them, drawn by the X server with the real fonts.
class TestRealFonts : public QObject
{
    Q_OBJECT
private slots:
    void chineseFieldAtEveryMenuSize();
    void askedWordIsWholeAboveTheChoices();
    void chineseChoicesAndSolutionKeepTheirHeight();
};

void TestRealFonts::chineseFieldAtEveryMenuSize()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), chineseWords);
    TForm1 &form = fixture.start();
    form.Alea->click();
    form.SelectionnerClick();
    form.Timer0Timer();
    form.Timer1Timer();
    form.Timer2Timer();
    QCOMPARE(form.Caract_ch->caption(), QStringLiteral("谢谢"));

    const QList<QAction *> items = form.Champschinois1->actions();
    QCOMPARE(items.size(), 6);
    for (QAction *item : items) {
        const int points = item->text().toInt();
        item->trigger();
        const QString row = QStringLiteral("%1 pt").arg(points);
        QCOMPARE(form.Caract_ch->fontSize(), points);
        QVERIFY2(std::abs(form.Caract_ch->height() - designedHeight(points)) <= 4,
                 qPrintable(row + QStringLiteral(": %1 px").arg(form.Caract_ch->height())));
        // The ink on screen lies inside the label, and clear of the pinyin below it.
        const QRect label = form.Caract_ch->geometry().translated(
            form.Caract_ch->parentWidget()->mapTo(&form, QPoint(0, 0)));
        const QImage screen = onScreen(form);
        const QColor face = form.TabSheet1->palette().color(QPalette::Button);
        // From the top of the page down to the pinyin label.
        const int above = form.Caract_ch->y();
        const int below = form.Caract_pin->y() - form.Caract_ch->geometry().bottom() - 1;
        const QList<int> rows
            = inkRows(screen.copy(label.adjusted(0, -above, 0, below)), face, 0, label.width());
        QVERIFY2(!rows.isEmpty(), qPrintable(row));
        QVERIFY2(rows.first() >= above && rows.last() < above + label.height(),
                 qPrintable(row
                            + QStringLiteral(": ink rows %1 to %2 of a label from %3 to %4")
                                  .arg(rows.first())
                                  .arg(rows.last())
                                  .arg(above)
                                  .arg(above + label.height() - 1)));
        QVERIFY2(form.Caract_ch->geometry().bottom() < form.Caract_pin->y(), qPrintable(row));
    }
}

void TestRealFonts::askedWordIsWholeAboveTheChoices()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), chineseWords);
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    programRandom().setSeed(7);
    for (int question = 0; question < 8; ++question) {
        if (question == 0)
            form.Button4Click();
        else
            form.Test1Click();
        QVERIFY(form.RadioGroup1->isVisible());
        const QString asked = form.question->caption();
        QVERIFY2(std::abs(form.question->height() - designedHeight(40)) <= 4,
                 qPrintable(asked + QStringLiteral(": %1 px").arg(form.question->height())));

        // All of the word's ink, as the label draws it, lies above the choices' group...
        const QColor face = form.TabSheet2->palette().color(QPalette::Button);
        const QImage alone = form.question->grab().toImage();
        const QList<int> own = inkRows(alone, face, 0, alone.width());
        QVERIFY2(!own.isEmpty(), qPrintable(asked));
        const int clear = form.RadioGroup1->y() - form.question->y();
        QVERIFY2(own.last() < clear, qPrintable(asked));
        // ...and the X server shows every row of it.
        const QRect label
            = form.question->geometry().translated(form.TabSheet2->mapTo(&form, QPoint(0, 0)));
        const QImage screen = onScreen(form).copy(label.left(), label.top(), label.width(), clear);
        QCOMPARE(inkRows(screen, face, 0, label.width()), own);
    }
}

void TestRealFonts::chineseChoicesAndSolutionKeepTheirHeight()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), chineseWords);
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    programRandom().setSeed(11);

    // Pinyin asked, French answered: the solution is the Chinese field, in SimSun 20.
    form.LQ2->click();
    form.Button4Click();
    form.RadioGroup1->choice(form.questionTag)->click();
    QVERIFY(form.Solution->isVisible());
    QVERIFY(std::abs(form.Solution->height() - designedHeight(20)) <= 4);
    const QRect solution
        = form.Solution->geometry().translated(form.TabSheet2->mapTo(&form, QPoint(0, 0)));
    const QColor face = form.TabSheet2->palette().color(QPalette::Button);
    QVERIFY(!inkRows(onScreen(form).copy(solution), face, 0, solution.width()).isEmpty());
    QTest::mouseClick(form.Reinitialiser, Qt::LeftButton);

    // Chinese answered: each choice shows its word's ink whole within its own row.
    form.LR1->click();
    form.Button4Click();
    const QImage screen = onScreen(form);
    for (int k = 0; k < TRadioGroup::choiceCount; ++k) {
        QRadioButton *choice = form.RadioGroup1->choice(k);
        const QRect row
            = choice->geometry().translated(form.RadioGroup1->mapTo(&form, QPoint(0, 0)));
        const QImage alone = choice->grab().toImage();
        const QColor groupFace = form.RadioGroup1->palette().color(QPalette::Button);
        // Right of the indicator, where the text is.
        const int textLeft = choice->height();
        const QList<int> own = inkRows(alone, groupFace, textLeft, alone.width());
        QVERIFY2(!own.isEmpty(), qPrintable(choice->text()));
        QVERIFY2(own.first() > 0 && own.last() < alone.height() - 1, qPrintable(choice->text()));
        const QList<int> shown = inkRows(screen.copy(row), groupFace, textLeft, row.width());
        for (int y : own)
            QVERIFY2(shown.contains(y), qPrintable(choice->text()));
    }
}

QTEST_MAIN(TestRealFonts)
#include "tst_real_fonts.moc"
