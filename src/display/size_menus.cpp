#include "app/tform1.h"

#include "settings/settings.h"
#include "toolkit/label.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <iterator>

namespace {

/// A size submenu of "Affichage": the label whose font it sizes and the key that keeps the size.
struct SizeMenu
{
    const char *name;
    const char *caption;
    QMenu *TForm1::*menu;
    toolkit::TLabel *TForm1::*label;
    const char *key;
};

const SizeMenu sizeMenus[] = {
    {"Champschinois1", "Champs &chinois", &TForm1::Champschinois1, &TForm1::Caract_ch,
     settings_keys::champsChinois},
    {"Champschinois2", "Champs &pinyin", &TForm1::Champschinois2, &TForm1::Caract_pin,
     settings_keys::champsPinyin},
    {"Champschinois3", "Champs &français", &TForm1::Champschinois3, &TForm1::Caract_fr,
     settings_keys::champsFrancais},
};

/// An item of a size submenu, in menu order: its submenu's place above, its size in points.
struct SizeItem
{
    int menu;
    const char *name;
    int size;
    QAction *TForm1::*item;
    void (TForm1::*handler)(QObject *);
};

// clang-format off
const SizeItem sizeItems[] = {
    {0, "N201", 22, &TForm1::N201, &TForm1::N201Click},
    {0, "N251", 25, &TForm1::N251, &TForm1::N251Click},
    {0, "N301", 30, &TForm1::N301, &TForm1::N301Click},
    {0, "N401", 40, &TForm1::N401, &TForm1::N401Click},
    {0, "N671", 50, &TForm1::N671, &TForm1::N671Click},
    {0, "N601", 60, &TForm1::N601, &TForm1::N601Click},
    {1, "N162", 16, &TForm1::N162, &TForm1::N162Click},
    {1, "N181", 18, &TForm1::N181, &TForm1::N181Click},
    {1, "N203", 20, &TForm1::N203, &TForm1::N203Click},
    {1, "N221", 22, &TForm1::N221, &TForm1::N221Click},
    {1, "N302", 26, &TForm1::N302, &TForm1::N302Click},
    {1, "N321", 32, &TForm1::N321, &TForm1::N321Click},
    {2, "N163", 16, &TForm1::N163, &TForm1::N163Click},
    {2, "N182", 18, &TForm1::N182, &TForm1::N182Click},
    {2, "N202", 20, &TForm1::N202, &TForm1::N202Click},
    {2, "N223", 22, &TForm1::N223, &TForm1::N223Click},
    {2, "N261", 26, &TForm1::N261, &TForm1::N261Click},
    {2, "N303", 32, &TForm1::N303, &TForm1::N303Click},
};
// clang-format on

} // namespace

void TForm1::createSizeMenus()
{
    for (const SizeMenu &row : sizeMenus) {
        QMenu *created = Affichage1->addMenu(QString::fromUtf8(row.caption));
        created->setObjectName(QString::fromLatin1(row.name));
        this->*row.menu = created;
    }
    for (const SizeItem &row : sizeItems) {
        QAction *created = (this->*sizeMenus[row.menu].menu)->addAction(QString::number(row.size));
        created->setObjectName(QString::fromLatin1(row.name));
        created->setCheckable(true);
        this->*row.item = created;
    }
}

void TForm1::bindSizeMenus()
{
    for (const SizeItem &row : sizeItems)
        bind(this->*row.item, &QAction::triggered, row.handler);
}

void TForm1::pickSize(QAction *TForm1::*item)
{
    const SizeItem &row = *std::find_if(std::begin(sizeItems), std::end(sizeItems),
                                        [item](const SizeItem &each) { return each.item == item; });
    const SizeMenu &menu = sizeMenus[row.menu];
    for (QAction *each : (this->*menu.menu)->actions())
        each->setChecked(false);
    (this->*menu.label)->setFontSize(row.size);
    // Qt has already unticked a ticked item before this runs: tick it again in every case.
    (this->*item)->setChecked(true);
    settings->writeInteger(settings_keys::affichage, menu.key, row.size);
}

void TForm1::tickSizeItem(QMenu *submenu, int size)
{
    for (QAction *each : submenu->actions()) {
        if (each->text() == QString::number(size)) {
            each->setChecked(true);
            return;
        }
    }
}

// clang-format off
void TForm1::N201Click(QObject *) { pickSize(&TForm1::N201); }
void TForm1::N251Click(QObject *) { pickSize(&TForm1::N251); }
void TForm1::N301Click(QObject *) { pickSize(&TForm1::N301); }
void TForm1::N401Click(QObject *) { pickSize(&TForm1::N401); }
void TForm1::N671Click(QObject *) { pickSize(&TForm1::N671); }
void TForm1::N601Click(QObject *) { pickSize(&TForm1::N601); }
void TForm1::N162Click(QObject *) { pickSize(&TForm1::N162); }
void TForm1::N181Click(QObject *) { pickSize(&TForm1::N181); }
void TForm1::N203Click(QObject *) { pickSize(&TForm1::N203); }
void TForm1::N221Click(QObject *) { pickSize(&TForm1::N221); }
void TForm1::N302Click(QObject *) { pickSize(&TForm1::N302); }
void TForm1::N321Click(QObject *) { pickSize(&TForm1::N321); }
void TForm1::N163Click(QObject *) { pickSize(&TForm1::N163); }
void TForm1::N182Click(QObject *) { pickSize(&TForm1::N182); }
void TForm1::N202Click(QObject *) { pickSize(&TForm1::N202); }
void TForm1::N223Click(QObject *) { pickSize(&TForm1::N223); }
void TForm1::N261Click(QObject *) { pickSize(&TForm1::N261); }
void TForm1::N303Click(QObject *) { pickSize(&TForm1::N303); }
// clang-format on
