#include "SoakModel.h"

#include "DeviceCommands.h"
#include "KelmData.h"

#include <algorithm>

namespace {
constexpr int BlockSize = 16;
constexpr int Tries = 3;
constexpr int ReplyTimeoutMs = 250;
constexpr int PresenceTimeoutMs = 350;
// A try on a hung-up line also waits for its write to give up.
constexpr int DeadLineTryMs = 350;
constexpr int HeadLast = 13;

const int RadioCodeAddresses[RadioCodeCount] = { 4, 6, 8, 10, 12 };

void CopyRange(const ImageBuffer &from, ImageBuffer &to, int first, int last)
{
    std::copy(from.begin() + first, from.begin() + last + 1, to.begin() + first);
}
}

ImageBuffer ToImage(const QByteArray &memory)
{
    ImageBuffer image {};
    std::copy(memory.begin(), memory.begin() + std::min<qsizetype>(memory.size(), ImageSize), image.begin());
    return image;
}

QByteArray FromImage(const ImageBuffer &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()), ImageSize);
}

bool LineModel::IsAt(SimFault::Kind kind, int address) const
{
    return Is(kind) && (m_fault.sim->value < 0 || m_fault.sim->value == address);
}

bool LineModel::Frame()
{
    ++m_frames;
    return !(Is(SimFault::HangUp) && m_frames > m_fault.sim->value);
}

bool LineModel::Presence()
{
    if (!Frame()) {
        m_costMs += PresenceTimeoutMs + 100;
        return false;
    }
    if (Is(SimFault::SilentPresence)) {
        m_costMs += PresenceTimeoutMs;
        return false;
    }
    return true;
}

bool LineModel::ReadBlock(ImageBuffer &image, int address, int length)
{
    for (int attempt = 0; attempt < Tries; ++attempt) {
        if (!Frame()) {
            m_costMs += DeadLineTryMs;
            continue;
        }
        if (IsAt(SimFault::SilentBlock, address) || IsAt(SimFault::ShortRead, address)) {
            m_costMs += ReplyTimeoutMs;
            continue;
        }
        if (Is(SimFault::Drip))
            m_costMs += (2 * length + 3) * (m_fault.sim->value + 1);
        if (IsAt(SimFault::BadChecksum, address))
            continue;
        for (int i = 0; i < length; ++i)
            image[address + i] = quint8(m_memory[address + i]);
        return true;
    }
    return false;
}

bool LineModel::WriteBlock(const ImageBuffer &image, int address, int length)
{
    for (int attempt = 0; attempt < Tries; ++attempt) {
        if (!Frame()) {
            m_costMs += DeadLineTryMs;
            continue;
        }
        if (IsAt(SimFault::SilentBlock, address)) {
            m_costMs += ReplyTimeoutMs;
            continue;
        }
        if (Is(SimFault::RefuseWrites))
            continue;
        if (Is(SimFault::NakWrites) && ++m_writeTries[address] <= m_fault.sim->value)
            continue;
        // Acknowledged all the same: only the verification can tell.
        if (IsAt(SimFault::ForgetWrites, address))
            return true;
        for (int i = 0; i < length; ++i)
            m_memory[address + i] = char(image[address + i]);
        return true;
    }
    return false;
}

bool LineModel::ReadRange(ImageBuffer &image, int first, int last)
{
    bool all = true;
    for (int address = first; address <= last; address += BlockSize)
        all = ReadBlock(image, address, std::min(BlockSize, last - address + 1)) && all;
    return all;
}

bool LineModel::WriteRange(const ImageBuffer &image, int first, int last)
{
    bool all = true;
    for (int address = first; address <= last; address += BlockSize)
        all = WriteBlock(image, address, std::min(BlockSize, last - address + 1)) && all;
    return all;
}

namespace {
Expected Start(const QByteArray &unit, const ImageBuffer &edited, int origin)
{
    Expected e;
    e.memory = unit;
    e.edited = edited;
    e.origin = origin;
    return e;
}

Expected Finish(Expected e, const LineModel &line, int result)
{
    e.result = result;
    e.memory = line.Memory();
    e.costMs = line.CostMs();
    return e;
}
}

Expected PredictRead(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin)
{
    Expected e = Start(unit, edited, origin);
    LineModel line(unit, fault);
    ImageBuffer read {};
    if (!line.Open())
        return Finish(e, line, 11409);
    if (!line.Presence())
        return Finish(e, line, 11408);
    if (!line.ReadRange(read, Addr::FactoryAreaFirst, Addr::FactoryAreaLast))
        return Finish(e, line, 11408);
    if (!line.ReadRange(read, 0, ImageSize - 1))
        return Finish(e, line, 11306);
    if (read[Addr::ProductType] != KelmProductType)
        return Finish(e, line, 11431);
    // A bad CRC is reported, but the image is taken all the same.
    CopyRange(read, e.edited, 0, ImageSize - 1);
    e.origin = OriginReadFromUnit;
    return Finish(e, line, KelmData::CheckImageCrc(read) ? 0 : 11434);
}

