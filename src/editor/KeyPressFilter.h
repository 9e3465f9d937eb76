#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

// Hands each key press of the watched fields to a key filter as the character
// it would type, before the field takes it; a filter that sets the character
// to 0 makes the field ignore the key. Keys that type no character (arrows,
// Delete, Home, End, Tab, lone modifiers) go through without asking the filter.
class KeyPressFilter : public QObject
{
public:
    using Filter = std::function<void(QChar &key)>;

    KeyPressFilter(Filter filter, QObject *parent);

    // The character a key press stands for: the clipboard keys as the control
    // characters 3 (copy), 22 (paste) and 24 (cut), Backspace as 8, Ctrl+letter
    // as its control character; a null character for a key that types nothing.
    static QChar KeyCharacter(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Filter m_filter;
};
