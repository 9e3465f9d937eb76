#include "DeviceCommands.h"

#include "KelmLink.h"
#include "TextTable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
using Kind = DeviceReporter::Kind;

constexpr int RadioCodeAddresses[RadioCodeCount] = {
    Addr::DoorClosedRadioCode, Addr::DoorOpenedRadioCode, Addr::InputClosedRadioCode,
    Addr::InputOpenedRadioCode, Addr::TechnicalRadioCode,
};

// The bytes before the configuration proper: equipment type and radio codes.
constexpr int HeadLast = 13;
constexpr int ConfigurationFirst = 14;

void CopyRange(const ImageBuffer &from, ImageBuffer &to, int first, int last)
{
    std::copy(from.begin() + first, from.begin() + last + 1, to.begin() + first);
}

// Blocks of at most 16 bytes that a range first..last is transferred in.
int BlockCount(int first, int last)
{
    return (last - first + KelmLink::BlockSize) / KelmLink::BlockSize;
}
}

DeviceCommands::DeviceCommands(KelmLink &link, DeviceReporter &reporter, const QString &dataDirectory)
    : m_link(link), m_reporter(reporter), m_dataDirectory(dataDirectory),
      m_now([] { return QDateTime::currentDateTime(); })
{
}

QString DeviceCommands::BackupFolder() const
{
    return QDir(m_dataDirectory).filePath(QStringLiteral("Backups"));
}

void DeviceCommands::Finish()
{
    m_link.CloseLink();
    m_reporter.Progress(0, 0);
    m_reporter.BusyCursor(false);
}

int DeviceCommands::Connect(int statusText)
{
    m_lastBackup.clear();
    m_reporter.BusyCursor(true);
    if (m_link.OpenLink() != KelmLink::Success)
        return Fail(11409);
    if (m_link.CheckPresence() != KelmLink::Success)
        return Fail(11408);
    m_reporter.StatusText(TextTable::Text(statusText));
    m_reporter.RepaintOnce();
    return 0;
}

int DeviceCommands::Fail(int textNumber)
{
    Finish();
    m_reporter.StatusText(TextTable::Text(textNumber));
    m_reporter.Message(Kind::Error, textNumber);
    return textNumber;
}

void DeviceCommands::BeginProgress(int blocks)
{
    m_blocksDone = 0;
    m_blocksTotal = blocks;
    m_reporter.Progress(0, blocks);
}

// The link's own transfers split a range the same way; going block by block
// here lets the window follow each one.
int DeviceCommands::ReadRange(ImageBuffer &image, int first, int last)
{
    int result = KelmLink::Success;
    for (int address = first; address <= last; address += KelmLink::BlockSize) {
        const int blockLast = std::min(last, address + KelmLink::BlockSize - 1);
        if (m_link.ReadBlock(std::span<quint8>(image.data(), ImageSize), address, blockLast) != KelmLink::Success)
            result = KelmLink::ReadFailed;
        m_reporter.Progress(++m_blocksDone, m_blocksTotal);
    }
    return result;
}

int DeviceCommands::WriteRange(const ImageBuffer &image, int first, int last)
{
    int result = KelmLink::Success;
    for (int address = first; address <= last; address += KelmLink::BlockSize) {
        const int blockLast = std::min(last, address + KelmLink::BlockSize - 1);
        if (m_link.WriteBlock(std::span<const quint8>(image.data(), ImageSize), address, blockLast)
            != KelmLink::Success)
            result = KelmLink::WriteFailed;
        m_reporter.Progress(++m_blocksDone, m_blocksTotal);
    }
    return result;
}

int DeviceCommands::ReadFromDevice(KelmData &data)
{
    if (const int failed = Connect(11304))
        return failed;

    BeginProgress(BlockCount(Addr::FactoryAreaFirst, Addr::FactoryAreaLast) + BlockCount(0, ImageSize - 1));
    if (ReadRange(data.ReadBackImage, Addr::FactoryAreaFirst, Addr::FactoryAreaLast) != KelmLink::Success)
        return Fail(11408);
    if (ReadRange(data.ReadBackImage, 0, ImageSize - 1) != KelmLink::Success)
        return Fail(11306);
    m_reporter.Progress(0, 0);
    m_reporter.BusyCursor(false);

    if (!KelmData::HasKelmProductType(data.ReadBackImage)) {
        Finish();
        m_reporter.StatusText(QString());
        m_reporter.Message(Kind::Error, 11431);
        return 11431;
    }

    int result = 0;
    if (!KelmData::CheckImageCrc(data.ReadBackImage)) {
        m_reporter.StatusText(QString());
        m_reporter.Message(Kind::Error, 11434);
        result = 11434;
    }
    data.ConfigOrigin = OriginReadFromUnit;
    QString fieldName;
    const int address = m_reporter.ShowReadImage(data.ReadBackImage, fieldName);
    if (address >= 0) {
        m_reporter.Message(Kind::Error, 11418,
                           {fieldName, QString::number(address), QString::number(data.ReadBackImage[address])});
        result = 11418;
    }
    CopyRange(data.ReadBackImage, data.EditedImage, 0, ImageSize - 1);
    if (result == 0) {
        m_reporter.StatusText(TextTable::Text(11305));
        m_reporter.Message(Kind::Information, 11305);
    }
    m_reporter.ReadImageTaken();
    Finish();
    return result;
}

