#include "CliTestSupport.h"
#include "KelmLink.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>

namespace {

TEST_F(CliTest, InstalledTreeRunsFromItsOwnFolders)
{
    // Installing takes every program; a build of only some targets has not made them all.
    if (!QFileInfo::exists(TestSupport::BinPath(QStringLiteral("kelm-programmer"))))
        GTEST_SKIP() << "kelm-programmer is not built";
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QProcess install;
    install.start(QStringLiteral(KELM_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(KELM_BUILD_DIR), QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    for (const char *file : {"bin/kelm", "bin/kelm-programmer", "bin/kelm-sim", "share/kelm-programmer/Values.i",
                             "share/kelm-programmer/Default.b", "share/applications/kelm-programmer.desktop",
                             "share/icons/hicolor/scalable/apps/kelm-programmer.svg",
                             "lib/udev/rules.d/60-kelm-qev.rules"})
        EXPECT_TRUE(QFileInfo(prefix.filePath(QLatin1String(file))).isFile()) << file;

    const QString rule = QString::fromUtf8(TestSupport::ReadAll(prefix.filePath(QStringLiteral("lib/udev/rules.d/60-kelm-qev.rules"))));
    const QString product = QStringLiteral("ATTRS{product}==\"%1\"").arg(QLatin1String(KelmLink::QevDescription));
    EXPECT_TRUE(rule.contains(product + QStringLiteral(", GROUP=\"dialout\""))) << rule.toStdString();
    EXPECT_TRUE(rule.contains(QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}=\"1\"")));
    const QString desktop = QString::fromUtf8(TestSupport::ReadAll(prefix.filePath(QStringLiteral("share/applications/kelm-programmer.desktop"))));
    EXPECT_TRUE(desktop.contains(QStringLiteral("\nExec=kelm-programmer")));
    EXPECT_TRUE(desktop.contains(QStringLiteral("\nIcon=kelm-programmer\n")));

    // The installed kelm finds its value lists in share/kelm-programmer.
    const KelmRun run = Run(prefix.filePath(QStringLiteral("bin/kelm")),
                            {QStringLiteral("show"), QStringLiteral("share/kelm-programmer/Default.b")}, prefix.path());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Larm när dörr stängs : Larmtyp: Dörr stängd\n"))) << run.out.toStdString();
}

} // namespace
