#include "CliTestSupport.h"

#include "KelmData.h"
#include "TestSupport.h"

#include <QDir>
#include <QProcessEnvironment>

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SimProcess::Start(const QStringList &arguments, const QString &program)
{
    m_process.start(TestSupport::BinPath(program), arguments);
    if (!m_process.waitForStarted(5000))
        return false;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(5000))
            return false;
    }
    m_port = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_port.isEmpty();
}

void CliTest::SetUp()
{
    ASSERT_TRUE(home.isValid());
}

KelmRun CliTest::Kelm(const QStringList &arguments, const QString &language)
{
    return Run(TestSupport::BinPath(QStringLiteral("kelm")), arguments, home.path(), language);
}

KelmRun CliTest::Run(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                     const QString &language)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("LC_ALL"), language.isEmpty() ? QStringLiteral("sv_SE.UTF-8") : language);
    environment.remove(QStringLiteral("KELM_PORT"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    KelmRun run;
    if (!process.waitForStarted(5000) || !process.waitForFinished(60000)) {
        ADD_FAILURE() << program.toStdString() << " did not run: " << arguments.join(u' ').toStdString();
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void CliTest::StartUnit(const QByteArray &memory, const QStringList &extra)
{
    startMemory = memory;
    const QString image = WriteFile(QStringLiteral("unit-start.bin"), memory);
    ASSERT_TRUE(sim.Start(QStringList{QStringLiteral("--image"), image, QStringLiteral("--memory-out"), MemoryOutPath()}
                          + extra));
}

QByteArray CliTest::MemoryOut() const
{
    return TestSupport::ReadAll(MemoryOutPath());
}

QString CliTest::DataFolder() const
{
    return home.filePath(QStringLiteral("data/VORN/KELM Programmer (SE)"));
}

QStringList CliTest::Backups() const
{
    const QDir folder(DataFolder() + QStringLiteral("/Backups"));
    QStringList paths;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        paths << folder.filePath(name);
    return paths;
}

QString CliTest::WriteFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = home.filePath(name);
    EXPECT_TRUE(TestSupport::WriteAll(path, bytes)) << path.toStdString();
    return path;
}

QByteArray ShippedDefault()
{
    return TestSupport::ReadAll(TestSupport::BinPath(QStringLiteral("Default.b")));
}

QByteArray UnitMemory()
{
    QByteArray memory = ShippedDefault();
    memory.resize(ImageSize);
    SetByte(memory, Addr::ProductType, KelmProductType);
    SetByte(memory, Addr::ProgramVersionMajor, 2);
    SetByte(memory, Addr::ProgramVersionMinor, 8);
    const char codes[] = {0x1A, 0x2B, 0x1A, 0x2C, 0x1A, 0x2D, 0x1A, 0x2E, 0x1A, 0x2F};
    memory.replace(Addr::DoorClosedRadioCode, 10, QByteArray(codes, 10));
    SetByte(memory, 1, 0x11);
    // Serial number 654321 and a production date of its own.
    SetByte(memory, Addr::SerialNumber, 0x09);
    SetWord(memory, Addr::SerialNumber + 1, 0xFBF1);
    SetByte(memory, Addr::ProductionYear, 0x25);
    SetByte(memory, Addr::RadioCalibration, 77);
    SealCrc(memory);
    return memory;
}

void SetByte(QByteArray &memory, int address, int value)
{
    memory[address] = char(value);
}

void SetWord(QByteArray &memory, int address, int value)
{
    memory[address] = char(value >> 8);
    memory[address + 1] = char(value & 0xFF);
}

ImageBuffer ToImage(const QByteArray &memory)
{
    ImageBuffer image{};
    std::copy(memory.begin(), memory.begin() + std::min<qsizetype>(memory.size(), ImageSize), image.begin());
    return image;
}

void SealCrc(QByteArray &memory)
{
    memory[Addr::Crc] = char(KelmData::ImageCrc(ToImage(memory)));
}
