#include "KeyPressFilter.h"

#include <QKeyEvent>
#include <QKeySequence>

KeyPressFilter::KeyPressFilter(Filter filter, QObject *parent)
    : QObject(parent)
    , m_filter(std::move(filter))
{
}

QChar KeyPressFilter::KeyCharacter(const QKeyEvent &event)
{
    if (event.matches(QKeySequence::Copy))
        return QChar(3);
    if (event.matches(QKeySequence::Paste))
        return QChar(22);
    if (event.matches(QKeySequence::Cut))
        return QChar(24);
    const int key = event.key();
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    // Ctrl+A, Ctrl+Z and the like type their control character, whatever text
    // the platform attaches to the event.
    if ((event.modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).category() == QChar::Other_Control)
        return QChar();
    return text.at(0);
}

bool KeyPressFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    QChar key = KeyCharacter(*static_cast<QKeyEvent *>(event));
    if (key.isNull())
        return false;
    m_filter(key);
    return key.isNull();
}
