#pragma once

#include "CodeList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A list control that keeps what FillList gave it.
class RecordingList : public ListControl
{
public:
    void Clear() override
    {
        items.clear();
        selected = -1;
    }
    void Append(const QString &text) override { items << text; }
    void SelectIndex(int index) override { selected = index; }

    QStringList items{QStringLiteral("stale")};
    int selected = 7;
};

// A temporary folder with one INI file written from the given bytes.
struct IniFixture
{
    explicit IniFixture(const QByteArray &contents);
    QString path;
    QTemporaryDir dir;
};
