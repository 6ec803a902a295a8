#include "app/tform1.h"
#include "toolkit/label.h"
#include "toolkit/message_boxes.h"
#include "toolkit/radio_group.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QStringList captions(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QList<Qt::CheckState> ticks(const QListWidget *list)
{
    QList<Qt::CheckState> states;
    for (int i = 0; i < list->count(); ++i)
        states.append(list->item(i)->checkState());
    return states;
}

/// Where the check box of an item is drawn, in viewport coordinates.
QPoint checkIndicatorCentre(QListWidget *list, int row)
{
    const QListWidgetItem *item = list->item(row);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.checkState = item->checkState();
    option.text = item->text();
    option.font = list->font();
    option.fontMetrics = QFontMetrics(list->font());
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    option.widget = list;
    return list->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
        .center();
}

void clickCheckBox(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, checkIndicatorCentre(list, row));
}

/// Learning state that a rebuild must reset, set to something else beforehand.
void markLearningState(TForm1 &form)
{
    form.Liste_ch.tag = 3;
    form.compteur->setCaption(QStringLiteral("4/ 9"));
}

} // namespace

class TestLessonList : public QObject
{
    Q_OBJECT
private slots:
    void listsAndTicksEveryLesson();
    void nonLessonsAreNotListed();
    void nameThatIsNotTextStillLoads();
    void entriesThatCannotBeLessonsArePassedOver();
    void unopenableEntryIsReportedAndPassedOver_data();
    void unopenableEntryIsReportedAndPassedOver();
    void untickAllEmptiesTheLists_data();
    void untickAllEmptiesTheLists();
    void commandWithNothingToChangeDoesNothing_data();
    void commandWithNothingToChangeDoesNothing();
    void returnOnAFocusedButtonClicksIt_data();
    void returnOnAFocusedButtonClicksIt();
    void tickAllLoadsInListOrder();
    void clickingANameRebuilds();
    void clickingACheckBoxUnticks();
    void spaceTogglesTheCurrentLesson();
    void deletedLessonIsReportedAndTheOthersLoad();
    void failingLessonsAreReportedOnceEach_data();
    void failingLessonsAreReportedOnceEach();
    void everyLineEndGivesThreeFields_data();
    void everyLineEndGivesThreeFields();
};

void TestLessonList::listsAndTicksEveryLesson()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(2, QStringLiteral("b")));
    fixture.addLesson(QStringLiteral("A.txt"), numberedLines(3, QStringLiteral("A")));
    fixture.addLesson(QStringLiteral("c.TXT"), numberedLines(1, QStringLiteral("c")));
    fixture.addLesson(QStringLiteral(".cach\u00e9.txt"), numberedLines(1, QStringLiteral("h")));
    // Only the two signature bytes: listed, no entry, no message.
    writeBytes(fixture.work.filePath(QStringLiteral("vide.txt")), bom());
    TForm1 &form = fixture.start();

    QCOMPARE(
        captions(form.ListView1),
        (QStringList {QStringLiteral(".cach\u00e9.txt"), "A.txt", "b.txt", "c.TXT", "vide.txt"}));
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(5, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(1, QStringLiteral("h")) + numberedEntries(3, QStringLiteral("A"))
                 + numberedEntries(2, QStringLiteral("b"))
                 + numberedEntries(1, QStringLiteral("c")));
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(fixture.errors, QStringList());
    // Nobody can rename a lesson in place.
    QCOMPARE(form.ListView1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestLessonList::nonLessonsAreNotListed()
{
    WindowFixture fixture;
    writeBytes(fixture.work.filePath(QStringLiteral("latin1.txt")),
               "fran\xe7"
               "ais\r\n");
    writeBytes(fixture.work.filePath(QStringLiteral("utf8.txt")),
               "\xEF\xBB\xBF"
               "fran\xc3\xa7"
               "ais\r\n");
    writeBytes(fixture.work.filePath(QStringLiteral("utf8nobom.txt")), "\xc3\xa7\r\n");
    writeBytes(fixture.work.filePath(QStringLiteral("bigendian.txt")),
               QByteArray("\xFE\xFF\x80\x01", 4));
    writeBytes(fixture.work.filePath(QStringLiteral("reversed.txt")),
               QByteArray("\xFE\xFE\x01\x80", 4));
    writeBytes(fixture.work.filePath(QStringLiteral("lesson.md")),
               lessonBytes({QStringLiteral("x\ty\tz")}));
    fixture.addLesson(QStringLiteral("ok.txt"), numberedLines(2, QStringLiteral("k")));
    TForm1 &form = fixture.start(false);

    QCOMPARE(captions(form.ListView1), QStringList {QStringLiteral("ok.txt")});
    QCOMPARE(entries(form), numberedEntries(2, QStringLiteral("k")));
    QCOMPARE(fixture.errors, QStringList());
}

void TestLessonList::nameThatIsNotTextStillLoads()
{
    WindowFixture fixture;
    // "leçon.txt" with the 8-bit "ç": the caption cannot show the byte, the file is opened all the
    // same.
    const QByteArray bytes = lessonBytes(numberedLines(2, QStringLiteral("l")));
    const int fd = ::open("le\xe7on.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    // The temporary directory cannot remove a name it cannot decode.
    const auto removeIt = qScopeGuard([] { ::unlink("le\xe7on.txt"); });
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
    fixture.addLesson(QStringLiteral("m.txt"), numberedLines(1, QStringLiteral("m")));
    TForm1 &form = fixture.start(false);

    QCOMPARE(form.ListView1->count(), 2);
    QVERIFY(form.ListView1->item(0)->text().startsWith(QStringLiteral("le")));
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("l")) + numberedEntries(1, QStringLiteral("m")));
    QCOMPARE(fixture.errors, QStringList());
}

