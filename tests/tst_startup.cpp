#include "app/program.h"
#include "app/tform1.h"
#include "platform/ini_file.h"
#include "settings/settings.h"
#include "toolkit/classic_timer.h"
#include "toolkit/fonts.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <csignal>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Calls seen each time widget is about to paint.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *widget, std::function<void()> seen)
        : QObject(widget), m_seen(std::move(seen))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_seen();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_seen;
};

/// Object names of the ticked items of the three size submenus.
QStringList tickedSizeItems(const TForm1 &form)
{
    QStringList names;
    for (const QMenu *submenu : {form.Champschinois1, form.Champschinois2, form.Champschinois3})
        for (const QAction *item : submenu->actions())
            if (item->isChecked())
                names.append(item->objectName());
    return names;
}

/// Counts the writes that reach the settings file (or the file name) in a directory: a file
/// renamed over it or a rewrite in place, each once. Reads and temporary files do not count. With
/// IN_OPEN, its openings (each followed by its closing, so that the kernel merges no two of them).
class FileEvents
{
public:
    explicit FileEvents(const QString &directory, uint32_t counted = IN_MOVED_TO | IN_CLOSE_WRITE,
                        QByteArray name = "dadorir_iruze.ini")
        : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_counted(counted), m_name(std::move(name))
    {
        const uint32_t watched = counted == IN_OPEN ? IN_OPEN | IN_CLOSE : counted;
        if (m_fd < 0
            || inotify_add_watch(m_fd, QFile::encodeName(directory).constData(), watched) < 0)
            qFatal("cannot watch the settings directory");
    }
    ~FileEvents() { ::close(m_fd); }
    FileEvents(const FileEvents &) = delete;
    FileEvents &operator=(const FileEvents &) = delete;

    int count()
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
            if (length <= 0)
                return m_count;
            for (const char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                if (event->len > 0 && (event->mask & m_counted) != 0 && m_name == event->name)
                    ++m_count;
                at += sizeof(inotify_event) + event->len;
            }
        }
    }

private:
    int m_fd;
    uint32_t m_counted;
    QByteArray m_name;
    int m_count = 0;
};

/// What the last start-up steps leave, whatever failed before them: lessons all ticked, the
/// placeholders emptied or hidden, the test page laid out and reset.
void verifyLaterStepsRan(const TForm1 &form)
{
    for (int i = 0; i < form.ListView1->count(); ++i)
        QCOMPARE(form.ListView1->item(i)->checkState(), Qt::Checked);
    QCOMPARE(form.Caract_ch->caption(), QString());
    QCOMPARE(form.Caract_pin->caption(), QString());
    QCOMPARE(form.Caract_fr->caption(), QString());
    QCOMPARE(form.question->caption(), QString());
    QCOMPARE(form.compteur->caption(), QString());
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QVERIFY(form.RadioGroup1->isHidden());
    QVERIFY(form.Solution->isHidden());
    QCOMPARE(form.RadioGroup1->geometry(), QRect(112, 58, 457, 165));
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void noSettingsFileGivesTheDesign();
    void storedDelays_data();
    void storedDelays();
    void storedSizes_data();
    void storedSizes();
    void utf8KeyIsAnotherKey();
    void refusedWriteBackDoesNotEndStartUp();
    void unreadableLessonDoesNotEndStartUp();
    void lessonsReadAheadMeetWhatInPlaceReadingMeets();
    void fontConfigurationPreloadIsWaitedForOnce();
    void startUpOpensEachLessonToProbeAndToReadOnly();
    void learnerSeesTheLearningPageFirst();
    void labelsAreLaidOutOnceWhenFirstShown();
    void settingsFileIsReadOncePerStep();
    void testPageIsLaidOutBeforeItsFirstPaint_data();
    void testPageIsLaidOutBeforeItsFirstPaint();
};

