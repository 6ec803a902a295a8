#include "app/tform1.h"

#include "display/about_box.h"

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
    Button4Click();
}

void TForm1::Aproposde1Click(QObject * /*Sender*/)
{
    if (Form2)
        Form2->showAbout();
}
