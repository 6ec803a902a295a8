#include "app/tform1.h"
#include "core/random.h"
#include "toolkit/classic_timer.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"
#include "toolkit/scroll_bar.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Entry = QStringList; ///< Chinese, pinyin, French

QList<Entry> wordEntries(const TForm1 &form)
{
    QList<Entry> list;
    for (qsizetype i = 0; i < form.Liste_ch.count(); ++i)
        list.append({form.Liste_ch.item(i), form.Liste_pin.item(i), form.Liste_fr.item(i)});
    return list;
}

QList<Entry> numberedWordEntries(int n, const QString &prefix)
{
    QList<Entry> list;
    for (const QString &line : numberedLines(n, prefix))
        list.append(line.split(u'\t'));
    return list;
}

/// Equal lengths, no empty element, the current card inside the lists or -1.
void verifyInvariants(const TForm1 &form)
{
    const qsizetype count = form.Liste_ch.count();
    QCOMPARE(form.Liste_pin.count(), count);
    QCOMPARE(form.Liste_fr.count(), count);
    for (const WordList *list : {&form.Liste_ch, &form.Liste_pin, &form.Liste_fr})
        for (qsizetype i = 0; i < count; ++i)
            QVERIFY2(!list->view(i).isEmpty(), qPrintable(QString::number(i)));
    QVERIFY(form.Liste_ch.tag >= -1 && form.Liste_ch.tag < count);
}

/// Bytes of every kind from a fixed seed.
QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

/// Random code units, a third of them TAB, CR, LF, NUL, a byte-order mark or half a surrogate pair,
/// so that the garbage has lines and fields.
QByteArray randomUnits(qsizetype count, quint32 seed)
{
    static constexpr char16_t special[] = {u'\t', u'\r', u'\n', 0, 0xFEFF, 0xD800, 0xDC00, u' '};
    QRandomGenerator generator(seed);
    QString text;
    for (qsizetype i = 0; i < count; ++i)
        text.append(QChar(generator.bounded(3) == 0 ? special[generator.bounded(8)]
                                                    : char16_t(generator.bounded(0x10000))));
    return utf16le(text);
}

/// Sets or clears the immutable attribute, which binds root as well; false where the file system
/// or the user cannot.
bool setImmutable(const QByteArray &path, bool on)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

/// Whether a write into path (a file) or a new file in it (a directory) is refused.
bool writeRefused(const QByteArray &path, bool directory)
{
    if (!directory) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        return fd < 0;
    }
    const QByteArray probe = path + "/probe";
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return true;
    ::close(fd);
    ::unlink(probe.constData());
    return false;
}

/// Makes a file or a directory read-only while it lives: permission bits where they bind, else
/// the immutable attribute (for root). ok() is false where neither can be had.
class ReadOnly
{
public:
    ReadOnly(const QString &path, bool directory)
        : m_path(QFile::encodeName(path)), m_directory(directory)
    {
        ::chmod(m_path.constData(), directory ? 0555 : 0444);
        if (writeRefused(m_path, directory)) {
            m_ok = true;
            return;
        }
        m_immutable = setImmutable(m_path, true);
        m_ok = m_immutable && writeRefused(m_path, directory);
    }
    ~ReadOnly()
    {
        if (m_immutable)
            setImmutable(m_path, false);
        ::chmod(m_path.constData(), m_directory ? 0755 : 0644);
    }
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;

    bool ok() const { return m_ok; }

private:
    QByteArray m_path;
    bool m_directory;
    bool m_immutable = false;
    bool m_ok = false;
};