void TestStartup::noSettingsFileGivesTheDesign()
{
    WindowFixture fixture;
    FileEvents writes(fixture.exeDir.path());
    TForm1 &form = fixture.start(false);

    QCOMPARE(writes.count(), 0);
    QCOMPARE(form.ScrollBar0->value(), 0);
    QCOMPARE(form.ScrollBar1->value(), 5);
    QCOMPARE(form.ScrollBar2->value(), 7);
    QCOMPARE(form.Timer0->interval(), 1);
    QCOMPARE(form.Timer1->interval(), 2500);
    QCOMPARE(form.Timer2->interval(), 3500);
    QCOMPARE(form.Timer3->interval(), 3000);
    for (const toolkit::ClassicTimer *timer : {form.Timer0, form.Timer1, form.Timer2, form.Timer3})
        QVERIFY(!timer->enabled());
    QCOMPARE(form.Caract_ch->fontSize(), 50);
    QCOMPARE(form.Caract_pin->fontSize(), 22);
    QCOMPARE(form.Caract_fr->fontSize(), 20);
    QCOMPARE(tickedSizeItems(form), (QStringList {"N671", "N221", "N202"}));
    QCOMPARE(fixture.errors, QStringList());
    // Reads alone create nothing, not even a temporary file.
    QCOMPARE(QDir(fixture.exeDir.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QVERIFY(form.ListView1->count() == 0 && form.Liste_ch.count() == 0);
}

void TestStartup::storedDelays_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("intervals");
    QTest::addColumn<QByteArray>("after"); // the settings file after start-up

    // Blanks around "=" are the INI layer's to remove, so a write-back shows in the bytes.
    QTest::newRow("chinois 3 written back")
        << QByteArray("[Vitesse]\r\nchinois = 3\r\n") << QList<int> {3, 5, 7}
        << QList<int> {1500, 2500, 3500} << QByteArray("[Vitesse]\r\nchinois=3\r\n");
    QTest::newRow("pinyin 12 clamped to 10")
        << QByteArray("[Vitesse]\r\npinyin=12\r\n") << QList<int> {0, 10, 7}
        << QList<int> {1, 5000, 3500} << QByteArray("[Vitesse]\r\npinyin=10\r\n");
    QTest::newRow("pinyin 15 clamped to 10")
        << QByteArray("[Vitesse]\r\npinyin=15\r\n") << QList<int> {0, 10, 7}
        << QList<int> {1, 5000, 3500} << QByteArray("[Vitesse]\r\npinyin=10\r\n");
    QTest::newRow("chinois -4 clamped to the design, nothing written")
        << QByteArray("[Vitesse]\r\nchinois=-4\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\nchinois=-4\r\n");
    QTest::newRow("chinois -3 stays in the file")
        << QByteArray("[Vitesse]\r\nchinois=-3\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\nchinois=-3\r\n");
    QTest::newRow("pinyin -3 clamped to 0, written")
        << QByteArray("[Vitesse]\r\npinyin=-3\r\n") << QList<int> {0, 0, 7}
        << QList<int> {1, 1, 3500} << QByteArray("[Vitesse]\r\npinyin=0\r\n");
    QTest::newRow("fran\xc3\xa7"
                  "ais 0x3 written as 3")
        << QByteArray("[Vitesse]\r\nfran\xe7"
                      "ais=0x3\r\n")
        << QList<int> {0, 5, 3} << QList<int> {1, 2500, 1500}
        << QByteArray("[Vitesse]\r\nfran\xe7"
                      "ais=3\r\n");
    QTest::newRow("all three changed, other lines kept")
        << QByteArray("; mine\r\n[Vitesse]\r\nchinois=10\r\npinyin=0x0A\r\nfran\xe7"
                      "ais=$1\r\n[Autre]\r\nx=y\r\n")
        << QList<int> {10, 10, 1} << QList<int> {5000, 5000, 500}
        << QByteArray("; mine\r\n[Vitesse]\r\nchinois=10\r\npinyin=10\r\nfran\xe7"
                      "ais=1\r\n[Autre]\r\nx=y\r\n");
    QTest::newRow("designed values stored, nothing written")
        << QByteArray("[Vitesse]\r\nchinois = 0\r\npinyin = 5\r\nfran\xe7"
                      "ais = 7\r\n")
        << QList<int> {0, 5, 7} << QList<int> {1, 2500, 3500}
        << QByteArray("[Vitesse]\r\nchinois = 0\r\npinyin = 5\r\nfran\xe7"
                      "ais = 7\r\n");
    QTest::newRow("chinois letters")
        << QByteArray("[Vitesse]\r\nchinois=abc\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\nchinois=abc\r\n");
    QTest::newRow("chinois empty")
        << QByteArray("[Vitesse]\r\nchinois=\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\nchinois=\r\n");
    QTest::newRow("chinois 2.5") << QByteArray("[Vitesse]\r\nchinois=2.5\r\n")
                                 << QList<int> {0, 5, 7} << QList<int> {1, 2500, 3500}
                                 << QByteArray("[Vitesse]\r\nchinois=2.5\r\n");
    QTest::newRow("pinyin letters")
        << QByteArray("[Vitesse]\r\npinyin=cinq\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\npinyin=cinq\r\n");
    QTest::newRow("pinyin sign alone")
        << QByteArray("[Vitesse]\r\npinyin=-\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Vitesse]\r\npinyin=-\r\n");
    QTest::newRow("values in another section are not delays")
        << QByteArray("[Affichage]\r\nchinois=3\r\n") << QList<int> {0, 5, 7}
        << QList<int> {1, 2500, 3500} << QByteArray("[Affichage]\r\nchinois=3\r\n");
}

void TestStartup::storedDelays()
{
    QFETCH(QByteArray, stored);
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, intervals);
    QFETCH(QByteArray, after);

    WindowFixture fixture;
    fixture.writeSettings(stored);
    FileEvents writes(fixture.exeDir.path());
    TForm1 &form = fixture.start(false);

    // One write-back for each delay that differs from the designed 0, 5 and 7, none for the others.
    const QList<int> designed {0, 5, 7};
    int differing = 0;
    for (qsizetype i = 0; i < designed.size(); ++i)
        differing += positions.at(i) != designed.at(i) ? 1 : 0;
    QCOMPARE(writes.count(), differing);
    QCOMPARE(
        (QList<int> {form.ScrollBar0->value(), form.ScrollBar1->value(), form.ScrollBar2->value()}),
        positions);
    QCOMPARE(
        (QList<int> {form.Timer0->interval(), form.Timer1->interval(), form.Timer2->interval()}),
        intervals);
    QCOMPARE(fixture.settingsContent(), after);
    QCOMPARE(fixture.errors, QStringList());
    // No reveal starts from the write-backs.
    QVERIFY(!form.Timer0->isCounting() && !form.Timer1->isCounting() && !form.Timer2->isCounting());
}

