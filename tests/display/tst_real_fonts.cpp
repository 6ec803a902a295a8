#include "app/tform1.h"
#include "core/random.h"
#include "displaysupport.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <numeric>

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
    void latinLettersInChineseFieldsAreWhole_data();
    void latinLettersInChineseFieldsAreWhole();
    void pinyinSitsAtTheSamePlace();
    void toneMarksOnIAreReadInTheChoices();
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
    form.RadioGroup1->choice(form.quiz.correctSlot())->click();
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
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k) {
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

void TestRealFonts::latinLettersInChineseFieldsAreWhole_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("latin"); // its first run without Chinese characters
    QTest::newRow("gg (哥哥)") << QStringLiteral("gg (哥哥)") << QStringLiteral("gg (");
    QTest::newRow("pH值") << QStringLiteral("pH值") << QStringLiteral("pH");
}

void TestRealFonts::latinLettersInChineseFieldsAreWhole()
{
    QFETCH(QString, word);
    QFETCH(QString, latin);
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"),
                      {word + QStringLiteral("\tx\tmot"), QStringLiteral("字\ty\tautre")});
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(6));
    TForm1 &form = fixture.start();
    form.Alea->click();
    const QColor face = form.TabSheet1->palette().color(QPalette::Button);

    // The run's ink, whole in the label: as tall as the letters drawn freely, or, taller than the
    // label, scaled down to fill it; and nothing of it above or below the label.
    // Rows above and below the label to look at: up to the page's edge, and to the next control.
    auto verifyWhole = [&](toolkit::TLabel *label, int above, int below, const QString &row) {
        const QFontMetricsF metrics(label->font());
        const int whole = qRound(metrics.tightBoundingRect(latin).height());
        const int expected = std::min(whole, label->height());
        const QRect place
            = label->geometry().translated(label->parentWidget()->mapTo(&form, QPoint(0, 0)));
        const int margin = std::min(above, label->y());
        const QImage screen = onScreen(form).copy(place.adjusted(0, -margin, 0, below));
        const int columns = qRound(metrics.horizontalAdvance(latin));
        const QList<int> rows = inkRows(screen, face, 0, columns);
        QVERIFY2(!rows.isEmpty(), qPrintable(row));
        const QString seen = row
            + QStringLiteral(": ink rows %1 to %2 of a label from %3 to %4, %5 expected")
                  .arg(rows.first())
                  .arg(rows.last())
                  .arg(margin)
                  .arg(margin + label->height() - 1)
                  .arg(expected);
        QVERIFY2(rows.first() >= margin && rows.last() < margin + label->height(),
                 qPrintable(seen));
        QVERIFY2(rows.last() - rows.first() + 1 >= expected - 1, qPrintable(seen));
    };

    for (QAction *item : form.Champschinois1->actions()) {
        item->trigger();
        form.Liste_ch.tag = -1;
        form.SelectionnerClick();
        form.Timer0Timer();
        QCOMPARE(form.Caract_ch->caption(), word);
        verifyWhole(form.Caract_ch, 6, 6, item->text() + QStringLiteral(" pt"));
    }

    // The asked word, on the test page.
    form.PageControl1->setCurrentIndex(1);
    programRandom().setSeed(1);
    form.Button4Click();
    for (int i = 0; i < 200 && form.question->caption() != word; ++i)
        form.Test1Click();
    QCOMPARE(form.question->caption(), word);
    // The choices' group begins at the label's last row.
    verifyWhole(form.question, 6, 0, QStringLiteral("asked"));
}