QStringList filesIn(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

/// The three delay bars' positions: Chinese, pinyin, French.
QList<int> delayBars(const TForm1 &form)
{
    return {form.ScrollBar0->value(), form.ScrollBar1->value(), form.ScrollBar2->value()};
}

/// Starts beside one lesson of six entries, on a settings file holding stored.
TForm1 &startOnSettings(WindowFixture &fixture, const QByteArray &stored)
{
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    fixture.writeSettings(stored);
    return fixture.start();
}

/// Settings that give nothing: the designed delays and sizes, no message, the file untouched.
void verifyDesignedAndUntouched(WindowFixture &fixture, const QByteArray &stored)
{
    const TForm1 &form = fixture.form();
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(delayBars(form), (QList<int> {0, 5, 7}));
    QCOMPARE((QList<int> {form.Caract_ch->fontSize(), form.Caract_pin->fontSize(),
                          form.Caract_fr->fontSize()}),
             (QList<int> {50, 22, 20}));
    QVERIFY(fixture.settingsContent() == stored);
}

/// The learner can still work: "Suivant" shows an entry of the word lists, and "Lancer le test"
/// asks a question (or, with fewer than six entries, says why not) that a click answers.
void verifyUsable(WindowFixture &fixture)
{
    TForm1 &form = fixture.form();
    const QStringList errorsBefore = fixture.errors;
    programRandom().setSeed(7);

    form.PageControl1->setCurrentWidget(form.TabSheet1);
    QTest::mouseClick(form.Selectionner, Qt::LeftButton);
    QVERIFY(form.Liste_ch.count() > 0);
    const Entry shown {form.Caract_ch->caption(), form.Caract_pin->caption(),
                       form.Caract_fr->caption()};
    QVERIFY2(wordEntries(form).contains(shown), qPrintable(shown.join(u'|')));
    QVERIFY(form.Timer0->enabled() && form.Timer1->enabled() && form.Timer2->enabled());

    form.PageControl1->setCurrentWidget(form.TabSheet2);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
    if (form.Liste_ch.count() < 6) {
        QCOMPARE(fixture.plainMessages.size(), 1);
        fixture.plainMessages.clear();
        QVERIFY(!form.Button4->isHidden());
    } else {
        QCOMPARE(fixture.plainMessages, QStringList());
        QVERIFY(form.RadioGroup1->isVisible());
        QVERIFY(!form.question->caption().isEmpty());
        form.RadioGroup1->choice(form.quiz.correctSlot())->click();
        QCOMPARE(form.note->caption(), QStringLiteral("1 / 1"));
        QVERIFY(form.bonne_rep1->isVisible());
        form.Timer3Timer();
        QVERIFY(!form.Timer3->enabled());
        QVERIFY(form.RadioGroup1->isVisible());
        QTest::mouseClick(form.Reinitialiser, Qt::LeftButton);
        QVERIFY(form.RadioGroup1->isHidden());
    }
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    QCOMPARE(fixture.errors, errorsBefore);
}

constexpr qsizetype megabyte = qsizetype(1) << 20;

const QString readPastEnd = QStringLiteral("Lecture au-delà de la fin de fichier.");

/// A failure's report: its message, then the lesson's name on a line of its own.
QString failure(const QString &message, const QString &lesson = QStringLiteral("b.txt"))
{
    return message + QStringLiteral("\n« ") + lesson + QStringLiteral(" »");
}

/// The settings file as a learner's editor may have left it: section, keys and line ends chosen by
/// the caller.
QByteArray bigSettings(qsizetype size, const QByteArray &middle, const QByteArray &end)
{
    QByteArray half;
    half.reserve(size / 2 + 64);
    half += "[Autre]\r\n";
    for (int i = 0; half.size() < size / 2; ++i)
        half += "cle" + QByteArray::number(i) + "=valeur " + QByteArray::number(i) + "\r\n";
    return half + middle + half + end;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void badLessonFile_data();
    void badLessonFile();
    void hugeLessonLoads();
    void lessonChangedAfterStartUp_data();
    void lessonChangedAfterStartUp();
    void lessonNameThatIsNotUtf8();
    void settingsFileKeepsEveryOtherByte_data();
    void settingsFileKeepsEveryOtherByte();
    void binarySettingsFile_data();
    void binarySettingsFile();
    void settingsFileTooLargeOrUtf16_data();
    void settingsFileTooLargeOrUtf16();
    void refusedSettingsWrite_data();
    void refusedSettingsWrite();
};

// ---------------------------------------------------------------------------------------------
// Lesson files

void TestBadInput::badLessonFile_data()
{
    QTest::addColumn<QString>("kind"); // "file", "directory" or "unreadable"
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QStringList>("startUpErrors");

    // The bad lesson sits second of three; an odd one fails start-up's one rebuild, once.
    const QStringList odd {failure(readPastEnd)};
    QByteArray noMark = randomBytes(4096, 11);
    noMark[0] = 'x';
    QTest::newRow("empty") << "file" << QByteArray() << false << QStringList();
    QTest::newRow("one byte") << "file" << QByteArray("\xFF", 1) << false << QStringList();
    QTest::newRow("mark and one byte") << "file" << bom() + 'A' << true << odd;
    QTest::newRow("complete lines then an odd byte")
        << "file" << lessonBytes(numberedLines(2, QStringLiteral("b"))) + 'A' << true << odd;
    QTest::newRow("random bytes after FF FE")
        << "file" << bom() + randomBytes(4096, 12) << true << QStringList();
    QTest::newRow("random bytes after FF FE, odd length")
        << "file" << bom() + randomBytes(4095, 13) << true << odd;
    QTest::newRow("random units rich in separators after FF FE")
        << "file" << bom() + randomUnits(3000, 14) << true << QStringList();
    QTest::newRow("NUL units after FF FE")
        << "file" << bom() + QByteArray(1000, '\0') << true << QStringList();
    QTest::newRow("random bytes without FF FE") << "file" << noMark << false << QStringList();
    QTest::newRow("directory named b.txt") << "directory" << QByteArray() << false << QStringList();
    QTest::newRow("unreadable") << "unreadable" << lessonBytes(numberedLines(2, "b")) << false
                                << QStringList {
                                       failure(QStringLiteral("Accès au fichier refusé."))};
}

void TestBadInput::badLessonFile()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, listed);
    QFETCH(QStringList, startUpErrors);

    WindowFixture fixture;
    // Root reads any file unless its permission bits are made to bind.
    const PermissionBitsBind bind;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    const QString bad = fixture.work.filePath(QStringLiteral("b.txt"));
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(bad));
    } else {
        writeBytes(bad, bytes);
        if (kind == QLatin1String("unreadable")) {
            QVERIFY(::chmod(QFile::encodeName(bad).constData(), 0) == 0);
        }
    }
    TForm1 &form = fixture.start();

    QCOMPARE(fixture.errors, startUpErrors);
    QCOMPARE(form.ListView1->count(), listed ? 3 : 2);
    for (int i = 0; i < form.ListView1->count(); ++i)
        QCOMPARE(form.ListView1->item(i)->checkState(), Qt::Checked);
    QList<Entry> expected = numberedWordEntries(6, QStringLiteral("a"));
    if (listed)
        expected += referenceRead(bytes).entries;
    // A failing lesson does not hold back the one after it.
    expected += numberedWordEntries(2, QStringLiteral("c"));
    QCOMPARE(wordEntries(form), expected);
    verifyInvariants(form);
    // Start-up went on to its end.
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    QVERIFY(form.RadioGroup1->isHidden());

    fixture.errors.clear();
    verifyUsable(fixture);
}

