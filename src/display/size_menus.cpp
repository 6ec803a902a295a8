#include "app/tform1.h"

#include "settings/settings.h"
#include "toolkit/label.h"

#include <QAction>
#include <QMenu>

namespace {

QMenu *sizeMenu(QMenu *parent, const char *name, const QString &caption)
{
    QMenu *created = parent->addMenu(caption);
    created->setObjectName(QString::fromLatin1(name));
    return created;
}

QAction *sizeItem(QMenu *menu, const char *name, int size)
{
    QAction *created = menu->addAction(QString::number(size));
    created->setObjectName(QString::fromLatin1(name));
    created->setCheckable(true);
    return created;
}

} // namespace

void TForm1::createSizeMenus()
{
    Champschinois1 = sizeMenu(Affichage1, "Champschinois1", QStringLiteral("Champs &chinois"));
    N201 = sizeItem(Champschinois1, "N201", 22);
    N251 = sizeItem(Champschinois1, "N251", 25);
    N301 = sizeItem(Champschinois1, "N301", 30);
    N401 = sizeItem(Champschinois1, "N401", 40);
    N671 = sizeItem(Champschinois1, "N671", 50);
    N601 = sizeItem(Champschinois1, "N601", 60);

    Champschinois2 = sizeMenu(Affichage1, "Champschinois2", QStringLiteral("Champs &pinyin"));
    N162 = sizeItem(Champschinois2, "N162", 16);
    N181 = sizeItem(Champschinois2, "N181", 18);
    N203 = sizeItem(Champschinois2, "N203", 20);
    N221 = sizeItem(Champschinois2, "N221", 22);
    N302 = sizeItem(Champschinois2, "N302", 26);
    N321 = sizeItem(Champschinois2, "N321", 32);

    Champschinois3 = sizeMenu(Affichage1, "Champschinois3", QStringLiteral("Champs &français"));
    N163 = sizeItem(Champschinois3, "N163", 16);
    N182 = sizeItem(Champschinois3, "N182", 18);
    N202 = sizeItem(Champschinois3, "N202", 20);
    N223 = sizeItem(Champschinois3, "N223", 22);
    N261 = sizeItem(Champschinois3, "N261", 26);
    N303 = sizeItem(Champschinois3, "N303", 32);
}

void TForm1::bindSizeMenus()
{
    const std::pair<QAction *, void (TForm1::*)(QObject *)> items[] = {
        {N201, &TForm1::N201Click}, {N251, &TForm1::N251Click}, {N301, &TForm1::N301Click},
        {N401, &TForm1::N401Click}, {N671, &TForm1::N671Click}, {N601, &TForm1::N601Click},
        {N162, &TForm1::N162Click}, {N181, &TForm1::N181Click}, {N203, &TForm1::N203Click},
        {N221, &TForm1::N221Click}, {N302, &TForm1::N302Click}, {N321, &TForm1::N321Click},
        {N163, &TForm1::N163Click}, {N182, &TForm1::N182Click}, {N202, &TForm1::N202Click},
        {N223, &TForm1::N223Click}, {N261, &TForm1::N261Click}, {N303, &TForm1::N303Click},
    };
    for (const auto &[item, handler] : items)
        bind(item, &QAction::triggered, handler);
}

void TForm1::pickSize(QMenu *submenu, QAction *item, TLabel *label, const char *key, int size)
{
    for (QAction *each : submenu->actions())
        each->setChecked(false);
    label->setFontSize(size);
    // Qt has already unticked a ticked item before this runs: tick it again in every case.
    item->setChecked(true);
    settings->writeInteger(settings_keys::affichage, key, size);
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
void TForm1::N201Click(QObject *) { pickSize(Champschinois1, N201, Caract_ch, settings_keys::champsChinois, 22); }
void TForm1::N251Click(QObject *) { pickSize(Champschinois1, N251, Caract_ch, settings_keys::champsChinois, 25); }
void TForm1::N301Click(QObject *) { pickSize(Champschinois1, N301, Caract_ch, settings_keys::champsChinois, 30); }
void TForm1::N401Click(QObject *) { pickSize(Champschinois1, N401, Caract_ch, settings_keys::champsChinois, 40); }
void TForm1::N671Click(QObject *) { pickSize(Champschinois1, N671, Caract_ch, settings_keys::champsChinois, 50); }
void TForm1::N601Click(QObject *) { pickSize(Champschinois1, N601, Caract_ch, settings_keys::champsChinois, 60); }
void TForm1::N162Click(QObject *) { pickSize(Champschinois2, N162, Caract_pin, settings_keys::champsPinyin, 16); }
void TForm1::N181Click(QObject *) { pickSize(Champschinois2, N181, Caract_pin, settings_keys::champsPinyin, 18); }
void TForm1::N203Click(QObject *) { pickSize(Champschinois2, N203, Caract_pin, settings_keys::champsPinyin, 20); }
void TForm1::N221Click(QObject *) { pickSize(Champschinois2, N221, Caract_pin, settings_keys::champsPinyin, 22); }
void TForm1::N302Click(QObject *) { pickSize(Champschinois2, N302, Caract_pin, settings_keys::champsPinyin, 26); }
void TForm1::N321Click(QObject *) { pickSize(Champschinois2, N321, Caract_pin, settings_keys::champsPinyin, 32); }
void TForm1::N163Click(QObject *) { pickSize(Champschinois3, N163, Caract_fr, settings_keys::champsFrancais, 16); }
void TForm1::N182Click(QObject *) { pickSize(Champschinois3, N182, Caract_fr, settings_keys::champsFrancais, 18); }
void TForm1::N202Click(QObject *) { pickSize(Champschinois3, N202, Caract_fr, settings_keys::champsFrancais, 20); }
void TForm1::N223Click(QObject *) { pickSize(Champschinois3, N223, Caract_fr, settings_keys::champsFrancais, 22); }
void TForm1::N261Click(QObject *) { pickSize(Champschinois3, N261, Caract_fr, settings_keys::champsFrancais, 26); }
void TForm1::N303Click(QObject *) { pickSize(Champschinois3, N303, Caract_fr, settings_keys::champsFrancais, 32); }
// clang-format on
