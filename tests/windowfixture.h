#pragma once

#include "testsupport.h"

#include "app/sandbox.h"

#include <QRect>
#include <QStringList>
#include <QStyle>

#include <memory>

class TForm1;
class TForm2;
class QListWidget;
class QScrollBar;

/// A main window made as the program makes it, in a temporary working directory, with its
/// settings file in a temporary "executable directory" and every message box collected.
class WindowFixture : public program::Sandbox
{
public:
    WindowFixture();
    ~WindowFixture();
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    /// Writes a lesson file in the working directory from "ch\tpin\tfr" lines.
    void addLesson(const QString &name, const QStringList &lines);
    /// Writes the settings file with this 8-bit content.
    void writeSettings(const QByteArray &content);
    QByteArray settingsContent() const;
    /// The path the program builds for its settings file (with its doubled separator).
    QString settingsPath() const;

    /// Runs start-up as the program does, the lessons read ahead, and shows the window; set lessons
    /// and settings first.
    TForm1 &start(bool show = true);
    TForm1 &form() { return *m_form; }
    /// The about box, once "A propos de..." has made it.
    TForm2 &about();

private:
    std::unique_ptr<TForm1> m_form;
};

/// The word lists as "ch|pin|fr" lines.
QStringList entries(const TForm1 &form);

/// "ch|pin|fr" lines of numberedLines(n, prefix).
QStringList numberedEntries(int n, const QString &prefix);

/// A lesson of n entries with pairwise different Chinese texts: "字<i>", "pin<i>", "fr<i>".
QStringList numberedLines(int n, const QString &prefix = QStringLiteral("字"));

/// A click on the lesson's name, well right of its check box.
void clickName(QListWidget *list, int row);

/// Where a part of a scroll bar (an arrow, a side of the trough, the thumb) lies, in its own
/// coordinates.
QRect scrollBarPart(const QScrollBar *bar, QStyle::SubControl part);