void TestBadInput::hugeLessonLoads()
{
    // 20 MB of entries "大0000000", "da0000000", "grand 0000000" and so on.
    constexpr int count = 330'000;
    QByteArray bytes = bom();
    bytes.reserve(qsizetype(count) * 64 + 2);
    for (int i = 0; i < count; ++i) {
        const QByteArray digits = QByteArray::number(i).rightJustified(7, '0');
        const QString line
            = QStringLiteral("\u5927%1\tda%1\tgrand %1\r\n").arg(QLatin1String(digits));
        bytes += utf16le(line);
    }
    QVERIFY(bytes.size() >= 20 * megabyte);

    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(3, QStringLiteral("a")));
    writeBytes(fixture.work.filePath(QStringLiteral("b.txt")), bytes);
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    bytes.clear();
    TForm1 &form = fixture.start();

    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(form.Liste_ch.count(), 3 + count + 2);
    verifyInvariants(form);
    QCOMPARE(form.Liste_ch.item(2), QStringLiteral("a2"));
    QCOMPARE(form.Liste_ch.item(3), QStringLiteral("\u59270000000"));
    QCOMPARE(form.Liste_pin.item(3 + count / 2),
             QStringLiteral("da%1").arg(count / 2, 7, 10, QChar(u'0')));
    QCOMPARE(form.Liste_fr.item(3 + count - 1),
             QStringLiteral("grand %1").arg(count - 1, 7, 10, QChar(u'0')));
    QCOMPARE(form.Liste_ch.item(3 + count), QStringLiteral("c0"));
    verifyUsable(fixture);

    // Unticked and ticked back: each rebuild starts from empty lists.
    form.ListView1->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(wordEntries(form),
             numberedWordEntries(3, QStringLiteral("a"))
                 + numberedWordEntries(2, QStringLiteral("c")));
    form.ListView1->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(form.Liste_fr.count(), 3 + count + 2);
    QCOMPARE(fixture.errors, QStringList());
}

