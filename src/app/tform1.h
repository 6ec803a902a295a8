#pragma once

#include "core/learning_cursor.h"
#include "core/quiz_session.h"
#include "core/random.h"
#include "core/word_list.h"
// The lesson list is used as the list widget it is, by the window and its tests.
#include "toolkit/check_list.h"

#include <QMainWindow>

#include <memory>

class LessonReadAhead;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class Settings;
class TForm2;

namespace toolkit {
class ClassicTimer;
class TLabel;
class TRadioGroup;
class TScrollBar;
} // namespace toolkit

/// The main window: owns every component and all program state. Its handlers are defined in the
/// folder of their subsystem.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // The toolkit's components, by the names the window's design gives them.
    using ClassicTimer = toolkit::ClassicTimer;
    using TCheckListView = toolkit::TCheckListView;
    using TLabel = toolkit::TLabel;
    using TRadioGroup = toolkit::TRadioGroup;
    using TScrollBar = toolkit::TScrollBar;

    /// Builds every component in its design state, binds the events, then runs FormCreate.
    explicit TForm1(QWidget *parent = nullptr);
    /// As above, start-up taking the lessons from lessonsReadAhead, read while the window was
    /// being made.
    explicit TForm1(std::unique_ptr<LessonReadAhead> lessonsReadAhead, QWidget *parent = nullptr);
    ~TForm1() override;

    /// First show: centred on the desktop, focus on the first control that takes it.
    void showCentred();

    // --- start-up and glue commands (app/)
    void FormCreate();
    void Button2Click(QObject *Sender = nullptr);
    void Quitter1Click(QObject *Sender = nullptr);
    void Excuter1Click(QObject *Sender = nullptr);
    void Test1Click(QObject *Sender = nullptr);
    void Aproposde1Click(QObject *Sender = nullptr);

    // --- lesson list and word lists (vocabulary/)
    void Liste_init();
    void Liste_const();
    void Button1Click(QObject *Sender = nullptr);
    void Button3Click(QObject *Sender = nullptr);
    void ListView1Change(QObject *Sender = nullptr);

    // --- learning page (learning/)
    void SelectionnerClick(QObject *Sender = nullptr);
    void precedentClick(QObject *Sender = nullptr);
    void AleaClick(QObject *Sender = nullptr);
    void Timer0Timer(QObject *Sender = nullptr);
    void Timer1Timer(QObject *Sender = nullptr);
    void Timer2Timer(QObject *Sender = nullptr);
    void ScrollBar0Change(QObject *Sender = nullptr);
    void ScrollBar1Change(QObject *Sender = nullptr);
    void ScrollBar2Change(QObject *Sender = nullptr);

    // --- test page (test/)
    void LQ1Click(QObject *Sender = nullptr);
    void LQ2Click(QObject *Sender = nullptr);
    void LQ3Click(QObject *Sender = nullptr);
    void LR1Click(QObject *Sender = nullptr);
    void LR2Click(QObject *Sender = nullptr);
    void LR3Click(QObject *Sender = nullptr);
    void reglage_taille_reponse();
    void Button4Click(QObject *Sender = nullptr);
    void RadioGroup1Click(QObject *Sender = nullptr);
    void reponse(int juste);
    void Timer3Timer(QObject *Sender = nullptr);
    void ReinitialiserClick(QObject *Sender = nullptr);

    // --- size menus (display/)
    void N201Click(QObject *Sender = nullptr);
    void N251Click(QObject *Sender = nullptr);
    void N301Click(QObject *Sender = nullptr);
    void N401Click(QObject *Sender = nullptr);
    void N671Click(QObject *Sender = nullptr);
    void N601Click(QObject *Sender = nullptr);
    void N162Click(QObject *Sender = nullptr);
    void N181Click(QObject *Sender = nullptr);
    void N203Click(QObject *Sender = nullptr);
    void N221Click(QObject *Sender = nullptr);
    void N302Click(QObject *Sender = nullptr);
    void N321Click(QObject *Sender = nullptr);
    void N163Click(QObject *Sender = nullptr);
    void N182Click(QObject *Sender = nullptr);
    void N202Click(QObject *Sender = nullptr);
    void N223Click(QObject *Sender = nullptr);
    void N261Click(QObject *Sender = nullptr);
    void N303Click(QObject *Sender = nullptr);

    // --- components, in the order of the design
    WordList Liste_fr;
    WordList Liste_pin;
    WordList Liste_ch; ///< tag: the current card, -1 for none
    QPushButton *Button2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button3 = nullptr;
    TCheckListView *ListView1 = nullptr;
    QTabWidget *PageControl1 = nullptr;

    QWidget *TabSheet1 = nullptr;
    TLabel *Caract_ch = nullptr;
    TLabel *Caract_pin = nullptr;
    TLabel *Caract_fr = nullptr;
    QFrame *Panel1 = nullptr;
    TLabel *Label1 = nullptr;
    TLabel *Label2 = nullptr;
    TLabel *Label3 = nullptr;
    TScrollBar *ScrollBar0 = nullptr;
    TScrollBar *ScrollBar1 = nullptr;
    TScrollBar *ScrollBar2 = nullptr;
    QCheckBox *Alea = nullptr;
    TLabel *compteur = nullptr;
    QPushButton *Selectionner = nullptr;
    QPushButton *precedent = nullptr;

    QWidget *TabSheet2 = nullptr;
    TLabel *question = nullptr;
    TLabel *bonne_rep1 = nullptr;
    TLabel *Solution = nullptr;
    TLabel *mauvaise_rep2 = nullptr;
    TLabel *mauvaise_rep1 = nullptr;
    TLabel *bonne_rep2 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *LQ1 = nullptr;
    QRadioButton *LQ2 = nullptr;
    QRadioButton *LQ3 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QRadioButton *LR1 = nullptr;
    QRadioButton *LR2 = nullptr;
    QRadioButton *LR3 = nullptr;
    QPushButton *Button4 = nullptr;
    QGroupBox *Group_note = nullptr;
    TLabel *note = nullptr;
    QPushButton *Reinitialiser = nullptr;
    TRadioGroup *RadioGroup1 = nullptr;

    ClassicTimer *Timer0 = nullptr;
    ClassicTimer *Timer1 = nullptr;
    ClassicTimer *Timer2 = nullptr;
    ClassicTimer *Timer3 = nullptr;

    QMenuBar *MainMenu1 = nullptr;
    QMenu *N1 = nullptr;
    QAction *outslectionner1 = nullptr;
    QAction *outdslectionner1 = nullptr;
    QAction *N3 = nullptr;
    QAction *Excuter1 = nullptr;
    QAction *Test1 = nullptr;
    QAction *N4 = nullptr;
    QAction *Quitter1 = nullptr;
    QMenu *Affichage1 = nullptr;
    QMenu *Champschinois1 = nullptr;
    QAction *N201 = nullptr;
    QAction *N251 = nullptr;
    QAction *N301 = nullptr;
    QAction *N401 = nullptr;
    QAction *N671 = nullptr;
    QAction *N601 = nullptr;
    QMenu *Champschinois2 = nullptr;
    QAction *N162 = nullptr;
    QAction *N181 = nullptr;
    QAction *N203 = nullptr;
    QAction *N221 = nullptr;
    QAction *N302 = nullptr;
    QAction *N321 = nullptr;
    QMenu *Champschinois3 = nullptr;
    QAction *N163 = nullptr;
    QAction *N182 = nullptr;
    QAction *N202 = nullptr;
    QAction *N223 = nullptr;
    QAction *N261 = nullptr;
    QAction *N303 = nullptr;
    QMenu *N2 = nullptr;
    QAction *Aproposde1 = nullptr;

    /// The test page's correct slot and score, and its question drawing.
    QuizSession quiz {Liste_ch, Liste_pin, Liste_fr, programRandom()};

    /// The settings object, created by start-up and kept for the whole run.
    std::unique_ptr<Settings> settings;
    /// The lessons read beside the window's making, until start-up's rebuild takes them.
    std::unique_ptr<LessonReadAhead> readAhead;
    /// The about box: made hidden by the first Aproposde1Click, which shows it; kept until the end.
    TForm2 *Form2 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // One builder per area of the window, each in its subsystem's folder.
    void createShell(); // app/
    void createLessonArea(); // vocabulary/
    void createLearningPage(); // learning/
    void createTestPage(); // test/
    void createMenus(); // app/
    void createSizeMenus(); // display/
    void setTabOrders(); // app/
    void bindEvents(); // app/
    void bindLearningEvents(); // learning/
    void bindTestEvents(); // test/
    void bindSizeMenus(); // display/

    /// Connects signal of sender to a handler, called through the error guard.
    template<typename Sender, typename Signal>
    void bind(Sender *sender, Signal signal, void (TForm1::*handler)(QObject *));

    // Helpers of the size menus and of the reveal delays.
    /// A size item clicked: its label resized, its tick alone in its submenu, its size stored.
    void pickSize(QAction *TForm1::*item);
    void tickSizeItem(QMenu *submenu, int size);
    void applyDelay(TScrollBar *bar, ClassicTimer *timer);
    void changeDelay(TScrollBar *bar, ClassicTimer *timer, const char *key);
    void stopReveal();
    /// Shows a step's entry, its fields hidden until their delays, and its counter.
    void showStep(const std::optional<CardStep> &step);
    void resetChoices();
    /// Tells a screen reader the verdict and the solution of the answer just given.
    void announceVerdict(bool right);
    void hideFeedback();
    /// "Lancer le test" and the field boxes shown; the test's controls hidden.
    void showIdleLayout();
    /// Whether no question can be drawn from the word lists now; if so, the learner's message has
    /// been shown.
    bool questionRefused();
    /// Draws a question and shows it, the page in its test layout; needs !questionRefused().
    void askQuestion();
    /// Ends the verdict's delay at once: verdict, solution, highlight and tick cleared.
    void endFeedback();
    /// The question after an answer; when none can be drawn, the test stops, never re-asking.
    void askNextQuestion();
    void askedFieldClicked(QRadioButton *asked, QRadioButton *sameAnswer,
                           QRadioButton *replacement);

    QWidget *m_client = nullptr;
};

#include "toolkit/guard.h"

template<typename Sender, typename Signal>
void TForm1::bind(Sender *sender, Signal signal, void (TForm1::*handler)(QObject *))
{
    toolkit::connectGuarded(sender, signal, this,
                            [this, sender, handler] { (this->*handler)(sender); });
}