void TestRealFonts::pinyinSitsAtTheSamePlace()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"),
                      {QStringLiteral("好吗\thǎo ma?\tça va ?"),
                       QStringLiteral("好吗\thao ma?\tça va ?"),
                       QStringLiteral("绿\tlǜ nǚ ḿ ń ň ǹ\tvert")});
    TForm1 &form = fixture.start();
    form.Alea->click();
    form.N302->trigger(); // 26 pt, where the jump was largest
    const QColor face = form.TabSheet1->palette().color(QPalette::Button);

    // Where each pinyin's baseline falls on screen: the last ink row of letters without
    // descenders, here "ma?" (its last three characters) and "lǜ".
    QList<int> baselines;
    QList<int> heights;
    for (int entry = 0; entry < 3; ++entry) {
        form.SelectionnerClick();
        form.Timer1Timer();
        const QRect place
            = form.Caract_pin->geometry().translated(form.TabSheet1->mapTo(&form, QPoint(0, 0)));
        const QImage screen = onScreen(form).copy(place);
        const QFontMetrics metrics(form.Caract_pin->font());
        const QString text = form.Caract_pin->caption();
        const int from = entry < 2 ? metrics.horizontalAdvance(text.chopped(3)) : 0;
        const int to = entry < 2 ? screen.width() : metrics.horizontalAdvance(QStringLiteral("lǜ"));
        const QList<int> rows = inkRows(screen, face, from, to);
        QVERIFY2(!rows.isEmpty(), qPrintable(text));
        baselines.append(rows.last());
        heights.append(form.Caract_pin->height());
    }
    QCOMPARE(baselines.at(0), baselines.at(1));
    QCOMPARE(baselines.at(2), baselines.at(1));
    QCOMPARE(heights.at(0), heights.at(1));
    QCOMPARE(heights.at(2), heights.at(1));
    // Every pinyin letter from the one face.
    const QFontMetrics metrics(form.Caract_pin->font());
    for (const char32_t letter : {U'ǎ', U'ǐ', U'ǒ', U'ǔ', U'ǚ', U'ǜ', U'ḿ', U'ń', U'ň', U'ǹ'})
        QVERIFY2(metrics.inFontUcs4(letter), qPrintable(QString::number(letter, 16)));
}

void TestRealFonts::toneMarksOnIAreReadInTheChoices()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6));
    TForm1 &form = fixture.start();
    form.PageControl1->setCurrentIndex(1);
    form.LR2->click(); // Chinese asked, pinyin answered: the choices show pinyin, 10 pt
    const QFont font = form.RadioGroup1->choice(0)->font();
    QCOMPARE(QFontInfo(font).pixelSize(), 13);

    // Each letter as the choices draw it, black on white.
    auto drawn = [&font](const QString &letter) {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(6, 18), letter);
        return image;
    };
    // The mark: the ink above the stem of a dotless i.
    const QList<int> stem = inkRows(drawn(QStringLiteral("ı")), Qt::white, 0, 24);
    QVERIFY(!stem.isEmpty());
    auto markRows = [&](const QImage &image) {
        QList<double> rows;
        for (int y = 0; y < stem.first(); ++y) {
            double ink = 0;
            for (int x = 0; x < image.width(); ++x)
                ink += 255 - qGray(image.pixel(x, y));
            rows.append(ink);
        }
        return rows;
    };

    // A grave and an acute each spread over two rows at least (a one-row blob reads as the dot
    // of a plain i), and lean opposite ways: their images differ from each other and from i.
    const QStringList letters = {QStringLiteral("i"), QStringLiteral("ì"), QStringLiteral("í"),
                                 QStringLiteral("ǐ"), QStringLiteral("ī")};
    for (const QString &accented : {QStringLiteral("ì"), QStringLiteral("í")}) {
        const QList<double> rows = markRows(drawn(accented));
        const double total = std::accumulate(rows.begin(), rows.end(), 0.0);
        const auto strong = std::count_if(rows.begin(), rows.end(),
                                          [total](double ink) { return ink >= total / 4; });
        QVERIFY2(strong >= 2, qPrintable(accented + QStringLiteral(": %1 rows").arg(strong)));
    }
    for (int a = 0; a < letters.size(); ++a)
        for (int b = a + 1; b < letters.size(); ++b)
            QVERIFY2(drawn(letters.at(a)) != drawn(letters.at(b)),
                     qPrintable(letters.at(a) + letters.at(b)));
}

QTEST_MAIN(TestRealFonts)
#include "tst_real_fonts.moc"
