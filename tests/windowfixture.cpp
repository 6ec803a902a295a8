#include "windowfixture.h"

#include "app/tform1.h"
#include "display/about_box.h"
#include "platform/error_report.h"
#include "platform/fonts.h"
#include "platform/module_path.h"

#include <QFile>
#include <QTest>

WindowFixture::WindowFixture() : m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    // Whatever a test does, the learner's own configuration directory is never reached.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(exeDir.filePath(QStringLiteral("config"))));
    platform::installFontSubstitutions();
    setExecutablePathOverride(QFile::encodeName(exeDir.filePath(QStringLiteral("hanlexo-vocab"))));
    platform::setErrorSink([this](const QString &text) { errors.append(text); });
    platform::setPlainMessageSink([this](const QString &text) { plainMessages.append(text); });
}

WindowFixture::~WindowFixture()
{
    m_form.reset();
    platform::setErrorSink({});
    platform::setPlainMessageSink({});
    setExecutablePathOverride({});
    if (m_previousConfigHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
}

void WindowFixture::addLesson(const QString &name, const QStringList &lines)
{
    writeBytes(work.filePath(name), lessonBytes(lines));
}

void WindowFixture::writeSettings(const QByteArray &content)
{
    writeBytes(exeDir.filePath(QStringLiteral("dadorir_iruze.ini")), content);
}

QByteArray WindowFixture::settingsContent() const
{
    return readBytes(exeDir.filePath(QStringLiteral("dadorir_iruze.ini")));
}

QString WindowFixture::settingsPath() const
{
    return exeDir.path() + QStringLiteral("//dadorir_iruze.ini");
}

TForm1 &WindowFixture::start(bool show)
{
    m_form = std::make_unique<TForm1>();
    m_about = new TForm2(m_form.get());
    m_form->setAboutBox(m_about);
    if (show) {
        m_form->showCentred();
        if (!QTest::qWaitForWindowExposed(m_form.get()))
            qWarning("the main window was not exposed");
    }
    return *m_form;
}

QStringList numberedLines(int n, const QString &prefix)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines.append(QStringLiteral("%1%2\tpin%2\tfr%2").arg(prefix).arg(i));
    return lines;
}

QStringList entries(const TForm1 &form)
{
    QStringList lines;
    for (qsizetype i = 0; i < form.Liste_ch.count(); ++i)
        lines.append(form.Liste_ch.item(i) + u'|' + form.Liste_pin.item(i) + u'|'
                     + form.Liste_fr.item(i));
    return lines;
}

QStringList numberedEntries(int n, const QString &prefix)
{
    QStringList lines = numberedLines(n, prefix);
    for (QString &line : lines)
        line.replace(u'\t', u'|');
    return lines;
}
