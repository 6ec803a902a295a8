#include "app/tform1.h"

#include "display/about_box.h"
#include "toolkit/classic_timer.h"

#include <QTabWidget>

void TForm1::Button2Click(QObject * /*Sender*/)
{
    close();
}

void TForm1::Quitter1Click(QObject * /*Sender*/)
{
    close();
}

void TForm1::Excuter1Click(QObject * /*Sender*/)
{
    PageControl1->setCurrentIndex(0);
    SelectionnerClick();
}

void TForm1::Test1Click(QObject * /*Sender*/)
{
    PageControl1->setCurrentIndex(1);
    // A new question never shows under the old verdict: the feedback ends first, as at the end of
    // its delay, and the new question counts normally.
    if (Timer3->enabled()) {
        endFeedback();
        askNextQuestion();
        return;
    }
    Button4Click();
}

void TForm1::Aproposde1Click(QObject * /*Sender*/)
{
    // Nothing in start-up touches the box, and it shows nothing before it is asked for: it costs
    // the start-up nothing when it is built here.
    if (!Form2)
        Form2 = new TForm2(this);
    Form2->showAbout();
}
