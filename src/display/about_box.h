#pragma once

#include <QDialog>
#include <QPoint>

class QGroupBox;
class QLabel;
class QPushButton;
namespace toolkit {
class TLabel;
} // namespace toolkit

/// The about box: shown without modality, hidden again by "OK" or Escape.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    // The toolkit's label, by the name the window's design gives it.
    using TLabel = toolkit::TLabel;

    explicit TForm2(QWidget *parent = nullptr);

    /// Makes the box visible and brings it to the front: centred on the desktop the first time,
    /// afterwards where it was last hidden.
    void showAbout();
    void Button1Click(QObject *Sender = nullptr);

    QLabel *Image1 = nullptr;
    TLabel *Label1 = nullptr;
    TLabel *Label5 = nullptr;
    TLabel *Label7 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TLabel *Label2 = nullptr;
    TLabel *Label3 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    TLabel *Label4 = nullptr;
    TLabel *Label8 = nullptr;
    TLabel *Label6 = nullptr;
    TLabel *Label9 = nullptr;
    QPushButton *Button1 = nullptr;

protected:
    /// Escape, or a close asked by the desktop: the cancel button is pressed.
    void reject() override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool m_placed = false;
    QPoint m_lastPosition;
};
