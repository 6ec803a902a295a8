#include "app/tform1.h"

#include "settings/settings.h"
#include "toolkit/classic_timer.h"
#include "toolkit/label.h"
#include "toolkit/scroll_bar.h"

void TForm1::Timer0Timer(QObject * /*Sender*/)
{
    Caract_ch->show();
    Timer0->setEnabled(false);
}

void TForm1::Timer1Timer(QObject * /*Sender*/)
{
    Caract_pin->show();
    Timer1->setEnabled(false);
}

void TForm1::Timer2Timer(QObject * /*Sender*/)
{
    Caract_fr->show();
    Timer2->setEnabled(false);
}

void TForm1::ScrollBar0Change(QObject * /*Sender*/)
{
    changeDelay(ScrollBar0, Timer0, settings_keys::chinois);
}

void TForm1::ScrollBar1Change(QObject * /*Sender*/)
{
    changeDelay(ScrollBar1, Timer1, settings_keys::pinyin);
}

void TForm1::ScrollBar2Change(QObject * /*Sender*/)
{
    changeDelay(ScrollBar2, Timer2, settings_keys::francais);
}

void TForm1::applyDelay(TScrollBar *bar, ClassicTimer *timer)
{
    // Position 0 reveals at once; it never turns the reveal off.
    const int position = bar->value();
    timer->setInterval(position == 0 ? 1 : position * 500);
}

void TForm1::changeDelay(TScrollBar *bar, ClassicTimer *timer, const char *key)
{
    applyDelay(bar, timer);
    settings->writeInteger(settings_keys::vitesse, key, bar->value());
}
