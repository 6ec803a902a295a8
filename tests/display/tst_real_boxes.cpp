#include "app/tform1.h"
#include "displaysupport.h"
#include "platform/widgets.h"
#include "windowfixture.h"

#include <QTest>

/// Message boxes as the learner meets them: real, modal, on an X display.
class TestRealBoxes : public QObject
{
    Q_OBJECT
private slots:
    void oneFailingLessonGivesOneBoxAtStartUp();
};

void TestRealBoxes::oneFailingLessonGivesOneBoxAtStartUp()
{
    WindowFixture fixture;
    showRealBoxes();
    for (int k = 1; k <= 6; ++k)
        fixture.addLesson(QStringLiteral("l%1.txt").arg(k), numberedLines(k, QStringLiteral("L%1_").arg(k)));
    // The second of six lessons: one complete line, then a stray byte.
    writeBytes(fixture.work.filePath(QStringLiteral("l2.txt")),
               lessonBytes(numberedLines(1, QStringLiteral("L2_"))) + QByteArray("\x41", 1));
    BoxWatcher watcher;

    TForm1 &form = fixture.start();
    QTest::qWait(600);

    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen.first().icon, QMessageBox::Critical);
    QCOMPARE(watcher.seen.first().title, QStringLiteral("Hanlexo - vocab"));
    QCOMPARE(watcher.seen.first().text, QStringLiteral("Lecture au-delà de la fin de fichier."));
    // Every other lesson loaded, and start-up went on to its last step.
    QCOMPARE(form.Liste_ch.count(), 1 + 1 + 3 + 4 + 5 + 6);
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QVERIFY(form.isVisible());
}

QTEST_MAIN(TestRealBoxes)
#include "tst_real_boxes.moc"