namespace {
enum class WriteMode { Configure, Restore };

Expected PredictWriteImage(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin,
                           bool timeScheduleChecked, WriteMode mode)
{
    Expected e = Start(unit, edited, origin);
    LineModel line(unit, fault);
    ImageBuffer &image = e.edited;
    ImageBuffer read {};
    if (!line.Open())
        return Finish(e, line, 11409);
    if (!line.Presence())
        return Finish(e, line, 11408);
    if (!line.ReadRange(read, 0, HeadLast) || !line.ReadRange(read, Addr::FactoryAreaFirst, Addr::FactoryAreaLast))
        return Finish(e, line, 11408);
    if (read[Addr::ProductType] != KelmProductType)
        return Finish(e, line, 11431);

    // The unit's own bytes go into the image before anything is written.
    CopyRange(read, image, Addr::FactoryAreaFirst, Addr::FactoryAreaLast);
    const bool version1 = read[Addr::ProgramVersionMajor] == 1;
    const int version = 256 * read[Addr::ProgramVersionMajor] + read[Addr::ProgramVersionMinor];
    // A restored image keeps its own head; a configuration takes the unit's.
    if (mode == WriteMode::Configure) {
        if (version1) {
            CopyRange(read, image, 0, HeadLast);
            image[16] = image[18];
            image[17] = image[19];
            image[32] = image[34];
            image[33] = image[35];
        } else if (version < VersionEquipmentType) {
            // Byte 0 is not sent to this unit: the image keeps the unit's own.
            CopyRange(read, image, 0, HeadLast);
        } else {
            CopyRange(read, image, 1, HeadLast);
        }
    }
    if (version < VersionTimeSchedule && timeScheduleChecked)
        return Finish(e, line, 11504);

    ImageBuffer backup {};
    if (!line.ReadRange(backup, 0, ImageSize - 1))
        return Finish(e, line, 11408);

    image[Addr::Crc] = KelmData::ImageCrc(image);
    bool written = true;
    if (mode == WriteMode::Restore)
        written = line.WriteRange(image, 0, HeadLast) && written;
    else if (version >= VersionEquipmentType)
        written = line.WriteRange(image, 0, 0) && written;
    written = line.WriteRange(image, 14, Addr::Crc) && written;
    written = line.WriteRange(image, Addr::ClockStampFirst, Addr::ClockStampLast) && written;
    if (!written)
        return Finish(e, line, 11407);

    if (!line.ReadRange(read, 0, ImageSize - 1))
        return Finish(e, line, 11406);
    if (!KelmData::CompareImages(image, read, 0, Addr::Crc)
        || !KelmData::CompareImages(image, read, Addr::ClockStampFirst, Addr::ClockStampLast))
        return Finish(e, line, 11406);
    return Finish(e, line, 0);
}
}

Expected PredictWrite(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin,
                      bool timeScheduleChecked)
{
    return PredictWriteImage(unit, fault, edited, origin, timeScheduleChecked, WriteMode::Configure);
}

Expected PredictRestore(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin)
{
    return PredictWriteImage(unit, fault, edited, origin, edited[Addr::TimeScheduleEnabled] != 0, WriteMode::Restore);
}

Expected PredictRadioCodes(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin,
                           bool accept, const RadioCodeTexts &newCodes)
{
    // The window's image and origin are never touched by this command.
    Expected e = Start(unit, edited, origin);
    LineModel line(unit, fault);
    ImageBuffer image {};
    bool readGood = line.Open() && line.Presence();
    if (readGood) {
        if (!line.ReadRange(image, Addr::FactoryAreaFirst, Addr::FactoryAreaFirst))
            return Finish(e, line, 11408);
        readGood = line.ReadRange(image, 0, ImageSize - 1);
        if (readGood && image[Addr::ProductType] != KelmProductType)
            return Finish(e, line, 11431);
    }
    if (!readGood)
        return Finish(e, line, 11306);
    if (!accept)
        return Finish(e, line, DeviceCommands::Aborted);

    for (int i = 0; i < RadioCodeCount; ++i)
        KelmData::TextToRadioCode(newCodes[i], image[RadioCodeAddresses[i]], image[RadioCodeAddresses[i] + 1]);
    if (image[Addr::ProgramVersionMajor] == 1)
        std::copy(image.begin() + 4, image.begin() + 8, image.begin());
    image[Addr::Crc] = KelmData::ImageCrc(image);
    if (!line.WriteRange(image, 0, HeadLast) || !line.WriteRange(image, Addr::Crc, Addr::Crc))
        return Finish(e, line, 11407);
    ImageBuffer read {};
    if (!line.ReadRange(read, 0, HeadLast))
        return Finish(e, line, 11406);
    return Finish(e, line, KelmData::CompareImages(read, image, 0, HeadLast) ? 0 : 11406);
}