void TestStartup::storedSizes_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QStringList>("ticked");

    QTest::newRow("champs_chinois 24 is off the menu")
        << QByteArray("[Affichage]\r\nchamps_chinois=24\r\n") << QList<int> {24, 22, 20}
        << QStringList {"N221", "N202"};
    QTest::newRow("champs_pinyin 24 is off the menu")
        << QByteArray("[Affichage]\r\nchamps_pinyin=24\r\n") << QList<int> {50, 24, 20}
        << QStringList {"N671", "N202"};
    QTest::newRow("sizes on the menus")
        << QByteArray("[Affichage]\r\nchamps_chinois=22\r\nchamps_pinyin=32\r\nchamps_fran\xe7"
                      "ais=16\r\n")
        << QList<int> {22, 32, 16} << QStringList {"N201", "N321", "N163"};
    QTest::newRow("pinyin size 20 ticks only the pinyin item")
        << QByteArray("[Affichage]\r\nchamps_pinyin=20\r\n") << QList<int> {50, 20, 20}
        << QStringList {"N671", "N203", "N202"};
    QTest::newRow("hexadecimal size")
        << QByteArray("[Affichage]\r\nchamps_fran\xe7"
                      "ais=0x1A\r\n")
        << QList<int> {50, 22, 26} << QStringList {"N671", "N221", "N261"};
    QTest::newRow("unconvertible sizes give the defaults")
        << QByteArray("[Affichage]\r\nchamps_chinois=grand\r\nchamps_pinyin=\r\nchamps_fran\xe7"
                      "ais=20.0\r\n")
        << QList<int> {50, 22, 20} << QStringList {"N671", "N221", "N202"};
}

