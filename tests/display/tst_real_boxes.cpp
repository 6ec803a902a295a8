#include "app/tform1.h"
#include "displaysupport.h"
#include "toolkit/label.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QDir>
#include <QStyle>
#include <QTest>

/// Message boxes as the learner meets them: real, modal, on an X display.
class TestRealBoxes : public QObject
{
    Q_OBJECT
private slots:
    void oneFailingLessonGivesOneBoxAtStartUp();
    void oneClickIsOneStepWhenTheWriteIsRefused_data();
    void oneClickIsOneStepWhenTheWriteIsRefused();
};

void TestRealBoxes::oneFailingLessonGivesOneBoxAtStartUp()
{
    WindowFixture fixture;
    showRealBoxes();
    for (int k = 1; k <= 6; ++k)
        fixture.addLesson(QStringLiteral("l%1.txt").arg(k),
                          numberedLines(k, QStringLiteral("L%1_").arg(k)));
    // The second of six lessons: one complete line, then a stray byte.
    writeBytes(fixture.work.filePath(QStringLiteral("l2.txt")),
               lessonBytes(numberedLines(1, QStringLiteral("L2_"))) + QByteArray("\x41", 1));
    BoxWatcher watcher;

    TForm1 &form = fixture.start();
    // Start-up reports as it goes: once it has returned, every box it had to show has come.
    QTRY_VERIFY_WITH_TIMEOUT(noBoxShown(), displayWaitMs);

    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen.first().icon, QMessageBox::Critical);
    QCOMPARE(watcher.seen.first().title, QStringLiteral("Hanlexo - vocab"));
    // The specified message, then the lesson that failed.
    QCOMPARE(watcher.seen.first().text,
             QStringLiteral("Lecture au-delà de la fin de fichier.\n« l2.txt »"));
    // Every other lesson loaded, and start-up went on to its last step.
    QCOMPARE(form.Liste_ch.count(), 1 + 1 + 3 + 4 + 5 + 6);
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QVERIFY(form.isVisible());
}

void TestRealBoxes::oneClickIsOneStepWhenTheWriteIsRefused_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("expected");
    QTest::newRow("left arrow of vitesse français, at 7")
        << "ScrollBar2" << int(QStyle::SC_ScrollBarSubLine) << 6;
    QTest::newRow("trough of vitesse pinyin, right of the thumb, at 5")
        << "ScrollBar1" << int(QStyle::SC_ScrollBarAddPage) << 6;
}

void TestRealBoxes::oneClickIsOneStepWhenTheWriteIsRefused()
{
    QFETCH(QString, bar);
    QFETCH(int, part);
    QFETCH(int, expected);

    WindowFixture fixture;
    // A directory where the settings file should be: every write is refused.
    QVERIFY(QDir().mkpath(fixture.settingsPath()));
    showRealBoxes();
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form, displayWaitMs));
    auto *scrollBar = form.findChild<toolkit::TScrollBar *>(bar);
    QVERIFY(scrollBar);
    const QPoint at
        = screenPoint(scrollBar, scrollBarPart(scrollBar, QStyle::SubControl(part)).center());

    // The learner presses, the box opens while the button is down, the learner lets go (the box
    // takes the release) and then reads the box and clicks OK.
    BoxWatcher watcher(300);
    watcher.onShown([](QMessageBox *) { QVERIFY(xdotool({QStringLiteral("mouseup"), "1"})); });
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                     QStringLiteral("mousedown"), "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(!watcher.seen.isEmpty() && noBoxShown(), displayWaitMs);
    // Then long enough for the bar's auto-repeat (500 ms, then every 50 ms) to step again if the
    // button were still held: what is tested is that it does not.
    QTest::qWait(1000);

    QCOMPARE(scrollBar->value(), expected);
    QCOMPARE(watcher.seen.size(), 1);
    QVERIFY(watcher.seen.first().text.startsWith(QStringLiteral("Impossible d'écrire dans ")));
    QCOMPARE(watcher.seen.first().icon, QMessageBox::Critical);

    // Keyboard steps are one step and one message each, as before.
    scrollBar->setFocus();
    QTest::keyClick(scrollBar, Qt::Key_Right);
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen.size() >= 2 && noBoxShown(), displayWaitMs);
    QCOMPARE(scrollBar->value(), expected + 1);
    QCOMPARE(watcher.seen.size(), 2);
}

QTEST_MAIN(TestRealBoxes)
#include "tst_real_boxes.moc"
