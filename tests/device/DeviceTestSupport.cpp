#include "DeviceTestSupport.h"

#include "TestSupport.h"
#include "TextTable.h"

#include <QDir>

void RecordingReporter::Message(Kind kind, int textNumber, const QStringList &args)
{
    shown.append({kind, textNumber, args, TextTable::Format(textNumber, args)});
    linkOpenAtMessage.append(link && link->IsOpen());
    events.append(QStringLiteral("message"));
}

void RecordingReporter::MessageText(Kind kind, const QString &text)
{
    shown.append({kind, 0, {}, text});
    linkOpenAtMessage.append(link && link->IsOpen());
    events.append(QStringLiteral("message"));
}

void RecordingReporter::StatusText(const QString &text)
{
    statusTexts.append(text);
    events.append(QStringLiteral("status"));
}

void RecordingReporter::BusyCursor(bool on)
{
    if (on != busy)
        events.append(on ? QStringLiteral("busy") : QStringLiteral("idle"));
    busy = on;
}

void RecordingReporter::RepaintOnce()
{
    events.append(QStringLiteral("repaint"));
}

void RecordingReporter::Progress(int done, int total)
{
    progressShowing = total > 0;
    if (total > 0) {
        EXPECT_LE(done, total);
        progressTotalSeen = std::max(progressTotalSeen, total);
        progressLastDone = done;
    }
}

int RecordingReporter::ShowReadImage(const ImageBuffer &image, QString &fieldName)
{
    shownImage = image;
    events.append(QStringLiteral("show"));
    fieldName = failingField;
    return failingAddress;
}

void RecordingReporter::ReadImageTaken()
{
    events.append(QStringLiteral("title"));
}

void RecordingReporter::UnitClockStopped()
{
    events.append(QStringLiteral("clock"));
}

bool RecordingReporter::AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes)
{
    ++dialogShown;
    dialogOldCodes = oldCodes;
    linkOpenDuringDialog = link && link->IsOpen();
    if (dialogAccepts)
        newCodes = dialogNewCodes;
    return dialogAccepts;
}

QList<int> RecordingReporter::Numbers() const
{
    QList<int> numbers;
    for (const Shown &s : shown)
        numbers.append(s.textNumber);
    return numbers;
}

QByteArray UnitMemory()
{
    QByteArray memory = TestSupport::ReadAll(TestSupport::SourcePath(QStringLiteral("src/resources/Default.b")));
    memory.resize(ImageSize);
    SetVersion(memory, 2, 8);
    memory[Addr::ProductType] = char(KelmProductType);
    // Radio codes the unit was shipped with.
    const char codes[] = {0x1A, 0x2B, 0x1A, 0x2C, 0x1A, 0x2D, 0x1A, 0x2E, 0x1A, 0x2F};
    memory.replace(Addr::DoorClosedRadioCode, 10, QByteArray(codes, 10));
    memory[1] = 0x11;
    SealCrc(memory);
    return memory;
}

void SetVersion(QByteArray &memory, int major, int minor)
{
    memory[Addr::ProgramVersionMajor] = char(major);
    memory[Addr::ProgramVersionMinor] = char(minor);
}

void SealCrc(QByteArray &memory)
{
    memory[Addr::Crc] = char(KelmData::ImageCrc(ToImage(memory)));
}

ImageBuffer ToImage(const QByteArray &memory)
{
    ImageBuffer image{};
    std::copy(memory.begin(), memory.begin() + std::min<qsizetype>(memory.size(), BufferSize), image.begin());
    return image;
}

QByteArray FromImage(const ImageBuffer &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()), ImageSize);
}

void DeviceFixture::StartUnit(SimOptions options)
{
    ASSERT_TRUE(dataDir.isValid());
    sim = std::make_unique<SimServer>(std::move(options));
    QString error;
    ASSERT_TRUE(sim->Open(&error)) << qPrintable(error);
    sim->Start();
    link.SetPortName(sim->DevicePath());
    reporter.link = &link;
    commands = std::make_unique<DeviceCommands>(link, reporter, dataDir.path());
}

void DeviceFixture::StartUnit(const QByteArray &memory, const QList<SimFault> &faults)
{
    SimOptions options;
    options.memory = memory;
    options.faults = faults;
    StartUnit(options);
}

void DeviceFixture::NoQev()
{
    link.SetPortName(dataDir.filePath(QStringLiteral("no-such-port")));
    reporter.link = &link;
    commands = std::make_unique<DeviceCommands>(link, reporter, dataDir.path());
}

QList<QByteArray> DeviceFixture::Commands(char letter) const
{
    QList<QByteArray> found;
    if (!sim)
        return found;
    for (const QByteArray &command : sim->Commands()) {
        if (command.startsWith(letter))
            found.append(command);
    }
    return found;
}

QStringList DeviceFixture::Backups() const
{
    return QDir(dataDir.filePath(QStringLiteral("Backups"))).entryList(QDir::Files, QDir::Name);
}
