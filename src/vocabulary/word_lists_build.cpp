#include "app/tform1.h"

#include "platform/app_error.h"
#include "platform/widgets.h"
#include "vocabulary/lesson_list.h"
#include "vocabulary/lesson_reader.h"

#include <QListWidget>

void TForm1::Liste_const()
{
    Liste_ch.clear();
    Liste_pin.clear();
    Liste_fr.clear();
    Liste_ch.tag = -1;
    compteur->setCaption(QString());

    const int count = ListView1->count();
    for (int i = 0; i < count; ++i) {
        const QListWidgetItem *item = ListView1->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        if (const std::optional<FileError> error
            = readLessonFile(lessonFileName(item), {Liste_ch, Liste_pin, Liste_fr}))
            throw AppError(error->message);
    }
}