void TestBadInput::lessonChangedAfterStartUp_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("rebuildErrors");
    QTest::addColumn<QList<Entry>>("fromB"); // what the rebuild loads of the changed lesson

    const QList<Entry> none;
    QTest::newRow("deleted") << "delete"
                             << QStringList {failure(QStringLiteral("Fichier introuvable."))}
                             << none;
    QTest::newRow("edited") << "edit" << QStringList()
                            << numberedWordEntries(4, QStringLiteral("n"));
    QTest::newRow("emptied") << "empty" << QStringList() << none;
    QTest::newRow("cut to an odd length") << "odd" << QStringList {failure(readPastEnd)}
                                          << numberedWordEntries(1, QStringLiteral("n"));
    QTest::newRow("replaced by a directory")
        << "directory" << QStringList {failure(QStringLiteral("Accès au fichier refusé."))} << none;
    QTest::newRow("made unreadable")
        << "unreadable" << QStringList {failure(QStringLiteral("Accès au fichier refusé."))}
        << none;
}

void TestBadInput::lessonChangedAfterStartUp()
{
    QFETCH(QString, change);
    QFETCH(QStringList, rebuildErrors);
    QFETCH(QList<Entry>, fromB);

    WindowFixture fixture;
    const PermissionBitsBind bind;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    fixture.addLesson(QStringLiteral("b.txt"), numberedLines(2, QStringLiteral("b")));
    fixture.addLesson(QStringLiteral("c.txt"), numberedLines(2, QStringLiteral("c")));
    TForm1 &form = fixture.start();
    QCOMPARE(form.Liste_ch.count(), 10);

    const QString b = fixture.work.filePath(QStringLiteral("b.txt"));
    if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(b));
    } else if (change == QLatin1String("edit")) {
        fixture.addLesson(QStringLiteral("b.txt"), numberedLines(4, QStringLiteral("n")));
    } else if (change == QLatin1String("empty")) {
        writeBytes(b, QByteArray());
    } else if (change == QLatin1String("odd")) {
        writeBytes(b, lessonBytes(numberedLines(1, QStringLiteral("n"))) + "\x0A");
    } else if (change == QLatin1String("directory")) {
        QVERIFY(QFile::remove(b) && QDir().mkdir(b));
    } else {
        QVERIFY(::chmod(QFile::encodeName(b).constData(), 0) == 0);
    }
    // The learner selects the first lesson's name: one rebuild, which reads the files anew.
    clickName(form.ListView1, 0);

    QCOMPARE(fixture.errors, rebuildErrors);
    QCOMPARE(form.ListView1->count(), 3);
    const QList<Entry> expected = numberedWordEntries(6, QStringLiteral("a")) + fromB
        + numberedWordEntries(2, QStringLiteral("c"));
    QCOMPARE(wordEntries(form), expected);
    verifyInvariants(form);
    QCOMPARE(form.Liste_ch.tag, -1);

    // Unticking the changed lesson is the remedy.
    fixture.errors.clear();
    form.ListView1->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(wordEntries(form),
             numberedWordEntries(6, QStringLiteral("a"))
                 + numberedWordEntries(2, QStringLiteral("c")));
    verifyUsable(fixture);
}