void TestStartup::storedSizes()
{
    QFETCH(QByteArray, stored);
    QFETCH(QList<int>, sizes);
    QFETCH(QStringList, ticked);

    WindowFixture fixture;
    fixture.writeSettings(stored);
    FileEvents writes(fixture.exeDir.path());
    TForm1 &form = fixture.start(false);

    QCOMPARE(writes.count(), 0);
    QCOMPARE((QList<int> {form.Caract_ch->fontSize(), form.Caract_pin->fontSize(),
                          form.Caract_fr->fontSize()}),
             sizes);
    QCOMPARE(tickedSizeItems(form), ticked);
    // Sizes are only read at start-up.
    QCOMPARE(fixture.settingsContent(), stored);
    QCOMPARE(fixture.errors, QStringList());
}

void TestStartup::utf8KeyIsAnotherKey()
{
    const QByteArray utf8Key = "fran\xc3\xa7"
                               "ais";
    const QByteArray stored = "; r\xc3\xa9glages\r\n\r\n[Vitesse]\r\n" + utf8Key
        + "=3\r\n[Affichage]\r\nchamps_" + utf8Key + "=32\r\nautre = 1 \r\n";
    WindowFixture fixture;
    fixture.writeSettings(stored);
    TForm1 &form = fixture.start();

    QCOMPARE(form.ScrollBar2->value(), 7);
    QCOMPARE(form.Timer2->interval(), 3500);
    QCOMPARE(form.Caract_fr->fontSize(), 20);
    QCOMPARE(fixture.settingsContent(), stored);

    // The learner moves the French delay one step right.
    QTest::keyClick(form.ScrollBar2, Qt::Key_Right);
    QCOMPARE(form.ScrollBar2->value(), 8);
    QCOMPARE(form.Timer2->interval(), 4000);

    const QByteArray content = fixture.settingsContent();
    QCOMPARE(platform::ini::valueIn(content, "Vitesse", settings_keys::francais),
             std::optional<QByteArray>("8"));
    QCOMPARE(platform::ini::valueIn(content, "Vitesse", utf8Key), std::optional<QByteArray>("3"));
    QCOMPARE(platform::ini::valueIn(content, "Affichage", "champs_" + utf8Key),
             std::optional<QByteArray>("32"));
    // Exactly one line was added; every other line stays byte for byte, in its order.
    QByteArrayList lines = content.split('\n');
    const qsizetype added = lines.indexOf(QByteArray("fran\xe7"
                                                     "ais=8\r"));
    QVERIFY(added > lines.indexOf(QByteArray("[Vitesse]\r")));
    QVERIFY(added < lines.indexOf(QByteArray("[Affichage]\r")));
    lines.removeAt(added);
    QCOMPARE(lines.join('\n'), stored);
    QCOMPARE(fixture.errors, QStringList());
}

void TestStartup::refusedWriteBackDoesNotEndStartUp()
{
    const QByteArray stored = "[Vitesse]\r\nchinois=3\r\n";
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(3, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(2, QStringLiteral("b")));
    fixture.writeSettings(stored);
    {
        const FileSizeLimit refused(0);
        fixture.start(false);
    }
    TForm1 &form = fixture.form();

    QCOMPARE(
        fixture.errors,
        QStringList {QStringLiteral("Impossible d'écrire dans ") + fixture.settingsPath() + u'.'});
    QVERIFY(fixture.settingsPath().contains(QStringLiteral("//dadorir_iruze.ini")));
    // The change took effect for the run and the file is as it was, with no temporary left.
    QCOMPARE(form.ScrollBar0->value(), 3);
    QCOMPARE(form.Timer0->interval(), 1500);
    QCOMPARE(fixture.settingsContent(), stored);
    QCOMPARE(QDir(fixture.exeDir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("dadorir_iruze.ini")});
    // Every later step ran.
    QCOMPARE(form.ScrollBar1->value(), 5);
    QCOMPARE(form.ScrollBar2->value(), 7);
    QCOMPARE(tickedSizeItems(form), (QStringList {"N671", "N221", "N202"}));
    QCOMPARE(form.ListView1->count(), 2);
    QCOMPARE(entries(form),
             numberedEntries(3, QStringLiteral("a")) + numberedEntries(2, QStringLiteral("b")));
    verifyLaterStepsRan(form);
}

