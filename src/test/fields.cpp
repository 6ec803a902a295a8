#include "app/tform1.h"

#include "toolkit/fonts.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"

#include <QRadioButton>

namespace {

/// Fonts and places of the test page for one pair of fields.
struct TestLayout
{
    const char *questionFont;
    int questionSize;
    const char *choicesFont;
    int choicesSize;
    int groupTop;
    int groupHeight;
    const char *solutionFont;
    int solutionSize;
    int solutionTop;
};

constexpr TestLayout chineseAnswer {"Arial", 20, "SimSun", 20, 40, 191, "Arial", 13, 236};
constexpr TestLayout chineseQuestion {"SimSun", 40, "Arial", 10, 58, 165, "Arial", 13, 230};
constexpr TestLayout chineseSolution {"Arial", 20, "Arial", 10, 44, 174, "SimSun", 20, 226};

void setFace(toolkit::TLabel *label, const char *family, int points, bool pinyinText)
{
    QFont changed = label->font();
    toolkit::setFace(changed, QString::fromLatin1(family), pinyinText);
    toolkit::setPointSizeUnchecked(changed, points);
    label->setFont(changed);
}

} // namespace

void TForm1::LQ1Click(QObject * /*Sender*/)
{
    askedFieldClicked(LQ1, LR1, LR3);
}

void TForm1::LQ2Click(QObject * /*Sender*/)
{
    askedFieldClicked(LQ2, LR2, LR3);
}

void TForm1::LQ3Click(QObject * /*Sender*/)
{
    askedFieldClicked(LQ3, LR3, LR1);
}

void TForm1::askedFieldClicked(QRadioButton *asked, QRadioButton *sameAnswer,
                               QRadioButton *replacement)
{
    reglage_taille_reponse();
    if (!asked->isChecked())
        return;
    // The replacement's own handler lays the page out again for the final pair.
    if (sameAnswer->isChecked())
        replacement->setChecked(true);
    for (QRadioButton *answer : {LR1, LR2, LR3})
        answer->setEnabled(answer != sameAnswer);
}

void TForm1::LR1Click(QObject * /*Sender*/)
{
    reglage_taille_reponse();
}

void TForm1::LR2Click(QObject * /*Sender*/)
{
    reglage_taille_reponse();
}

void TForm1::LR3Click(QObject * /*Sender*/)
{
    reglage_taille_reponse();
}

void TForm1::reglage_taille_reponse()
{
    const TestLayout &layout = LR1->isChecked() ? chineseAnswer
        : LQ1->isChecked()                      ? chineseQuestion
                                                : chineseSolution;
    // Pinyin, wherever it shows, is drawn in the pinyin face.
    const bool askedPinyin = LQ2->isChecked();
    const bool answeredPinyin = LR2->isChecked();
    setFace(question, layout.questionFont, layout.questionSize, askedPinyin);
    RadioGroup1->setChoicesFont(QString::fromLatin1(layout.choicesFont), layout.choicesSize,
                                answeredPinyin);
    RadioGroup1->setGeometry(RadioGroup1->x(), layout.groupTop, RadioGroup1->width(),
                             layout.groupHeight);
    setFace(Solution, layout.solutionFont, layout.solutionSize, !askedPinyin && !answeredPinyin);
    Solution->move(Solution->x(), layout.solutionTop);
}