void TestLessonList::entriesThatCannotBeLessonsArePassedOver()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(1, QStringLiteral("a")));
    QVERIFY(QDir(fixture.work.path()).mkdir(QStringLiteral("b.txt")));
    writeBytes(fixture.work.filePath(QStringLiteral("c.txt")), QByteArray());
    writeBytes(fixture.work.filePath(QStringLiteral("d.txt")), QByteArray("\xFF", 1));
    QVERIFY(
        mkfifo(QFile::encodeName(fixture.work.filePath(QStringLiteral("e.txt"))).constData(), 0644)
        == 0);
    // A Unix socket, bound by a name relative to the working directory.
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(socketFd >= 0);
    const auto closeSocket = qScopeGuard([socketFd] { ::close(socketFd); });
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "f.txt");
    QVERIFY(::bind(socketFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0);
    fixture.addLesson(QStringLiteral("z.txt"), numberedLines(2, QStringLiteral("z")));
    TForm1 &form = fixture.start(false);

    QCOMPARE(captions(form.ListView1), (QStringList {"a.txt", "z.txt"}));
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(2, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(1, QStringLiteral("a")) + numberedEntries(2, QStringLiteral("z")));
    QCOMPARE(fixture.errors, QStringList());
    // Start-up went on to its end.
    QCOMPARE(form.Caract_ch->caption(), QString());
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
}

void TestLessonList::unopenableEntryIsReportedAndPassedOver_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("dangling link")
        << QStringLiteral("link") << QStringLiteral("Fichier introuvable.");
    QTest::newRow("no read permission")
        << QStringLiteral("mode 000") << QStringLiteral("Accès au fichier refusé.");
}

void TestLessonList::unopenableEntryIsReportedAndPassedOver()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);

    WindowFixture fixture;
    const PermissionBitsBind bind;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(1, QStringLiteral("a")));
    const QByteArray bad = QFile::encodeName(fixture.work.filePath(QStringLiteral("b.txt")));
    if (kind == QLatin1String("link")) {
        QVERIFY(symlink("nowhere.bin", bad.constData()) == 0);
    } else {
        fixture.addLesson(QStringLiteral("b.txt"), numberedLines(1, QStringLiteral("b")));
        QVERIFY(chmod(bad.constData(), 0) == 0);
        const int probe = open(bad.constData(), O_RDONLY);
        if (probe >= 0) {
            close(probe);
            SKIP_OR_FAIL_IN_CI("permission bits are not enforced for this user");
        }
    }
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    TForm1 &form = fixture.start(false);

    QCOMPARE(fixture.errors, QStringList {message + QStringLiteral("\n« b.txt »")});
    QCOMPARE(captions(form.ListView1), (QStringList {"a.txt", "c.txt"}));
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(2, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(1, QStringLiteral("a")) + numberedEntries(2, QStringLiteral("c")));
    QCOMPARE(form.question->caption(), QString());
}

