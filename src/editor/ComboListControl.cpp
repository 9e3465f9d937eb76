#include "ComboListControl.h"

#include <QComboBox>

void ComboListControl::Clear()
{
    box.clear();
}

void ComboListControl::Append(const QString &text)
{
    box.addItem(text);
}

void ComboListControl::SelectIndex(int index)
{
    box.setCurrentIndex(index);
}
