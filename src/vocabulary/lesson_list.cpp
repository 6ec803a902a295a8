#include "vocabulary/lesson_list.h"

#include "app/tform1.h"

#include "core/lesson_read_ahead.h"
#include "core/lesson_reader.h"
#include "toolkit/check_list.h"
#include "toolkit/message_boxes.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int fileNameRole = Qt::UserRole;

/// Gives every lesson of list the tick state without a change event per item; says whether any
/// item changed. The caller rebuilds once, so n lessons cost one read each, not n(n+1)/2.
bool setEveryTick(QListWidget *list, Qt::CheckState state)
{
    const QSignalBlocker quiet(list);
    bool changed = false;
    const int count = list->count();
    for (int i = 0; i < count; ++i) {
        QListWidgetItem *item = list->item(i);
        if (item->checkState() != state) {
            item->setCheckState(state);
            changed = true;
        }
    }
    return changed;
}

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

    ListView1 = new TCheckListView(GroupBox1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 16, 121, 177);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TForm1::Liste_init()
{
    const std::vector<ListedEntry> entries
        = readAhead ? readAhead->takeListing() : listAndProbeEntries();
    for (const auto &[name, probe] : entries) {
        // An entry that cannot be opened is reported and passed over; the listing goes on.
        if (!probe.ok()) {
            toolkit::reportError(probe.error().message, lessonNameLine(name));
            continue;
        }
        if (probe.value() != ProbeResult::Lesson)
            continue;
        auto *item = new QListWidgetItem(QFile::decodeName(name));
        item->setData(fileNameRole, name);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        ListView1->addItem(item);
    }
    // Start-up's own rebuild follows at once and reads them all.
    setEveryTick(ListView1, Qt::Checked);
    // With nothing listed, the learner learns where lessons were looked for and what they are.
    ListView1->setEmptyHint(
        QStringLiteral("Aucune leçon dans le dossier de travail :\n%1\n\nUne leçon est un "
                       "fichier *.txt en UTF-16 qui commence par les octets FF FE.")
            .arg(QDir::toNativeSeparators(QDir::currentPath())));
}

void TForm1::Button1Click(QObject * /*Sender*/)
{
    if (setEveryTick(ListView1, Qt::Checked))
        Liste_const();
}

void TForm1::Button3Click(QObject * /*Sender*/)
{
    if (setEveryTick(ListView1, Qt::Unchecked))
        Liste_const();
}

void TForm1::ListView1Change(QObject * /*Sender*/)
{
    Liste_const();
}

QByteArray lessonFileName(const QListWidgetItem *item)
{
    return item->data(fileNameRole).toByteArray();
}