void TestBadInput::lessonNameThatIsNotUtf8()
{
    WindowFixture fixture;
    // "leçon.txt" with the 8-bit "ç": not text in a UTF-8 locale.
    const char *const name = "le\xE7on.txt";
    const auto writeRaw = [name](const QByteArray &bytes) {
        const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written
            = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        if (fd >= 0)
            ::close(fd);
        return written;
    };
    // Declared after the fixture, so it runs first: the temporary directory cannot remove a name
    // it cannot decode.
    const auto removeIt = qScopeGuard([name] { ::unlink(name); });
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    QVERIFY(writeRaw(lessonBytes(numberedLines(3, QStringLiteral("l")))));
    fixture.addLesson(QStringLiteral("m.txt"), numberedLines(1, QStringLiteral("m")));
    TForm1 &form = fixture.start();

    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(form.ListView1->count(), 3);
    QVERIFY(form.ListView1->item(1)->text().startsWith(QStringLiteral("le")));
    QVERIFY(form.ListView1->item(1)->text().endsWith(QStringLiteral("on.txt")));
    QCOMPARE(wordEntries(form),
             numberedWordEntries(6, QStringLiteral("a"))
                 + numberedWordEntries(3, QStringLiteral("l"))
                 + numberedWordEntries(1, QStringLiteral("m")));

    // Later rebuilds open it by the same bytes: they read what it holds then.
    QVERIFY(writeRaw(lessonBytes(numberedLines(2, QStringLiteral("k")))));
    clickName(form.ListView1, 1);
    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE(wordEntries(form),
             numberedWordEntries(6, QStringLiteral("a"))
                 + numberedWordEntries(2, QStringLiteral("k"))
                 + numberedWordEntries(1, QStringLiteral("m")));
    verifyUsable(fixture);

    // Gone from disk: "Fichier introuvable" names exactly that file.
    QVERIFY(::unlink(name) == 0);
    clickName(form.ListView1, 0);
    QCOMPARE(fixture.errors,
             QStringList {failure(QStringLiteral("Fichier introuvable."),
                                  QFile::decodeName(QByteArray(name)))});
    QCOMPARE(wordEntries(form),
             numberedWordEntries(6, QStringLiteral("a"))
                 + numberedWordEntries(1, QStringLiteral("m")));
}

// ---------------------------------------------------------------------------------------------
// Settings files

