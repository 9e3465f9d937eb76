#pragma once

#include <QString>
#include <QStringList>

class KelmIni;

// The directories start-up settles. The two first end with '/'.
struct StartupDirectories
{
    QString ProgramDataDirectory;
    QString StandardConfigDirectory;
    QString DefaultConfigDirectory;
};

struct DataSetupResult
{
    StartupDirectories Directories;
    // Empty when every write to "Values.ini" succeeded; otherwise the
    // "Unable to write to <path>" text to show. The set-up carries on all the same.
    QString WriteError;
    bool ValuesInstalled = false;  // Values.ini was copied from Values.i
    bool DefaultInstalled = false; // Default.bin was copied from Default.b
};

namespace DataSetup {

inline constexpr const char *ValuesSource = "Values.i";
inline constexpr const char *ValuesFile = "Values.ini";
inline constexpr const char *DefaultSource = "Default.b";
inline constexpr const char *DefaultFile = "Default.bin";
inline constexpr const char *SetupSection = "Setup";
inline constexpr const char *ConfigDirectoryKey = "ConfigDirectory";
inline constexpr const char *AppVersionKey = "AppVersion";

// The tool's file version text, "1.3.0.173".
QString FileVersionText();

// The folder holding the shipped files, with a trailing '/': the executable's
// folder, or ../share/kelm-programmer/ beside it in an installed tree.
QString ProgramFolder();

// Copies sourceDirectory + sourceName to targetDirectory + targetName, replacing
// the target. True only when the whole source was copied.
bool CopyDataFile(const QString &sourceDirectory, const QString &sourceName,
                  const QString &targetName, const QString &targetDirectory);

// Creates the data and configuration directories, installs or refreshes
// Values.ini and Default.bin from programFolder, points `ini` at Values.ini and
// settles the default configuration directory from the command-line arguments
// (program name excluded) or the stored setting.
DataSetupResult SetUpDataDirectories(KelmIni &ini, const QString &programFolder,
                                     const QStringList &arguments);

} // namespace DataSetup
