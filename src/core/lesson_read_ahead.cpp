#include "core/lesson_read_ahead.h"

#include "platform/dir_listing.h"

#include <exception>
#include <system_error>
#include <utility>

std::vector<ListedEntry> listAndProbeEntries()
{
    std::vector<ListedEntry> entries;
    for (const QByteArray &name : platform::listTxtEntries())
        entries.push_back({name, probeLesson(name)});
    return entries;
}

LessonReadAhead::LessonReadAhead()
{
    std::promise<std::vector<ListedEntry>> listing;
    std::promise<Lessons> lessons;
    std::future<std::vector<ListedEntry>> listingFuture = listing.get_future();
    std::future<Lessons> lessonsFuture = lessons.get_future();
    try {
        m_thread = std::thread(&LessonReadAhead::run, this, std::move(listing), std::move(lessons));
    } catch (const std::system_error &) {
        return; // no thread: both takes read in place
    }
    m_listing = std::move(listingFuture);
    m_lessons = std::move(lessonsFuture);
}

LessonReadAhead::~LessonReadAhead()
{
    if (m_thread.joinable())
        m_thread.join();
}

void LessonReadAhead::run(std::promise<std::vector<ListedEntry>> listing,
                          std::promise<Lessons> lessons)
{
    // Whatever fails here (memory, mostly) leaves a promise unkept, which its taker meets as an
    // exception: start-up then does the work in place, meeting and reporting the fault itself.
    try {
        std::vector<ListedEntry> entries = listAndProbeEntries();
        Lessons read;
        for (const ListedEntry &entry : entries) {
            if (entry.probe.ok() && entry.probe.value() == ProbeResult::Lesson)
                read.names.append(entry.name);
        }
        listing.set_value(std::move(entries));
        for (const QByteArray &name : std::as_const(read.names))
            read.results.push_back(readLessonFile(name, {read.ch, read.pin, read.fr}));
        lessons.set_value(std::move(read));
    } catch (...) { // NOLINT(bugprone-empty-catch): the unkept promises say it
    }
}

std::vector<ListedEntry> LessonReadAhead::takeListing()
{
    if (m_listing.valid()) {
        try {
            return m_listing.get();
        } catch (...) { // NOLINT(bugprone-empty-catch): listed again below, in place
        }
    }
    return listAndProbeEntries();
}

std::optional<std::vector<platform::FileResult<>>>
LessonReadAhead::takeLessons(const QList<QByteArray> &names, WordListsRef lists)
{
    if (!m_lessons.valid())
        return std::nullopt;
    Lessons read;
    try {
        read = m_lessons.get();
    } catch (...) {
        return std::nullopt;
    }
    if (read.names != names)
        return std::nullopt;
    const auto moveTexts = [](WordList &to, WordList &from) {
        const int tag = to.tag;
        to = std::move(from);
        to.tag = tag;
    };
    moveTexts(lists.ch, read.ch);
    moveTexts(lists.pin, read.pin);
    moveTexts(lists.fr, read.fr);
    return std::move(read.results);
}