void TestLessonList::untickAllEmptiesTheLists_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
}

void TestLessonList::untickAllEmptiesTheLists()
{
    QFETCH(bool, fromMenu);

    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(3, QStringLiteral("b")));
    TForm1 &form = fixture.start();
    markLearningState(form);

    if (fromMenu) {
        QCOMPARE(form.outdslectionner1->text(), QStringLiteral("Tout &désélectionner"));
        form.outdslectionner1->trigger();
    } else {
        QTest::mouseClick(form.Button3, Qt::LeftButton);
    }

    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(2, Qt::Unchecked));
    QCOMPARE(form.Liste_ch.count(), 0);
    QCOMPARE(form.Liste_pin.count(), 0);
    QCOMPARE(form.Liste_fr.count(), 0);
    // The room the lessons took is given back.
    for (const WordList *list : {&form.Liste_ch, &form.Liste_pin, &form.Liste_fr})
        QCOMPARE(list->roomBytes(), std::size_t(0));
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());
    QCOMPARE(fixture.errors, QStringList());
}

void TestLessonList::commandWithNothingToChangeDoesNothing_data()
{
    QTest::addColumn<bool>("tickAll");
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("Tout sélectionner, all ticked, button") << true << false;
    QTest::newRow("Tout sélectionner, all ticked, menu") << true << true;
    QTest::newRow("Tout désélectionner, none ticked, button") << false << false;
    QTest::newRow("Tout désélectionner, none ticked, menu") << false << true;
}

void TestLessonList::commandWithNothingToChangeDoesNothing()
{
    QFETCH(bool, tickAll);
    QFETCH(bool, fromMenu);

    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(1, QStringLiteral("b")));
    TForm1 &form = fixture.start();
    if (!tickAll)
        form.Button3Click();
    const QStringList before = entries(form);
    const QList<Qt::CheckState> ticksBefore = ticks(form.ListView1);
    markLearningState(form);

    if (fromMenu)
        (tickAll ? form.outslectionner1 : form.outdslectionner1)->trigger();
    else
        QTest::mouseClick(tickAll ? form.Button1 : form.Button3, Qt::LeftButton);

    QCOMPARE(ticks(form.ListView1), ticksBefore);
    QCOMPARE(entries(form), before);
    QCOMPARE(form.Liste_ch.tag, 3);
    QCOMPARE(form.compteur->caption(), QStringLiteral("4/ 9"));
}

void TestLessonList::returnOnAFocusedButtonClicksIt_data()
{
    QTest::addColumn<bool>("tickAll");
    QTest::newRow("Tout sélectionner") << true;
    QTest::newRow("Tout désélectionner") << false;
}

void TestLessonList::returnOnAFocusedButtonClicksIt()
{
    QFETCH(bool, tickAll);

    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(3, QStringLiteral("b")));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    if (tickAll)
        form.Button3Click();
    QPushButton *button = tickAll ? form.Button1 : form.Button3;
    button->setFocus();
    QCOMPARE(QApplication::focusWidget(), button);

    QTest::keyClick(button, Qt::Key_Return);

    const Qt::CheckState state = tickAll ? Qt::Checked : Qt::Unchecked;
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(2, state));
    QCOMPARE(form.Liste_ch.count(), tickAll ? 5 : 0);
}

void TestLessonList::tickAllLoadsInListOrder()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(1, QStringLiteral("b")));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    TForm1 &form = fixture.start();
    form.Button3Click();
    // Ticked back in another order than the list's.
    form.ListView1->item(2)->setCheckState(Qt::Checked);
    QCOMPARE(entries(form), numberedEntries(2, QStringLiteral("c")));
    markLearningState(form);

    form.outslectionner1->trigger();

    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(3, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + numberedEntries(1, QStringLiteral("b"))
                 + numberedEntries(2, QStringLiteral("c")));
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());
}

