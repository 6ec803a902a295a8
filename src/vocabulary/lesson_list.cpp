#include "vocabulary/lesson_list.h"

#include "app/tform1.h"

#include "platform/dir_listing.h"
#include "vocabulary/lesson_reader.h"

#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int fileNameRole = Qt::UserRole;

} // namespace

void TForm1::createLessonArea()
{
    Button1 = new QPushButton(QStringLiteral("Tout sélectionner"), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 200, 121, 25);
    Button1->setAutoDefault(true);

    Button3 = new QPushButton(QStringLiteral("Tout désélectionner"), GroupBox1);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(8, 224, 121, 25);
    Button3->setAutoDefault(true);

    ListView1 = new QListWidget(GroupBox1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 16, 121, 177);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TForm1::Liste_init()
{
    for (const QByteArray &name : listTxtEntries()) {
        ProbeResult probe = ProbeResult::NotLesson;
        // An entry that cannot be opened is reported and passed over; the listing goes on.
        if (const std::optional<FileError> error = probeLesson(name, probe)) {
            platform::reportError(error->message);
            continue;
        }
        if (probe != ProbeResult::Lesson)
            continue;
        auto *item = new QListWidgetItem(QFile::decodeName(name));
        item->setData(fileNameRole, name);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        ListView1->addItem(item);
    }
    // Each tick rebuilds the word lists from the lessons ticked so far.
    for (int i = 0; i < ListView1->count(); ++i)
        ListView1->item(i)->setCheckState(Qt::Checked);
}

void TForm1::Button1Click(QObject * /*Sender*/)
{
    const int count = ListView1->count();
    for (int i = 0; i < count; ++i)
        ListView1->item(i)->setCheckState(Qt::Checked);
}

void TForm1::Button3Click(QObject * /*Sender*/)
{
    const int count = ListView1->count();
    for (int i = 0; i < count; ++i)
        ListView1->item(i)->setCheckState(Qt::Unchecked);
}

void TForm1::ListView1Change(QObject * /*Sender*/)
{
    Liste_const();
}

QByteArray lessonFileName(const QListWidgetItem *item)
{
    return item->data(fileNameRole).toByteArray();
}
