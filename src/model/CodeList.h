#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// What FillList needs of a drop-down list, so the model needs no widget.
class ListControl
{
public:
    virtual ~ListControl() = default;
    virtual void Clear() = 0;
    virtual void Append(const QString &text) = 0;
    virtual void SelectIndex(int index) = 0;
};

// The most rows each kind of list takes.
namespace ListLimit {
inline constexpr int AlarmType = 200;
inline constexpr int DoorMatSensorType = 10;
inline constexpr int DaylightSaving = 30;
}

// The device code behind each row of one drop-down list, ended by 999. A list
// for `limit` rows has room for limit + 1 entries.
class CodeList
{
public:
    static constexpr qint32 Terminator = 999;

    explicit CodeList(int limit);

    int Limit() const;
    // Empties the list: the terminator alone.
    void Clear();
    // Appends a row's code; false when the list is already full.
    bool Append(qint32 code);
    int Count() const;

    // The first row whose code equals code, or -1.
    int RowOfCode(quint8 code) const;
    // The code of an existing row; -1 for a row that does not exist.
    qint32 CodeOfRow(int row) const;

private:
    int m_limit;
    std::vector<qint32> m_entries;
};
