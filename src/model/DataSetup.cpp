#include "DataSetup.h"

#include "KelmIni.h"
#include "TextTable.h"
#include "Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataSetup {

namespace {

QString withSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString withoutSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}

void createIfMissing(const QString &directory)
{
    if (!QFileInfo(directory).isDir())
        QDir().mkdir(directory);
}

// A standard folder that exists or can be made (the XDG folders need not
// exist yet on a fresh account); empty when there is none.
QString standardFolder(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    if (folder.isEmpty())
        return QString();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return QString();
    return withoutSeparator(folder);
}

// The data directory's name is kept in the text table with Windows separators.
QString dataDirectoryName()
{
    QString name = TextTable::Text(11701);
    name.replace(u'\\', u'/');
    if (!name.startsWith(u'/'))
        name.prepend(u'/');
    return withSeparator(name);
}

QString programDataDirectory(const QString &programFolder)
{
    const QString appData = standardFolder(QStandardPaths::GenericDataLocation);
    if (appData.isEmpty())
        return programFolder;
    createIfMissing(appData + QStringLiteral("/VORN/"));
    const QString directory = appData + dataDirectoryName();
    createIfMissing(directory);
    return directory;
}

QString standardConfigDirectory(const QString &programFolder)
{
    const QString documents = standardFolder(QStandardPaths::DocumentsLocation);
    QString directory;
    if (documents.isEmpty()) {
        directory = programFolder + QStringLiteral("Config/");
    } else {
        createIfMissing(documents + QStringLiteral("/VORN/"));
        directory = documents + QStringLiteral("/VORN/KELM config/");
    }
    createIfMissing(directory);
    return directory;
}

bool exists(const QString &path)
{
    return QFileInfo::exists(path);
}

// Writes a "Setup" key unless an earlier write already failed; a failure is
// kept for the caller to show.
void writeSetup(KelmIni &ini, const char *key, const QString &value, DataSetupResult &result)
{
    if (!result.WriteError.isEmpty())
        return;
    if (!ini.WriteSetting(QString::fromLatin1(SetupSection), QString::fromLatin1(key), value))
        result.WriteError = ini.WriteErrorText();
}

} // namespace

QString FileVersionText()
{
    return QString::fromLatin1(KelmVersion::FileVersion);
}

QString ProgramFolder()
{
    const QString executableFolder = withSeparator(QCoreApplication::applicationDirPath());
    if (exists(executableFolder + QString::fromLatin1(ValuesSource)))
        return executableFolder;
    const QString shared = executableFolder + QStringLiteral("../share/kelm-programmer");
    if (QFileInfo(shared).isDir())
        return withSeparator(QDir::cleanPath(shared));
    return executableFolder;
}

bool CopyDataFile(const QString &sourceDirectory, const QString &sourceName,
                  const QString &targetName, const QString &targetDirectory)
{
    QFile source(sourceDirectory + sourceName);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QFile target(targetDirectory + targetName);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    char buffer[256];
    for (;;) {
        const qint64 read = source.read(buffer, sizeof buffer);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        if (target.write(buffer, read) != read)
            return false;
    }
    return target.flush();
}

DataSetupResult SetUpDataDirectories(KelmIni &ini, const QString &programFolderPath,
                                     const QStringList &arguments)
{
    DataSetupResult result;
    StartupDirectories &dirs = result.Directories;
    const QString programFolder = withSeparator(programFolderPath);
    dirs.ProgramDataDirectory = programDataDirectory(programFolder);
    dirs.StandardConfigDirectory = standardConfigDirectory(programFolder);

    const QString valuesTarget = dirs.ProgramDataDirectory + QString::fromLatin1(ValuesFile);
    const QString version = FileVersionText();
    bool refreshed = false;
    if (exists(programFolder + QString::fromLatin1(ValuesSource))) {
        if (exists(valuesTarget)) {
            ini.SetPath(valuesTarget);
            const QString section = QString::fromLatin1(SetupSection);
            const QString configDirectory = ini.ReadSetting(section, QString::fromLatin1(ConfigDirectoryKey));
            const QString installedVersion = ini.ReadSetting(section, QString::fromLatin1(AppVersionKey));
            if (installedVersion != version) {
                refreshed = true;
                result.ValuesInstalled = CopyDataFile(programFolder, QString::fromLatin1(ValuesSource),
                                                      QString::fromLatin1(ValuesFile), dirs.ProgramDataDirectory);
                if (!configDirectory.isEmpty())
                    writeSetup(ini, ConfigDirectoryKey, configDirectory, result);
                writeSetup(ini, AppVersionKey, version, result);
            }
        } else {
            result.ValuesInstalled = CopyDataFile(programFolder, QString::fromLatin1(ValuesSource),
                                                  QString::fromLatin1(ValuesFile), dirs.ProgramDataDirectory);
            ini.SetPath(valuesTarget);
            writeSetup(ini, AppVersionKey, version, result);
        }
    }

    // A failed write above is only reported: the rest of the set-up still
    // runs, so the window gets its directories and can go on.
    const bool defaultMissing = !exists(dirs.ProgramDataDirectory + QString::fromLatin1(DefaultFile));
    if (exists(programFolder + QString::fromLatin1(DefaultSource)) && (refreshed || defaultMissing)) {
        result.DefaultInstalled = CopyDataFile(programFolder, QString::fromLatin1(DefaultSource),
                                               QString::fromLatin1(DefaultFile), dirs.ProgramDataDirectory);
    }

    dirs.DefaultConfigDirectory = withoutSeparator(dirs.StandardConfigDirectory);
    ini.SetPath(valuesTarget);

    for (const QString &argument : arguments) {
        if (QFileInfo(argument).isDir()) {
            dirs.DefaultConfigDirectory = argument;
            return result;
        }
    }
    const QString stored = ini.ReadSetting(QString::fromLatin1(SetupSection), QString::fromLatin1(ConfigDirectoryKey));
    if (!stored.isEmpty())
        dirs.DefaultConfigDirectory = withoutSeparator(stored);
    return result;
}

} // namespace DataSetup