void TestLessonList::clickingANameRebuilds()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(2, QStringLiteral("b")));
    TForm1 &form = fixture.start();
    const QStringList before = entries(form);
    markLearningState(form);

    clickName(form.ListView1, 1);

    QCOMPARE(form.ListView1->currentRow(), 1);
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(2, Qt::Checked));
    QCOMPARE(entries(form), before);
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());

    // A lesson changed on disk is read again by the rebuild a selection makes.
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(1, QStringLiteral("n")));
    clickName(form.ListView1, 0);
    QCOMPARE(entries(form),
             numberedEntries(1, QStringLiteral("n")) + numberedEntries(2, QStringLiteral("b")));
    QCOMPARE(fixture.errors, QStringList());
}

void TestLessonList::clickingACheckBoxUnticks()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(3, QStringLiteral("b")));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(1, QStringLiteral("c")));
    TForm1 &form = fixture.start();
    markLearningState(form);

    clickCheckBox(form.ListView1, 1);

    QCOMPARE(ticks(form.ListView1),
             (QList<Qt::CheckState> {Qt::Checked, Qt::Unchecked, Qt::Checked}));
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + numberedEntries(1, QStringLiteral("c")));
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());

    clickCheckBox(form.ListView1, 1);
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(3, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + numberedEntries(3, QStringLiteral("b"))
                 + numberedEntries(1, QStringLiteral("c")));
    QCOMPARE(fixture.errors, QStringList());
}

void TestLessonList::spaceTogglesTheCurrentLesson()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(1, QStringLiteral("b")));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    clickName(form.ListView1, 0);
    QCOMPARE(form.ListView1->currentRow(), 0);

    QTest::keyClick(form.ListView1, Qt::Key_Space);

    QCOMPARE(ticks(form.ListView1), (QList<Qt::CheckState> {Qt::Unchecked, Qt::Checked}));
    QCOMPARE(entries(form), numberedEntries(1, QStringLiteral("b")));
}

void TestLessonList::deletedLessonIsReportedAndTheOthersLoad()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(1, QStringLiteral("b")));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    TForm1 &form = fixture.start();
    QVERIFY(QFile::remove(fixture.work.filePath(QStringLiteral("b.txt"))));
    clickCheckBox(form.ListView1, 2);
    fixture.errors.clear();
    markLearningState(form);

    clickCheckBox(form.ListView1, 2);

    QCOMPARE(fixture.errors, QStringList {QStringLiteral("Fichier introuvable.\n« b.txt »")});
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(3, Qt::Checked));
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + numberedEntries(2, QStringLiteral("c")));
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.compteur->caption(), QString());

    // Unticking the lost lesson is the remedy.
    fixture.errors.clear();
    clickCheckBox(form.ListView1, 1);
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + numberedEntries(2, QStringLiteral("c")));
}

void TestLessonList::failingLessonsAreReportedOnceEach_data()
{
    QTest::addColumn<QList<int>>("failing"); // 1-based positions among five lessons
    QTest::newRow("first") << QList<int> {1};
    QTest::newRow("middle") << QList<int> {3};
    QTest::newRow("last") << QList<int> {5};
    QTest::newRow("second and fourth") << QList<int> {2, 4};
}

