#include "CodeList.h"

CodeList::CodeList(int limit) : m_limit(limit < 0 ? 0 : limit)
{
    m_entries.reserve(m_limit + 1);
    m_entries.push_back(Terminator);
}

int CodeList::Limit() const
{
    return m_limit;
}

void CodeList::Clear()
{
    m_entries.assign(1, Terminator);
}

bool CodeList::Append(qint32 code)
{
    if (Count() >= m_limit)
        return false;
    m_entries.back() = code;
    m_entries.push_back(Terminator);
    return true;
}

int CodeList::Count() const
{
    return int(m_entries.size()) - 1;
}

int CodeList::RowOfCode(quint8 code) const
{
    for (int row = 0; m_entries[row] != Terminator; ++row) {
        if (m_entries[row] == code)
            return row;
    }
    return -1;
}

qint32 CodeList::CodeOfRow(int row) const
{
    if (row < 0 || row >= Count())
        return -1;
    return m_entries[row];
}