void TestStartup::unreadableLessonDoesNotEndStartUp()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    // A complete line, then a stray byte.
    writeBytes(fixture.work.filePath(QStringLiteral("b.txt")),
               lessonBytes({QStringLiteral("b0\tpb0\tfb0")}) + QByteArray("\x41", 1));
    TForm1 &form = fixture.start(false);

    // Ticking every lesson and start-up's own rebuild read it once: one message.
    const QString odd = QStringLiteral("Lecture au-delà de la fin de fichier.\n« b.txt »");
    QCOMPARE(fixture.errors, QStringList {odd});
    QCOMPARE(entries(form),
             numberedEntries(2, QStringLiteral("a")) + QStringList {QStringLiteral("b0|pb0|fb0")});
    QCOMPARE(form.Liste_ch.tag, -1);
    verifyLaterStepsRan(form);
    QVERIFY(!form.Button4->isHidden());
    QVERIFY(form.Reinitialiser->isHidden());
}

void TestStartup::lessonsReadAheadMeetWhatInPlaceReadingMeets()
{
    WindowFixture fixture;
    const PermissionBitsBind bind;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    writeBytes(fixture.work.filePath(QStringLiteral("b.txt")),
               lessonBytes({QStringLiteral("b0\tpb0\tfb0")}) + QByteArray("\x41", 1));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(1, QStringLiteral("c")));
    fixture.addLesson(QStringLiteral("d.txt"), numberedLines(3, QStringLiteral("d")));
    QVERIFY(chmod(QFile::encodeName(fixture.work.filePath(QStringLiteral("c.txt"))), 0) == 0);
    if (QFile(fixture.work.filePath(QStringLiteral("c.txt"))).open(QIODevice::ReadOnly))
        SKIP_OR_FAIL_IN_CI("permission bits are not enforced for this user");

    // The program's start-up: the listing's failure as it lists, the reading's after the rebuild.
    const QStringList expectedErrors
        = {QStringLiteral("Accès au fichier refusé.\n« c.txt »"),
           QStringLiteral("Lecture au-delà de la fin de fichier.\n« b.txt »")};
    const QStringList expectedEntries = numberedEntries(2, QStringLiteral("a"))
        + QStringList {QStringLiteral("b0|pb0|fb0")} + numberedEntries(3, QStringLiteral("d"));
    TForm1 &readAhead = fixture.start(false);
    QCOMPARE(fixture.errors, expectedErrors);
    QCOMPARE(entries(readAhead), expectedEntries);
    QCOMPARE(readAhead.ListView1->count(), 3);
    QCOMPARE(readAhead.Liste_ch.tag, -1);
    verifyLaterStepsRan(readAhead);
    // Taken by start-up's rebuild: every later one reads the files as they are then.
    QVERIFY(!readAhead.readAhead);

    // A window made without reading ahead meets the same, in the same order.
    fixture.errors.clear();
    const std::unique_ptr<TForm1> inPlace = program::makeWindows();
    QCOMPARE(fixture.errors, expectedErrors);
    QCOMPARE(entries(*inPlace), expectedEntries);
    QCOMPARE(inPlace->ListView1->count(), 3);
    verifyLaterStepsRan(*inPlace);

    // The read-ahead window's next rebuild reads the lesson as it is now.
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(1, QStringLiteral("n")));
    fixture.errors.clear();
    readAhead.ListView1->item(2)->setCheckState(Qt::Unchecked);
    QCOMPARE(entries(readAhead),
             numberedEntries(1, QStringLiteral("n")) + QStringList {QStringLiteral("b0|pb0|fb0")});
    QCOMPARE(fixture.errors,
             QStringList {QStringLiteral("Lecture au-delà de la fin de fichier.\n« b.txt »")});
}

void TestStartup::fontConfigurationPreloadIsWaitedForOnce()
{
    // Start-up waits for it before the window measures its first text, and again as it ends.
    {
        toolkit::FontConfigurationPreload preload;
        preload.wait();
        preload.wait();
    }
    {
        const toolkit::FontConfigurationPreload preload;
    }
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("Liberation Sans")));
}

