#include "toolkit/keyboard.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

QString toolkit::withoutAccessKeys(const QString &caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        plain.append(caption.at(i));
    }
    return plain;
}

toolkit::FocusHandover::FocusHandover(std::initializer_list<QWidget *> leaving)
{
    QWidget *focused = QApplication::focusWidget();
    if (!focused)
        return;
    for (QWidget *widget : leaving) {
        if (focused == widget || widget->isAncestorOf(focused)) {
            m_held = true;
            focused->clearFocus();
            return;
        }
    }
}

void toolkit::FocusHandover::giveTo(QWidget *next) const
{
    if (m_held && next->isVisibleTo(next->window()) && next->isEnabled()
        && next->focusPolicy() != Qt::NoFocus)
        next->setFocus(Qt::OtherFocusReason);
}

namespace {

class PlainEnterOnly : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void toolkit::pressButtonsOnPlainEnterOnly(QWidget *window)
{
    auto *filter = new PlainEnterOnly(window);
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->installEventFilter(filter);
}

void toolkit::tabEntersAtTickedButton(const QList<QRadioButton *> &set)
{
    for (QRadioButton *button : set) {
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        QObject::connect(button, &QRadioButton::toggled, button, [button](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
}