void TestBadInput::settingsFileKeepsEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QList<int>>("positions"); // delays read at start-up
    QTest::addColumn<QList<int>>("sizes"); // font sizes read at start-up
    QTest::addColumn<int>("bar"); // the delay the learner moves one step right
    QTest::addColumn<QByteArray>("after"); // the whole file afterwards

    const QByteArray utf8Keys("[Vitesse]\r\nfran\xC3\xA7"
                              "ais=2\r\nfran\xE7"
                              "ais=4\r\n[Affichage]\r\nchamps_fran\xC3\xA7"
                              "ais=32\r\n");
    QTest::newRow("UTF-8 \xC3\xA7 keys beside the 8-bit ones")
        << utf8Keys << QList<int> {0, 5, 4} << QList<int> {50, 22, 20} << 2
        << QByteArray(utf8Keys).replace("\xE7"
                                        "ais=4",
                                        "\xE7"
                                        "ais=5");

    // A repeated section reads as one and the first of repeated keys wins; the write goes to
    // that line, so it is the value found at the next start.
    const QByteArray duplicates = "[Vitesse]\r\npinyin=3\r\npinyin=9\r\n[Affichage]\r\n"
                                  "champs_pinyin=26\r\n[vitesse]\r\nPINYIN=8\r\nchinois=2\r\n"
                                  "[AFFICHAGE]\r\nchamps_pinyin=32\r\n";
    QTest::newRow("duplicate sections and keys")
        << duplicates << QList<int> {2, 3, 7} << QList<int> {50, 26, 20} << 1
        << QByteArray(duplicates).replace("\npinyin=3\r", "\npinyin=4\r");

    const QByteArray crlf = "; mes r\xE9glages\r\n[Vitesse]\r\nchinois=1\r\npinyin=3\r\n\r\n"
                            "[Affichage]\r\nchamps_chinois=30\r\n";
    QTest::newRow("CR LF, key replaced") << crlf << QList<int> {1, 3, 7} << QList<int> {30, 22, 20}
                                         << 0 << QByteArray(crlf).replace("chinois=1", "chinois=2");
    QTest::newRow("CR LF, section added")
        << QByteArray("[Affichage]\r\nchamps_chinois=30\r\n") << QList<int> {0, 5, 7}
        << QList<int> {30, 22, 20} << 1
        << QByteArray("[Affichage]\r\nchamps_chinois=30\r\n[Vitesse]\r\npinyin=6\r\n");
    const QByteArray lf = QByteArray(crlf).replace("\r\n", "\n");
    QTest::newRow("LF, key replaced") << lf << QList<int> {1, 3, 7} << QList<int> {30, 22, 20} << 1
                                      << QByteArray(lf).replace("pinyin=3", "pinyin=4");
    QTest::newRow("LF, key added")
        << QByteArray("[Vitesse]\nchinois=1\n[Affichage]\nchamps_chinois=30\n")
        << QList<int> {1, 5, 7} << QList<int> {30, 22, 20} << 2
        << QByteArray("[Vitesse]\nchinois=1\nfran\xE7"
                      "ais=8\n[Affichage]\nchamps_chinois=30\n");

    // Random bytes with NUL around the keys: the keys are found and only their line changes.
    const QByteArray inGarbage
        = randomBytes(2048, 21) + "\r\n[Vitesse]\r\npinyin=3\r\n" + randomBytes(2048, 22);
    QTest::newRow("keys among random bytes")
        << inGarbage << QList<int> {0, 3, 7} << QList<int> {50, 22, 20} << 1
        << QByteArray(inGarbage).replace("\npinyin=3\r", "\npinyin=4\r");

    // Just under the 1 MB cap: the delays halfway, a size at the very end (without a final line
    // end); the chinois delay is written back at start-up with the same bytes.
    const QByteArray big = bigSettings(megabyte - 4096, "[Vitesse]\r\nchinois=2\r\npinyin=3\r\n",
                                       "[Affichage]\r\nchamps_pinyin=26");
    QTest::newRow("just under 1 MB") << big << QList<int> {2, 3, 7} << QList<int> {50, 26, 20} << 1
                                     << QByteArray(big).replace("\npinyin=3\r", "\npinyin=4\r");
    const QByteArray oneLine(megabyte - 4096, 'x');
    QTest::newRow("just under 1 MB on one line")
        << oneLine << QList<int> {0, 5, 7} << QList<int> {50, 22, 20} << 0
        << oneLine + "\r\n[Vitesse]\r\nchinois=1\r\n";
}

void TestBadInput::settingsFileKeepsEveryOtherByte()
{
    QFETCH(QByteArray, stored);
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, sizes);
    QFETCH(int, bar);
    QFETCH(QByteArray, after);

    WindowFixture fixture;
    TForm1 &form = startOnSettings(fixture, stored);
    toolkit::TScrollBar *const bars[] = {form.ScrollBar0, form.ScrollBar1, form.ScrollBar2};

    QCOMPARE(fixture.errors, QStringList());
    QCOMPARE((QList<int> {bars[0]->value(), bars[1]->value(), bars[2]->value()}), positions);
    QCOMPARE((QList<int> {form.Caract_ch->fontSize(), form.Caract_pin->fontSize(),
                          form.Caract_fr->fontSize()}),
             sizes);
    QVERIFY(fixture.settingsContent() == stored);

    QTest::keyClick(bars[bar], Qt::Key_Right);
    QCOMPARE(bars[bar]->value(), positions.at(bar) + 1);
    QVERIFY2(fixture.settingsContent() == after,
             "more than the one key line changed; the file begins with "
                 + fixture.settingsContent().left(200).toPercentEncoding());
    QCOMPARE(filesIn(fixture.exeDir.path()), QStringList {QStringLiteral("dadorir_iruze.ini")});
    QCOMPARE(fixture.errors, QStringList());
    verifyUsable(fixture);

    // The next start finds the value written, and everything else as before.
    positions[bar] += 1;
    TForm1 &again = fixture.start(false);
    QCOMPARE((QList<int> {again.ScrollBar0->value(), again.ScrollBar1->value(),
                          again.ScrollBar2->value()}),
             positions);
    QCOMPARE((QList<int> {again.Caract_ch->fontSize(), again.Caract_pin->fontSize(),
                          again.Caract_fr->fontSize()}),
             sizes);
    QVERIFY(fixture.settingsContent() == after);
    QCOMPARE(fixture.errors, QStringList());
}