void TestStartup::startUpOpensEachLessonToProbeAndToReadOnly()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(2, QStringLiteral("a")));
    FileEvents opens(fixture.work.path(), IN_OPEN, "a.txt");
    TForm1 &form = fixture.start(false);
    // Read ahead: once to see that it is a lesson, once to read it, and start-up's rebuild takes
    // what was read.
    QCOMPARE(opens.count(), 2);
    QCOMPARE(entries(form), numberedEntries(2, QStringLiteral("a")));
    // Every later rebuild reads it again.
    form.Button3Click();
    form.Button1Click();
    QCOMPARE(opens.count(), 3);
    QCOMPARE(entries(form), numberedEntries(2, QStringLiteral("a")));
}

void TestStartup::learnerSeesTheLearningPageFirst()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(4, QStringLiteral("a")));
    TForm1 &form = fixture.start();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QCOMPARE(QApplication::focusWidget(), form.Button2);
    QCOMPARE(form.PageControl1->currentIndex(), 0);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    for (const toolkit::TLabel *label :
         {form.Caract_ch, form.Caract_pin, form.Caract_fr, form.compteur}) {
        QCOMPARE(label->caption(), QString());
        QVERIFY(label->isVisible());
    }
    QVERIFY(form.Selectionner->isVisible());
    QVERIFY(!form.precedent->isVisible());
    QVERIFY(form.Alea->isChecked());
    QCOMPARE(form.Liste_ch.tag, -1);
    QCOMPARE(form.ListView1->item(0)->checkState(), Qt::Checked);

    // The test page, as the learner will find it.
    QVERIFY(form.LQ1->isChecked() && !form.LQ2->isChecked() && !form.LQ3->isChecked());
    QVERIFY(!form.LR1->isChecked() && !form.LR2->isChecked() && form.LR3->isChecked());
    QVERIFY(!form.LR1->isEnabled());
    QVERIFY(form.LR2->isEnabled() && form.LR3->isEnabled());
    QVERIFY(form.Button4->isVisibleTo(form.TabSheet2));
    QVERIFY(form.GroupBox2->isVisibleTo(form.TabSheet2));
    QVERIFY(form.GroupBox3->isVisibleTo(form.TabSheet2));
    for (const QWidget *hidden : std::initializer_list<const QWidget *> {
             form.RadioGroup1, form.Group_note, form.Solution, form.Reinitialiser, form.bonne_rep1,
             form.bonne_rep2, form.mauvaise_rep1, form.mauvaise_rep2})
        QVERIFY2(!hidden->isVisibleTo(form.TabSheet2), qPrintable(hidden->objectName()));
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QCOMPARE(form.question->caption(), QString());
    QCOMPARE(form.RadioGroup1->itemIndex(), -1);
    for (int k = 0; k < toolkit::TRadioGroup::choiceCount; ++k)
        QVERIFY(!form.RadioGroup1->choice(k)->isChecked());
    QCOMPARE(form.quiz.correctSlot(), 0);
    QCOMPARE(form.quiz.answeredCount(), 0);
    QCOMPARE(form.quiz.rightCount(), 0);
    QCOMPARE(fixture.errors, QStringList());
}

void TestStartup::settingsFileIsReadOncePerStep()
{
    WindowFixture fixture;
    // The stored values equal the designed positions: nothing is written back.
    fixture.writeSettings("[Vitesse]\r\nchinois=0\r\npinyin=5\r\nfran\xe7"
                          "ais=7\r\n[Affichage]\r\nchamps_chinois=40\r\n");
    FileEvents opens(fixture.exeDir.path(), IN_OPEN);
    TForm1 &form = fixture.start(false);
    // The three delays and the three sizes, one key each.
    QCOMPARE(opens.count(), 6);
    QCOMPARE(form.Caract_ch->fontSize(), 40);
    QCOMPARE(form.ScrollBar1->value(), 5);

    // Nothing reads it again once the window shows, nor when the about box is made.
    form.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Aproposde1->trigger();
    QCOMPARE(opens.count(), 6);
    QCOMPARE(fixture.errors, QStringList());
}

