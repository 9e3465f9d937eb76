#pragma once

#include "CodeList.h"

class QComboBox;

// Lets the value-list reader fill a drop-down list of the window.
class ComboListControl : public ListControl
{
public:
    explicit ComboListControl(QComboBox &box) : box(box) {}

    void Clear() override;
    void Append(const QString &text) override;
    void SelectIndex(int index) override;

private:
    QComboBox &box;
};