void TestBadInput::binarySettingsFile_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("random bytes with NUL") << randomBytes(4096, 31);
    QTest::newRow("NUL bytes only") << QByteArray(1024, '\0');
}

void TestBadInput::binarySettingsFile()
{
    QFETCH(QByteArray, stored);

    WindowFixture fixture;
    TForm1 &form = startOnSettings(fixture, stored);
    // Nothing is found: the designed values, and nothing written.
    verifyDesignedAndUntouched(fixture, stored);

    // The write keeps every byte and adds the section after them.
    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    const QByteArray content = fixture.settingsContent();
    QVERIFY2(content.startsWith(stored), "the stored bytes changed");
    const QString tail = QString::fromLatin1(content.sliced(stored.size()));
    static const QRegularExpression added(
        QStringLiteral("^(\\r\\n|\\n|\\r)?\\[Vitesse\\](\\r\\n|\\n|\\r)pinyin=6(\\r\\n|\\n|\\r)$"));
    QVERIFY2(added.match(tail).hasMatch(), qPrintable(tail.toLatin1().toPercentEncoding()));
    QCOMPARE(fixture.errors, QStringList());
    verifyUsable(fixture);

    TForm1 &again = fixture.start(false);
    QCOMPARE(again.ScrollBar1->value(), 6);
    QCOMPARE(fixture.errors, QStringList());
}

void TestBadInput::settingsFileTooLargeOrUtf16_data()
{
    QTest::addColumn<QByteArray>("stored");
    const QByteArray keys("[Vitesse]\r\npinyin=3\r\n[Affichage]\r\nchamps_pinyin=26\r\n");
    // Read whole, a file one byte past the cap would give these values: it must not be read.
    QTest::newRow("1 MB and one byte") << keys + QByteArray(megabyte + 1 - keys.size(), ';');
    QTest::newRow("UTF-16 LE") << bom() + utf16le(QString::fromLatin1(keys));
    QByteArray bigEndian("\xFE\xFF", 2);
    for (const char c : keys)
        bigEndian.append('\0').append(c);
    QTest::newRow("UTF-16 BE") << bigEndian;
}

void TestBadInput::settingsFileTooLargeOrUtf16()
{
    QFETCH(QByteArray, stored);

    WindowFixture fixture;
    TForm1 &form = startOnSettings(fixture, stored);
    // Unreadable: the designed values, the file untouched.
    verifyDesignedAndUntouched(fixture, stored);

    // Each change is refused with the usual message, never appended, and kept for the run.
    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    form.N321->trigger();
    const QString refusal
        = QStringLiteral("Impossible d'écrire dans ") + fixture.settingsPath() + u'.';
    QCOMPARE(fixture.errors, QStringList(2, refusal));
    QCOMPARE(form.ScrollBar1->value(), 6);
    QCOMPARE(form.Timer1->interval(), 6 * 500);
    QCOMPARE(form.Caract_pin->fontSize(), 32);
    QVERIFY2(fixture.settingsContent() == stored, "the unreadable file was changed");
    QCOMPARE(filesIn(fixture.exeDir.path()), QStringList {QStringLiteral("dadorir_iruze.ini")});
    fixture.errors.clear();
    verifyUsable(fixture);
}