void TestLessonList::failingLessonsAreReportedOnceEach()
{
    QFETCH(QList<int>, failing);
    constexpr int lessonCount = 5;

    WindowFixture fixture;
    QStringList expected;
    for (int k = 1; k <= lessonCount; ++k) {
        const QString name = QStringLiteral("l%1.txt").arg(k);
        const QString prefix = QStringLiteral("L%1_").arg(k);
        if (failing.contains(k)) {
            // Two complete lines, an unfinished one, then a stray byte.
            writeBytes(fixture.work.filePath(name),
                       lessonBytes(numberedLines(2, prefix)) + utf16le(QStringLiteral("x\ty"))
                           + QByteArray("\x20", 1));
            expected += numberedEntries(2, prefix);
        } else {
            fixture.addLesson(name, numberedLines(k, prefix));
            expected += numberedEntries(k, prefix);
        }
    }
    TForm1 &form = fixture.start(false);

    // Start-up: one message per failing lesson, every other lesson loaded in list order, and the
    // steps after the rebuild ran.
    QStringList once;
    for (int k : failing)
        once.append(QStringLiteral("Lecture au-delà de la fin de fichier.\n« l%1.txt »").arg(k));
    QCOMPARE(fixture.errors, once);
    QCOMPARE(ticks(form.ListView1), QList<Qt::CheckState>(lessonCount, Qt::Checked));
    QCOMPARE(entries(form), expected);
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QVERIFY(form.RadioGroup1->isHidden());

    // Nothing to tick: nothing is read. Unticking all reads nothing either.
    fixture.errors.clear();
    form.Button1Click();
    QCOMPARE(fixture.errors, QStringList());
    form.Button3Click();
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(form.Liste_ch.count(), 0);

    // "Tout sélectionner", by the button and by the menu: one rebuild, the same messages, each
    // shown over the finished lists.
    QList<qsizetype> shownOver;
    toolkit::setErrorSink([&](const QString &text) {
        fixture.errors.append(text);
        shownOver.append(form.Liste_ch.count());
    });
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(fixture.errors, once);
    QCOMPARE(entries(form), expected);
    QCOMPARE(shownOver, QList<qsizetype>(failing.size(), expected.size()));
    fixture.errors.clear();
    form.outdslectionner1->trigger();
    form.outslectionner1->trigger();
    QCOMPARE(fixture.errors, once);
    QCOMPARE(entries(form), expected);

    // A learner's own tick still rebuilds at once, and meets the same faults.
    fixture.errors.clear();
    form.ListView1->item(0)->setCheckState(Qt::Unchecked);
    // Lesson 1, unticked, is no longer read.
    QCOMPARE(fixture.errors, failing.contains(1) ? once.mid(1) : once);
}

void TestLessonList::everyLineEndGivesThreeFields_data()
{
    QTest::addColumn<QString>("text"); // after the byte-order mark
    QTest::addColumn<QStringList>("expected");

    const QStringList two {QStringLiteral("\u8001|l\u01ceo|vieux"),
                           QStringLiteral("\u4eba|r\u00e9n|homme")};
    QTest::newRow("LF alone") << QStringLiteral(
        "\u8001\tl\u01ceo\tvieux\n\u4eba\tr\u00e9n\thomme\n")
                              << two;
    QTest::newRow("CR alone") << QStringLiteral(
        "\u8001\tl\u01ceo\tvieux\r\u4eba\tr\u00e9n\thomme\r")
                              << two;
    QTest::newRow("no final line end")
        << QStringLiteral("\u8001\tl\u01ceo\tvieux\r\n\u4eba\tr\u00e9n\thomme") << two;
    QTest::newRow("mixed line ends")
        << QStringLiteral("\u8001\tl\u01ceo\tvieux\n\u4eba\tr\u00e9n\thomme\r\nX\tY\tZ\rW")
        << two + QStringList {QStringLiteral("X|Y|Z"), QStringLiteral("W| | ")};
    QTest::newRow("blank lines of each kind skipped") << QStringLiteral(
        "\n\r\n\r\t\t\n\u8001\tl\u01ceo\tvieux\n\n\u4eba\tr\u00e9n\thomme\r\n\r\n")
                                                      << two;
}

void TestLessonList::everyLineEndGivesThreeFields()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    WindowFixture fixture;
    writeBytes(fixture.work.filePath(QStringLiteral("a.txt")), bom() + utf16le(text));
    // The next lesson starts clean whatever the last line of the first was.
    fixture.addLesson(QStringLiteral("b.txt"), {QStringLiteral("B\tb\tbb")});
    TForm1 &form = fixture.start(false);

    QCOMPARE(entries(form), expected + QStringList {QStringLiteral("B|b|bb")});
    QCOMPARE(fixture.errors, QStringList());
}

QTEST_MAIN(TestLessonList)
#include "tst_lesson_list.moc"
