#include "KelmIni.h"

#include "CodeList.h"

void KelmIni::SetPath(const QString &path)
{
    m_path = path;
}

QString KelmIni::Path() const
{
    return m_path;
}

QString KelmIni::ReadSetting(const QString &, const QString &, const QString &defaultValue) const
{
    return defaultValue;
}

bool KelmIni::WriteSetting(const QString &, const QString &, const QString &)
{
    return false;
}

QString KelmIni::WriteErrorText() const
{
    return QStringLiteral("Unable to write to %1").arg(m_path);
}

bool KelmIni::SectionExists(const QString &) const
{
    return false;
}

int KelmIni::FillList(ListControl &control, const QString &, CodeList &codes) const
{
    control.Clear();
    codes.Clear();
    return 0;
}
