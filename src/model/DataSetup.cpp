#include "DataSetup.h"

#include "KelmIni.h"
#include "Version.h"

namespace DataSetup {

QString FileVersionText()
{
    return QString::fromLatin1(KelmVersion::FileVersion);
}

QString ProgramFolder()
{
    return QString();
}

bool CopyDataFile(const QString &, const QString &, const QString &, const QString &)
{
    return false;
}

DataSetupResult SetUpDataDirectories(KelmIni &, const QString &, const QStringList &)
{
    return DataSetupResult();
}

} // namespace DataSetup
