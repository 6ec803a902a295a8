#include "app/tform1.h"

#include "core/random.h"
#include "platform/clock.h"
#include "settings/settings.h"
#include "toolkit/label.h"
#include "toolkit/scroll_bar.h"

void TForm1::FormCreate()
{
    using namespace settings_keys;
    // Each step is guarded on its own: a failing step is reported and the next ones still run,
    // so the window never opens with placeholders or unticked lessons.
    const std::function<void()> steps[] = {
        [] { programRandom().setSeed(platform::seedClock()); },
        [this] { settings = std::make_unique<Settings>(Settings::builtPath()); },
        [this] {
            ScrollBar0->setValue(settings->readInteger(vitesse, chinois, 0));
            applyDelay(ScrollBar0, Timer0);
        },
        [this] {
            ScrollBar1->setValue(settings->readInteger(vitesse, pinyin, 5));
            applyDelay(ScrollBar1, Timer1);
        },
        [this] {
            ScrollBar2->setValue(settings->readInteger(vitesse, francais, 7));
            applyDelay(ScrollBar2, Timer2);
        },
        [this] { Caract_ch->setFontSize(settings->readInteger(affichage, champsChinois, 50)); },
        [this] { Caract_pin->setFontSize(settings->readInteger(affichage, champsPinyin, 22)); },
        [this] { Caract_fr->setFontSize(settings->readInteger(affichage, champsFrancais, 20)); },
        [this] {
            tickSizeItem(Champschinois1, Caract_ch->fontSize());
            tickSizeItem(Champschinois2, Caract_pin->fontSize());
            tickSizeItem(Champschinois3, Caract_fr->fontSize());
        },
        [this] { Liste_init(); },
        [this] { Liste_const(); },
        [this] { reglage_taille_reponse(); },
        [this] { ReinitialiserClick(); },
    };
    for (const auto &step : steps)
        toolkit::guarded(step);
}