int DeviceCommands::WriteToDevice(KelmData &data, bool timeScheduleChecked)
{
    return WriteImage(data, WriteMode::Configure, timeScheduleChecked);
}

int DeviceCommands::RestoreToDevice(KelmData &data)
{
    return WriteImage(data, WriteMode::Restore, data.EditedImage[Addr::TimeScheduleEnabled] != 0);
}

int DeviceCommands::WriteImage(KelmData &data, WriteMode mode, bool timeScheduleChecked)
{
    ImageBuffer &image = data.EditedImage;
    ImageBuffer &unit = data.ReadBackImage;

    if (const int failed = Connect(11401))
        return failed;

    BeginProgress(BlockCount(0, HeadLast) + BlockCount(Addr::FactoryAreaFirst, Addr::FactoryAreaLast));
    if (ReadRange(unit, 0, HeadLast) != KelmLink::Success
        || ReadRange(unit, Addr::FactoryAreaFirst, Addr::FactoryAreaLast) != KelmLink::Success)
        return Fail(11408);
    if (!KelmData::HasKelmProductType(unit)) {
        Finish();
        m_reporter.StatusText(QString());
        m_reporter.Message(Kind::Error, 11431);
        return 11431;
    }

    CopyRange(unit, image, Addr::FactoryAreaFirst, Addr::FactoryAreaLast);
    const bool version1 = KelmData::IsVersion1(unit);
    const int version = KelmData::ProgramVersionNumber(unit);
    if (mode == WriteMode::Configure) {
        if (version1) {
            CopyRange(unit, image, 0, HeadLast);
            image[AddrVersion1::DoorClosedSendAlarm] = image[Addr::DoorClosedSendAlarm];
            image[AddrVersion1::DoorOpenedSendAlarm] = image[Addr::DoorOpenedSendAlarm];
            image[AddrVersion1::DoorClosedAlarmType] = image[Addr::DoorClosedAlarmType];
            image[AddrVersion1::DoorOpenedAlarmType] = image[Addr::DoorOpenedAlarmType];
            if (image[Addr::AutoResetTime] != 0 || image[Addr::AutoResetTime + 1] != 0)
                m_reporter.Message(Kind::Warning, 11501);
            if (image[Addr::PeekFunctionEnabled] != 0)
                m_reporter.Message(Kind::Warning, 11502);
            if (image[Addr::IgnorePowerSwitch] != 0)
                m_reporter.Message(Kind::Warning, 11503);
        } else if (version < VersionEquipmentType) {
            // Byte 0 is not written to this unit, so the image must carry the
            // unit's own: the CRC covers it and the verification compares it.
            CopyRange(unit, image, 0, HeadLast);
        } else {
            CopyRange(unit, image, 1, HeadLast);
        }
    }

    const bool clockNote = version >= VersionTimeSchedule && timeScheduleChecked;
    if (version < VersionTimeSchedule && timeScheduleChecked)
        return Fail(11504);

    // A restore puts the saved radio codes back as well; a write leaves the
    // unit's own and sends byte 0 only to units that take it.
    int headFirst = -1;
    if (mode == WriteMode::Restore)
        headFirst = 0;
    else if (version >= VersionEquipmentType)
        headFirst = Addr::EquipmentType;
    const int headLast = mode == WriteMode::Restore ? HeadLast : Addr::EquipmentType;
    const int writeBlocks = (headFirst >= 0 ? BlockCount(headFirst, headLast) : 0)
        + BlockCount(ConfigurationFirst, Addr::Crc) + BlockCount(Addr::ClockStampFirst, Addr::ClockStampLast);

    BeginProgress(BlockCount(0, ImageSize - 1) + writeBlocks);
    if (const int failed = BackUpUnit())
        return failed;

    image[Addr::Crc] = KelmData::ImageCrc(image);
    int failures = 0;
    if (headFirst >= 0)
        failures += WriteRange(image, headFirst, headLast) != KelmLink::Success;
    failures += WriteRange(image, ConfigurationFirst, Addr::Crc) != KelmLink::Success;
    failures += WriteRange(image, Addr::ClockStampFirst, Addr::ClockStampLast) != KelmLink::Success;
    if (failures > 0)
        return Fail(11407);

    m_reporter.StatusText(TextTable::Text(11402));
    m_reporter.RepaintOnce();
    BeginProgress(BlockCount(0, ImageSize - 1));
    if (ReadRange(unit, 0, ImageSize - 1) != KelmLink::Success)
        return Fail(11406);
    if (!data.CompareWithReadBack(0, Addr::Crc)
        || !data.CompareWithReadBack(Addr::ClockStampFirst, Addr::ClockStampLast))
        return Fail(11406);

    m_reporter.StatusText(TextTable::Text(11403));
    Finish();
    if (clockNote) {
        m_reporter.UnitClockStopped();
        m_reporter.Message(Kind::Information, 11405);
    } else {
        m_reporter.Message(Kind::Information, 11404);
    }
    return 0;
}

