#include "app/tform1.h"

#include "core/learning_cursor.h"
#include "core/lesson_read_ahead.h"
#include "core/lesson_reader.h"
#include "core/random.h"
#include "toolkit/label.h"
#include "toolkit/message_boxes.h"
#include "vocabulary/lesson_list.h"

#include <QListWidget>
#include <QStringList>

void TForm1::Liste_const()
{
    Liste_ch.clear();
    Liste_pin.clear();
    Liste_fr.clear();
    LearningCursor(Liste_ch, programRandom()).forget();
    compteur->setCaption(QString());

    // A failing lesson keeps its complete lines and does not hold back the lessons after it.
    // Its message waits for the end, so no box ever shows half-built lists.
    QList<QByteArray> names;
    const int count = ListView1->count();
    for (int i = 0; i < count; ++i) {
        const QListWidgetItem *item = ListView1->item(i);
        if (item->checkState() == Qt::Checked)
            names.append(lessonFileName(item));
    }
    // Start-up's rebuild takes the lessons read while the window was being made; every other
    // rebuild, and this one when the list is not what was read, reads the files as they are now.
    std::optional<std::vector<platform::FileResult<>>> readAheadResults;
    if (readAhead) {
        readAheadResults = readAhead->takeLessons(names, {Liste_ch, Liste_pin, Liste_fr});
        readAhead.reset();
    }
    QList<std::pair<QString, QString>> failures;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const platform::FileResult<> read = readAheadResults
            ? (*readAheadResults)[std::size_t(i)]
            : readLessonFile(names[i], {Liste_ch, Liste_pin, Liste_fr});
        if (!read.ok())
            failures.append({read.error().message, lessonNameLine(names[i])});
    }
    // A rebuild that loaded less than the last gives the rest of the room back.
    Liste_ch.shrinkToFit();
    Liste_pin.shrinkToFit();
    Liste_fr.shrinkToFit();
    for (const auto &[message, lesson] : std::as_const(failures))
        toolkit::reportError(message, lesson);
}