void TestStartup::labelsAreLaidOutOnceWhenFirstShown()
{
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    TForm1 &form = fixture.start(false);
    // Built and given their fonts, captions and places, but nothing laid out before it shows.
    for (const toolkit::TLabel *label : {form.Caract_ch, form.Label1, form.question, form.Solution})
        QCOMPARE(label->layoutCount(), 0);
    QCOMPARE(form.question->font().family(), QStringLiteral("SimSun"));
    QCOMPARE(form.Solution->caption(), QStringLiteral("老 Solution"));

    form.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The page shown: each of its captions once, in its own font, not first in the window's; the
    // emptied fields take no width and need no font.
    for (const toolkit::TLabel *label : {form.Label1, form.Label2, form.Label3})
        QVERIFY2(label->layoutCount() == 1, qPrintable(label->objectName()));
    QCOMPARE(form.Label1->size(), form.Label1->sizeHint());
    for (const toolkit::TLabel *label : {form.Caract_ch, form.Caract_pin, form.Caract_fr}) {
        QVERIFY2(label->layoutCount() == 0, qPrintable(label->objectName()));
        QCOMPARE(label->width(), 0);
    }
    // The hidden page waits for its first show.
    QCOMPARE(form.question->layoutCount(), 0);
    QCOMPARE(form.Solution->layoutCount(), 0);

    // Afterwards every change lays out at once, as it always did, also while hidden for its
    // reveal.
    form.Alea->click();
    form.Selectionner->click();
    QVERIFY(form.Caract_fr->isHidden());
    QCOMPARE(form.Caract_fr->layoutCount(), 1);
    QCOMPARE(form.Caract_fr->caption(), QStringLiteral("fr0"));
    QCOMPARE(form.Caract_fr->size(), form.Caract_fr->sizeHint());
    QVERIFY(form.Caract_fr->width() > 0);
    QCOMPARE(fixture.errors, QStringList());
}

void TestStartup::testPageIsLaidOutBeforeItsFirstPaint_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("by its tab, then Lancer le test") << "tab";
    QTest::newRow("by the menu's Test") << "menu";
}

void TestStartup::testPageIsLaidOutBeforeItsFirstPaint()
{
    QFETCH(QString, way);
    // French answers far too long for the page: every choice ends with "…" once laid out.
    QStringList lines;
    for (int i = 0; i < 6; ++i)
        lines.append(QStringLiteral("字%1\tpin%1\t%2").arg(i).arg(QString(300, u'm')));
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), lines);
    TForm1 &form = fixture.start();

    // What each widget held when it was first painted.
    struct FirstPaint
    {
        bool painted = false;
        bool laidOut = false;
    };
    FirstPaint question;
    FirstPaint choice;
    FirstPaint page;
    auto watch = [](QWidget *widget, FirstPaint &seen, const std::function<bool()> &laidOut) {
        return new PaintWatch(widget, [&seen, laidOut] {
            if (!seen.painted)
                seen = {true, laidOut()};
        });
    };
    watch(form.question, question, [&] {
        return form.question->layoutCount() > 0
            && form.question->size() == form.question->sizeHint();
    });
    watch(form.RadioGroup1->choice(0), choice, [&] { return form.RadioGroup1->isChoiceElided(0); });
    watch(form.TabSheet2, page, [&] {
        return form.RadioGroup1->choice(0)->font().family() == QStringLiteral("Arial")
            && form.RadioGroup1->geometry() == QRect(112, 58, 457, 165);
    });

    if (way == QStringLiteral("tab")) {
        QTabBar *tabs = form.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QTRY_VERIFY(page.painted);
        form.Button4->click();
    } else {
        form.Test1->trigger();
    }
    QCOMPARE(form.PageControl1->currentIndex(), 1);
    QTRY_VERIFY(choice.painted && question.painted);
    QVERIFY(page.painted && page.laidOut);
    QVERIFY(question.laidOut);
    QVERIFY(choice.laidOut);
    QCOMPARE(fixture.errors, QStringList());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
