#pragma once

#include "core/lesson_reader.h"
#include "core/word_list.h"
#include "platform/file_error.h"

#include <QByteArray>
#include <QList>

#include <future>
#include <optional>
#include <thread>
#include <vector>

/// A "*.txt" entry of the working directory and what its first two bytes say of it.
struct ListedEntry
{
    QByteArray name;
    platform::FileResult<ProbeResult> probe;
};

/// The "*.txt" entries of the working directory, in the listing's order, each probed.
std::vector<ListedEntry> listAndProbeEntries();

/// The working directory's lessons listed, probed and read on a thread of their own, while the
/// application and its window are being made; start-up then takes them where it would have read
/// them. The lessons are read as start-up would read them, every one in listing order, into one
/// set of lists, each keeping its own result. Taken once: later rebuilds read the files. The
/// thread may start before the application is made, so it touches no QObject: the first thread
/// that does becomes Qt's main thread.
class LessonReadAhead
{
public:
    /// Starts the thread; when no thread can be started, takeListing() and takeLessons() answer as
    /// though nothing had been read ahead.
    LessonReadAhead();
    /// Waits for the thread.
    ~LessonReadAhead();
    LessonReadAhead(const LessonReadAhead &) = delete;
    LessonReadAhead &operator=(const LessonReadAhead &) = delete;

    /// The entries as listAndProbeEntries() gives them; waits for them, or lists them now when the
    /// thread could not.
    std::vector<ListedEntry> takeListing();

    /// When names are the lessons read ahead, in the same order, moves their entries into lists
    /// (which must be empty; their tags are kept) and gives each lesson's result; otherwise, or a
    /// second time, nothing, and the caller reads the files itself.
    std::optional<std::vector<platform::FileResult<>>> takeLessons(const QList<QByteArray> &names,
                                                                   WordListsRef lists);

private:
    struct Lessons
    {
        QList<QByteArray> names;
        std::vector<platform::FileResult<>> results;
        WordList ch;
        WordList pin;
        WordList fr;
    };

    void run(std::promise<std::vector<ListedEntry>> listing, std::promise<Lessons> lessons);

    std::future<std::vector<ListedEntry>> m_listing;
    std::future<Lessons> m_lessons;
    std::thread m_thread;
};
