#include "app/tform1.h"
#include "core/random.h"
#include "display/about_box.h"
#include "toolkit/classic_timer.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>

// Renders the windows as a learner sees them into <test binary dir>/screenshots/, so that their
// look can be checked by eye after every build.

namespace {

QString screenshotPath(const QString &name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

/// Saves the widget's rendering and checks that a real picture was written.
void saveAndCheck(QWidget *widget, const QString &name)
{
    const QString path = screenshotPath(name);
    QFile::remove(path);
    const QImage shot = widget->grab().toImage();
    QVERIFY(shot.save(path, "PNG"));

    const QImage written(path);
    QCOMPARE(written.size(), widget->size());
    QSet<QRgb> colours;
    for (int y = 0; y < written.height() && colours.size() < 16; ++y)
        for (int x = 0; x < written.width() && colours.size() < 16; ++x)
            colours.insert(written.pixel(x, y));
    QVERIFY2(colours.size() >= 16, qPrintable(name + QStringLiteral(" looks blank")));
}

/// A main window with two small lessons of real words.
TForm1 &startWithLessons(WindowFixture &fixture)
{
    fixture.addLesson(
        QStringLiteral("01 Salutations.txt"),
        {QStringLiteral("你好\tnǐ hǎo\tbonjour"), QStringLiteral("谢谢\txièxie\tmerci"),
         QStringLiteral("再见\tzàijiàn\tau revoir"), QStringLiteral("老师\tlǎoshī\tprofesseur")});
    fixture.addLesson(QStringLiteral("02 Nombres.txt"),
                      {QStringLiteral("一\tyī\tun"), QStringLiteral("二\tèr\tdeux"),
                       QStringLiteral("三\tsān\ttrois"), QStringLiteral("十\tshí\tdix")});
    TForm1 &form = fixture.start();
    programRandom().setSeed(20240607);
    return form;
}

} // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void learningPageWithARevealedCard();
    void testPageShowingTheVerdict();
    void aboutBox();
};

void TestScreenshots::learningPageWithARevealedCard()
{
    WindowFixture fixture;
    TForm1 &form = startWithLessons(fixture);
    QCOMPARE(form.Liste_ch.count(), 8);
    QTest::mouseClick(form.Selectionner, Qt::LeftButton);
    form.Timer0Timer();
    form.Timer1Timer();
    form.Timer2Timer();
    for (const toolkit::TLabel *field : {form.Caract_ch, form.Caract_pin, form.Caract_fr}) {
        QVERIFY(field->isVisible());
        QVERIFY(!field->caption().isEmpty());
    }
    saveAndCheck(&form, QStringLiteral("main-learning.png"));
}

void TestScreenshots::testPageShowingTheVerdict()
{
    WindowFixture fixture;
    TForm1 &form = startWithLessons(fixture);
    form.PageControl1->setCurrentIndex(1);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    QVERIFY(form.RadioGroup1->isVisible());
    // A wrong answer: the verdict, the right choice highlighted and the solution all show.
    QRadioButton *wrong = form.RadioGroup1->choice((form.quiz.correctSlot() + 1)
                                                   % toolkit::TRadioGroup::choiceCount);
    QTest::mouseClick(wrong, Qt::LeftButton, {}, QPoint(wrong->height() / 2, wrong->height() / 2));
    QVERIFY(form.Timer3->enabled());
    QVERIFY(form.Solution->isVisible());
    QVERIFY(form.RadioGroup1->isChoiceHighlighted(form.quiz.correctSlot()));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 1"));
    saveAndCheck(&form, QStringLiteral("main-test.png"));
}

void TestScreenshots::aboutBox()
{
    WindowFixture fixture;
    TForm1 &form = startWithLessons(fixture);
    form.Aproposde1->trigger();
    TForm2 &about = fixture.about();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    saveAndCheck(&about, QStringLiteral("about.png"));
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