void TestBadInput::refusedSettingsWrite_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("refused");

    // A full disk cuts the write part-way: the file must be longer than what may be written.
    QTest::newRow("full disk") << "full disk" << true;
    QTest::newRow("read-only file") << "read-only file" << true;
    QTest::newRow("read-only file in a read-only directory") << "both read-only" << true;
    // The file itself may still be rewritten where it stands.
    QTest::newRow("writable file in a read-only directory") << "read-only directory" << false;
    QTest::newRow("directory at the path") << "directory" << true;
}

void TestBadInput::refusedSettingsWrite()
{
    QFETCH(QString, place);
    QFETCH(bool, refused);

    const QByteArray stored = "; R\xE9glages de Hanlexo, \xE0 ne pas perdre\r\n[Vitesse]\r\n"
                              "pinyin=3\r\n[Affichage]\r\nchamps_pinyin=26\r\n; fin\r\n";
    const bool directory = place == QLatin1String("directory");
    WindowFixture fixture;
    fixture.addLesson(QStringLiteral("a.txt"), numberedLines(6, QStringLiteral("a")));
    if (directory)
        QVERIFY(QDir().mkpath(fixture.settingsPath()));
    else
        fixture.writeSettings(stored);

    const QString file = fixture.exeDir.filePath(QStringLiteral("dadorir_iruze.ini"));
    const PermissionBitsBind bind;
    std::optional<ReadOnly> readOnlyFile;
    std::optional<ReadOnly> readOnlyDirectory;
    if (place == QLatin1String("read-only file") || place == QLatin1String("both read-only"))
        readOnlyFile.emplace(file, false);
    if (place == QLatin1String("read-only directory") || place == QLatin1String("both read-only"))
        readOnlyDirectory.emplace(fixture.exeDir.path(), true);
    if ((readOnlyFile && !readOnlyFile->ok()) || (readOnlyDirectory && !readOnlyDirectory->ok()))
        SKIP_OR_FAIL_IN_CI("neither permission bits nor the immutable attribute bind here");
    std::optional<FileSizeLimit> fullDisk;
    if (place == QLatin1String("full disk"))
        fullDisk.emplace(rlim_t(stored.size() / 2));

    // The stored pinyin delay differs from the designed one, so start-up writes it back; a refusal
    // is reported and start-up goes on with the value read.
    TForm1 &form = fixture.start();
    const QString refusal
        = QStringLiteral("Impossible d'écrire dans ") + fixture.settingsPath() + u'.';
    QCOMPARE(fixture.errors, refused && !directory ? QStringList {refusal} : QStringList());
    QCOMPARE(form.ScrollBar1->value(), directory ? 5 : 3);
    QCOMPARE(form.Caract_pin->fontSize(), directory ? 22 : 26);
    QCOMPARE(form.Liste_ch.count(), 6);
    QCOMPARE(form.note->caption(), QStringLiteral("0 / 0"));
    fixture.errors.clear();

    // A delay and a size changed: each takes effect, each refused write is reported once.
    QTest::keyClick(form.ScrollBar1, Qt::Key_Right);
    form.N321->trigger();
    fullDisk.reset();
    const int position = directory ? 6 : 4;
    QCOMPARE(form.ScrollBar1->value(), position);
    QCOMPARE(form.Timer1->interval(), position * 500);
    QCOMPARE(form.Caract_pin->fontSize(), 32);
    QVERIFY(form.N321->isChecked());
    QCOMPARE(fixture.errors, refused ? QStringList(2, refusal) : QStringList());
    QCOMPARE(filesIn(fixture.exeDir.path()), QStringList {QStringLiteral("dadorir_iruze.ini")});
    if (directory)
        QCOMPARE(filesIn(fixture.settingsPath()), QStringList());
    else if (refused)
        QVERIFY2(fixture.settingsContent() == stored, "the previous file was not kept");
    else
        QVERIFY(fixture.settingsContent()
                == QByteArray(stored)
                       .replace("pinyin=3", "pinyin=4")
                       .replace("champs_pinyin=26", "champs_pinyin=32"));

    fixture.errors.clear();
    verifyUsable(fixture);
}

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
