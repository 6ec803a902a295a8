#include "windowfixture.h"

#include "app/program.h"
#include "app/tform1.h"
#include "core/lesson_read_ahead.h"
#include "toolkit/fonts.h"

#include <QListWidget>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

WindowFixture::WindowFixture()
{
    if (!isValid())
        qFatal("cannot make the temporary directories");
    // Fonts only: the application keeps the suite's own name and icon, so that each window is
    // seen to set its own.
    toolkit::installFontSubstitutions();
}

WindowFixture::~WindowFixture()
{
    m_form.reset();
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
    // As the program starts: the lessons read on a thread of their own while the window is made.
    m_form = program::makeWindows(std::make_unique<LessonReadAhead>());
    if (show) {
        m_form->showCentred();
        if (!QTest::qWaitForWindowExposed(m_form.get(), 30000))
            qWarning("the main window was not exposed");
    }
    return *m_form;
}

TForm2 &WindowFixture::about()
{
    if (!m_form->Form2)
        qFatal("the about box is made by \"A propos de...\": trigger it first");
    return *m_form->Form2;
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

void clickName(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(rect.right() - 10, rect.center().y()));
}

namespace {

QStyleOptionSlider sliderOption(const QScrollBar *bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return option;
}

} // namespace

QRect scrollBarPart(const QScrollBar *bar, QStyle::SubControl part)
{
    const QStyleOptionSlider option = sliderOption(bar);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}
