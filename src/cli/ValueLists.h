#pragma once

#include "CodeList.h"
#include "Fields.h"
#include "KelmIni.h"

#include <QString>
#include <QStringList>

// The three value lists of "Values.ini" as the window fills them: the device
// code and the name of every row.
class ValueLists
{
public:
    ValueLists();

    // Fills the lists from the file; rows stay empty for a missing file.
    void Load(const QString &valuesFile);
    const KelmIni &Ini() const { return m_ini; }

    const CodeList &Codes(ValueList list) const;
    const QStringList &Names(ValueList list) const;
    // The row showing this code, or -1 when no row does.
    int RowOfCode(ValueList list, quint8 code) const;
    // The row named `text` (any case) or carrying the code `text`; -1 for none.
    int FindRow(ValueList list, const QString &text) const;

private:
    KelmIni m_ini;
    CodeList m_alarmTypes;
    CodeList m_doorMatSensorTypes;
    CodeList m_regions;
    QStringList m_alarmTypeNames;
    QStringList m_doorMatSensorTypeNames;
    QStringList m_regionNames;
};
