#include "KelmData.h"

#include <QTime>

namespace {
constexpr QChar CtrlC(3);
constexpr QChar Backspace(8);
constexpr QChar CtrlV(22);
constexpr QChar CtrlX(24);

bool IsEditingKey(QChar key)
{
    return key == CtrlC || key == Backspace || key == CtrlV || key == CtrlX;
}

bool IsAsciiDigit(QChar key)
{
    return key >= QLatin1Char('0') && key <= QLatin1Char('9');
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

// The unit counts seconds from its stamp; the write takes about this long.
constexpr int StampLeadSeconds = 3;
}

bool KelmData::CompareImages(const ImageBuffer &a, const ImageBuffer &b, unsigned first, unsigned last)
{
    for (unsigned i = first; i <= last && i < BufferSize; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool KelmData::CompareWithReadBack(unsigned first, unsigned last) const
{
    return CompareImages(EditedImage, ReadBackImage, first, last);
}

QString KelmData::ByteToHexText(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString KelmData::RadioCodeToText(quint8 first, quint8 second)
{
    if (first == 0 && second == 0)
        return QString();
    return ByteToHexText(first) + ByteToHexText(second);
}

quint8 KelmData::HexPairToByte(QChar high, QChar low)
{
    return quint8(16 * HexValue(high) + HexValue(low));
}

void KelmData::TextToRadioCode(const QString &text, quint8 &first, quint8 &second)
{
    const auto at = [&text](int i) { return i < text.size() ? text.at(i) : QChar(0); };
    first = HexPairToByte(at(0), at(1));
    second = HexPairToByte(at(2), at(3));
}

quint8 KelmData::BcdToByte(quint8 value)
{
    const int high = value >> 4;
    const int low = value & 0x0F;
    if (high > 9 || low > 9)
        return 0;
    return quint8(10 * high + low);
}

void KelmData::WordToBigEndian(quint16 value, quint8 &high, quint8 &low)
{
    high = quint8(value >> 8);
    low = quint8(value & 0xFF);
}

bool KelmData::IsHexKey(QChar key)
{
    const char16_t u = key.unicode();
    return IsAsciiDigit(key) || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f') || IsEditingKey(key);
}

bool KelmData::IsDigitKey(QChar key)
{
    return IsAsciiDigit(key) || IsEditingKey(key);
}

bool KelmData::IsDecimalKey(QChar key, QChar decimalSeparator)
{
    return IsAsciiDigit(key) || key == decimalSeparator || IsEditingKey(key);
}

quint8 KelmData::CrcStep(quint8 crc, quint8 data)
{
    crc ^= data;
    for (int bit = 0; bit < 8; ++bit) {
        if (crc & 0x80)
            crc = quint8((crc << 1) ^ 0xA6);
        else
            crc = quint8(crc << 1);
    }
    return crc;
}

quint8 KelmData::ImageCrc(const ImageBuffer &image)
{
    quint8 crc = 0xFF;
    for (int i = 0; i <= Addr::CrcCoveredLast; ++i)
        crc = CrcStep(crc, image[i]);
    for (int i = Addr::FactoryAreaFirst; i < ImageSize; ++i)
        crc = CrcStep(crc, image[i]);
    return crc ^ 0xFF;
}

bool KelmData::CheckImageCrc(const ImageBuffer &image)
{
    return ImageCrc(image) == image[Addr::Crc];
}

quint16 KelmData::ReadWord(const ImageBuffer &image, int address)
{
    return quint16(256 * image[address] + image[address + 1]);
}

void KelmData::WriteWord(ImageBuffer &image, int address, quint16 value)
{
    WordToBigEndian(value, image[address], image[address + 1]);
}

QDate KelmData::ProductionDate(const ImageBuffer &image)
{
    const int year = 100 * BcdToByte(image[Addr::ProductionCentury]) + BcdToByte(image[Addr::ProductionYear]);
    const int month = BcdToByte(image[Addr::ProductionMonth]);
    const int day = BcdToByte(image[Addr::ProductionDay]);
    if (year < 2000 || !QDate::isValid(year, month, day))
        return QDate();
    return QDate(year, month, day);
}

QString KelmData::ProgramVersionText(const ImageBuffer &image)
{
    return ByteToHexText(image[Addr::ProgramVersionMajor]) + QLatin1Char('.')
        + ByteToHexText(image[Addr::ProgramVersionMinor]) + QLatin1Char('-')
        + ByteToHexText(image[Addr::ProgramVersionBuild]);
}

int KelmData::ProgramVersionNumber(const ImageBuffer &image)
{
    return 256 * image[Addr::ProgramVersionMajor] + image[Addr::ProgramVersionMinor];
}

bool KelmData::IsVersion1(const ImageBuffer &image)
{
    return image[Addr::ProgramVersionMajor] == AddrVersion1::MajorByte;
}

quint32 KelmData::SerialNumber(const ImageBuffer &image)
{
    return 65536u * image[Addr::SerialNumber] + 256u * image[Addr::SerialNumber + 1] + image[Addr::SerialNumber + 2];
}

bool KelmData::HasKelmProductType(const ImageBuffer &image)
{
    return image[Addr::ProductType] == KelmProductType;
}

QDateTime KelmData::StampClock(ImageBuffer &image, const QDateTime &now)
{
    // The seconds are added before the date is split, so a stamp just before
    // midnight on 31 December lands in the next year.
    const QDateTime stamp = now.addSecs(StampLeadSeconds);
    const QDate date = stamp.date();
    const QTime time = stamp.time();
    image[Addr::ClockYear] = quint8(date.year() - 2000);
    WriteWord(image, Addr::ClockDayOfYear, quint16(date.dayOfYear() - 1));
    image[Addr::ClockHour] = quint8(time.hour());
    image[Addr::ClockMinute] = quint8(time.minute());
    image[Addr::ClockSecond] = quint8(time.second());
    image[Addr::ClockSet] = 1;
    return stamp;
}

QDateTime KelmData::UnitClock(const ImageBuffer &image)
{
    const QDate newYear(2000 + image[Addr::ClockYear], 1, 1);
    const int day = ReadWord(image, Addr::ClockDayOfYear);
    if (day >= newYear.daysInYear())
        return QDateTime();
    const int hour = image[Addr::ClockHour];
    const int minute = image[Addr::ClockMinute];
    const int second = image[Addr::ClockSecond];
    if (!QTime::isValid(hour, minute, second))
        return QDateTime();
    // UTC keeps the unit's wall-clock fields as they are: no local zone
    // transition may move or reject them.
    return QDateTime(newYear.addDays(day), QTime(hour, minute, second), Qt::UTC);
}