int DeviceCommands::ChangeDeviceRadioCodes(KelmData &data)
{
    m_lastBackup.clear();
    ImageBuffer unit{};
    m_reporter.BusyCursor(true);
    bool readGood = m_link.OpenLink() == KelmLink::Success && m_link.CheckPresence() == KelmLink::Success;
    if (readGood) {
        BeginProgress(BlockCount(Addr::FactoryAreaFirst, Addr::FactoryAreaFirst) + BlockCount(0, ImageSize - 1));
        if (ReadRange(unit, Addr::FactoryAreaFirst, Addr::FactoryAreaFirst) != KelmLink::Success)
            return Fail(11408);
        readGood = ReadRange(unit, 0, ImageSize - 1) == KelmLink::Success;
        if (readGood && !KelmData::HasKelmProductType(unit)) {
            Finish();
            m_reporter.StatusText(QString());
            m_reporter.Message(Kind::Error, 11431);
            return 11431;
        }
    }
    m_reporter.Progress(0, 0);
    m_reporter.BusyCursor(false);
    if (!readGood)
        return Fail(11306);

    RadioCodeTexts oldCodes;
    for (int i = 0; i < RadioCodeCount; ++i)
        oldCodes[i] = KelmData::RadioCodeToText(unit[RadioCodeAddresses[i]], unit[RadioCodeAddresses[i] + 1]);
    RadioCodeTexts newCodes = oldCodes;
    if (!m_reporter.AskRadioCodes(oldCodes, newCodes)) {
        Finish();
        return Aborted;
    }

    // The image just read is the whole unit as it was: it is the backup.
    if (const int failed = SaveBackup(unit))
        return failed;

    for (int i = 0; i < RadioCodeCount; ++i)
        KelmData::TextToRadioCode(newCodes[i], unit[RadioCodeAddresses[i]], unit[RadioCodeAddresses[i] + 1]);
    if (KelmData::IsVersion1(unit))
        std::copy(unit.begin() + Addr::DoorClosedRadioCode, unit.begin() + Addr::InputClosedRadioCode,
                  unit.begin() + AddrVersion1::DoorClosedRadioCodeCopy);
    unit[Addr::Crc] = KelmData::ImageCrc(unit);

    BeginProgress(BlockCount(0, HeadLast) + BlockCount(Addr::Crc, Addr::Crc) + BlockCount(0, HeadLast));
    if (WriteRange(unit, 0, HeadLast) != KelmLink::Success || WriteRange(unit, Addr::Crc, Addr::Crc) != KelmLink::Success)
        return Fail(11407);
    if (ReadRange(data.ReadBackImage, 0, HeadLast) != KelmLink::Success)
        return Fail(11406);
    Finish();
    if (!KelmData::CompareImages(data.ReadBackImage, unit, 0, HeadLast))
        return Fail(11406);
    m_reporter.StatusText(TextTable::Text(11403));
    m_reporter.Message(Kind::Information, 11404);
    return 0;
}

int DeviceCommands::BackUpUnit()
{
    ImageBuffer unitImage{};
    if (ReadRange(unitImage, 0, ImageSize - 1) != KelmLink::Success)
        return Fail(11408);
    return SaveBackup(unitImage);
}

int DeviceCommands::SaveBackup(const ImageBuffer &image)
{
    const QString folder = BackupFolder();
    const QString stem = QStringLiteral("KELM-%1-%2")
                             .arg(KelmData::SerialNumber(image))
                             .arg(m_now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // Two commands within one second must not overwrite the earlier backup.
    QString path = QDir(folder).filePath(stem + QStringLiteral(".Kelm"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.Kelm").arg(stem).arg(n));

    if (!QDir().mkpath(folder) || !KelmData::WriteConfigFile(image, path, ImageSize)) {
        Finish();
        const QString text = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path));
        m_reporter.StatusText(text);
        m_reporter.MessageText(Kind::Error, text);
        return BackupFailed;
    }
    m_lastBackup = path;
    return 0;
}
