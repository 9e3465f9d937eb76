#include "ValueLists.h"

#include "DstRule.h"

namespace {
class NameCollector : public ListControl
{
public:
    explicit NameCollector(QStringList &names) : m_names(names) {}
    void Clear() override { m_names.clear(); }
    void Append(const QString &text) override { m_names.append(text); }
    void SelectIndex(int) override {}

private:
    QStringList &m_names;
};

const QStringList NoNames;
}

ValueLists::ValueLists()
    : m_alarmTypes(ListLimit::AlarmType), m_doorMatSensorTypes(ListLimit::DoorMatSensorType),
      m_regions(ListLimit::DaylightSaving)
{
}

void ValueLists::Load(const QString &valuesFile)
{
    m_ini.SetPath(valuesFile);
    NameCollector alarmTypes(m_alarmTypeNames);
    m_ini.FillList(alarmTypes, QStringLiteral("AlarmType"), m_alarmTypes);
    NameCollector sensorTypes(m_doorMatSensorTypeNames);
    m_ini.FillList(sensorTypes, QStringLiteral("DoorMatSensorType"), m_doorMatSensorTypes);
    NameCollector regions(m_regionNames);
    m_ini.FillList(regions, QString::fromLatin1(DaylightSavingSection), m_regions);
}

const CodeList &ValueLists::Codes(ValueList list) const
{
    switch (list) {
    case ValueList::AlarmTypes:
        return m_alarmTypes;
    case ValueList::DoorMatSensorTypes:
        return m_doorMatSensorTypes;
    case ValueList::DaylightSavingRegions:
    case ValueList::None:
        break;
    }
    return m_regions;
}

const QStringList &ValueLists::Names(ValueList list) const
{
    switch (list) {
    case ValueList::AlarmTypes:
        return m_alarmTypeNames;
    case ValueList::DoorMatSensorTypes:
        return m_doorMatSensorTypeNames;
    case ValueList::DaylightSavingRegions:
        return m_regionNames;
    case ValueList::None:
        break;
    }
    return NoNames;
}

int ValueLists::RowOfCode(ValueList list, quint8 code) const
{
    return Codes(list).RowOfCode(code);
}

int ValueLists::FindRow(ValueList list, const QString &text) const
{
    const QStringList &names = Names(list);
    for (int row = 0; row < names.size(); ++row) {
        if (names[row].compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return row;
    }
    bool isNumber = false;
    const int code = text.trimmed().toInt(&isNumber);
    if (!isNumber || code < 0 || code > 255)
        return -1;
    return RowOfCode(list, quint8(code));
}
