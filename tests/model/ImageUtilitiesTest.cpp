#include "KelmData.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

ImageBuffer ZeroImage()
{
    ImageBuffer image{};
    return image;
}

TEST(RadioCodeText, BytesToText)
{
    const std::vector<std::tuple<quint8, quint8, QString>> cases = {
        {0x00, 0x00, ""},
        {0x00, 0x01, "0001"},
        {0xAB, 0x0C, "AB0C"},
        {0x12, 0xAB, "12AB"},
        {0xFF, 0x00, "FF00"},
    };
    for (const auto &[first, second, text] : cases)
        EXPECT_EQ(KelmData::RadioCodeToText(first, second), text) << first << " " << second;
}

TEST(RadioCodeText, TextToBytes)
{
    const std::vector<std::tuple<QString, quint8, quint8>> cases = {
        {"", 0x00, 0x00},
        {"12ab", 0x12, 0xAB},
        {"12G4", 0x12, 0x04},
        {"12", 0x12, 0x00},
        {"1", 0x10, 0x00},
        {"12345", 0x12, 0x34},
        {"zzzz", 0x00, 0x00},
    };
    for (const auto &[text, first, second] : cases) {
        quint8 a = 0x55;
        quint8 b = 0x55;
        KelmData::TextToRadioCode(text, a, b);
        EXPECT_EQ(a, first) << text.toStdString();
        EXPECT_EQ(b, second) << text.toStdString();
    }
}

TEST(RadioCodeText, EveryNonZeroCodeRoundTrips)
{
    for (int value = 1; value <= 0xFFFF; ++value) {
        const quint8 first = quint8(value >> 8);
        const quint8 second = quint8(value & 0xFF);
        const QString text = KelmData::RadioCodeToText(first, second);
        quint8 a = 0;
        quint8 b = 0;
        KelmData::TextToRadioCode(text, a, b);
        ASSERT_EQ(a, first) << value;
        ASSERT_EQ(b, second) << value;
        KelmData::TextToRadioCode(text.toLower(), a, b);
        ASSERT_EQ(a, first) << value;
        ASSERT_EQ(b, second) << value;
    }
}

TEST(ImageUtilities, BcdToByte)
{
    const std::vector<std::pair<quint8, quint8>> cases = {
        {0x20, 20}, {0x99, 99}, {0x07, 7}, {0x00, 0}, {0x1A, 0}, {0xA1, 0}, {0xFF, 0},
    };
    for (const auto &[bcd, value] : cases)
        EXPECT_EQ(KelmData::BcdToByte(bcd), value) << int(bcd);
}

TEST(ImageUtilities, WordToBigEndianAndBack)
{
    quint8 high = 0;
    quint8 low = 0;
    KelmData::WordToBigEndian(3600, high, low);
    EXPECT_EQ(high, 0x0E);
    EXPECT_EQ(low, 0x10);

    ImageBuffer image = ZeroImage();
    KelmData::WriteWord(image, 50, 0x1388);
    EXPECT_EQ(image[50], 0x13);
    EXPECT_EQ(image[51], 0x88);
    EXPECT_EQ(KelmData::ReadWord(image, 50), 5000);
}

TEST(ImageUtilities, KeyClasses)
{
    const QChar comma(',');
    struct Case
    {
        QChar key;
        bool hex;
        bool digit;
        bool decimal; // with ',' as the separator
    };
    const std::vector<Case> cases = {
        {QChar('0'), true, true, true},  {QChar('9'), true, true, true},
        {QChar('a'), true, false, false}, {QChar('F'), true, false, false},
        {QChar('f'), true, false, false}, {QChar('G'), false, false, false},
        {QChar('g'), false, false, false}, {QChar(','), false, false, true},
        {QChar('.'), false, false, false}, {QChar('-'), false, false, false},
        {QChar(' '), false, false, false}, {QChar(3), true, true, true},
        {QChar(8), true, true, true},     {QChar(22), true, true, true},
        {QChar(24), true, true, true},    {QChar(1), false, false, false},
        {QChar(13), false, false, false}, {QChar(0x0663), false, false, false}, // Arabic-Indic three
    };
    for (const Case &c : cases) {
        EXPECT_EQ(KelmData::IsHexKey(c.key), c.hex) << int(c.key.unicode());
        EXPECT_EQ(KelmData::IsDigitKey(c.key), c.digit) << int(c.key.unicode());
        EXPECT_EQ(KelmData::IsDecimalKey(c.key, comma), c.decimal) << int(c.key.unicode());
    }
    EXPECT_TRUE(KelmData::IsDecimalKey(QChar('.'), QChar('.')));
    EXPECT_FALSE(KelmData::IsDecimalKey(QChar(','), QChar('.')));
}

TEST(ImageUtilities, CompareImagesOverRange)
{
    ImageBuffer a = ZeroImage();
    ImageBuffer b = ZeroImage();
    b[4] = 1;
    b[5] = 1;
    EXPECT_TRUE(KelmData::CompareImages(a, b, 5, 4)); // empty range looks at nothing
    EXPECT_FALSE(KelmData::CompareImages(a, b, 4, 4));
    EXPECT_FALSE(KelmData::CompareImages(a, b, 5, 5));
    EXPECT_TRUE(KelmData::CompareImages(a, b, 6, 255));
    EXPECT_TRUE(KelmData::CompareImages(a, b, 0, 3));
    EXPECT_FALSE(KelmData::CompareImages(a, b, 0, 255));

    KelmData data;
    data.ReadBackImage[200] = 9;
    EXPECT_TRUE(data.CompareWithReadBack(0, 199));
    EXPECT_FALSE(data.CompareWithReadBack(14, 224));
}

TEST(Crc, WorkedExamples)
{
    quint8 crc = 0xFF;
    for (quint8 byte : {quint8(0x61), quint8(0x62), quint8(0x63)})
        crc = KelmData::CrcStep(crc, byte);
    EXPECT_EQ(crc ^ 0xFF, 0xA9);

    ImageBuffer image = ZeroImage();
    EXPECT_EQ(KelmData::ImageCrc(image), 0xF7);
    image[248] = 7;
    EXPECT_EQ(KelmData::ImageCrc(image), 0xBD);
}

TEST(Crc, CoversAllButCrcAndClockArea)
{
    ImageBuffer base = ZeroImage();
    base[248] = 7;
    const quint8 baseCrc = KelmData::ImageCrc(base);
    for (int address = 0; address < ImageSize; ++address) {
        ImageBuffer changed = base;
        changed[address] ^= 0x01;
        const bool covered = address <= 223 || address >= 240;
        EXPECT_EQ(KelmData::ImageCrc(changed) != baseCrc, covered) << address;
    }
    ImageBuffer filler = base;
    filler[256] = 0x42;
    filler[2047] = 0x42;
    EXPECT_EQ(KelmData::ImageCrc(filler), baseCrc);
}

TEST(Crc, CheckAgainstStoredByte)
{
    ImageBuffer image = ZeroImage();
    image[248] = 7;
    image[224] = 0xBD;
    EXPECT_TRUE(KelmData::CheckImageCrc(image));
    image[224] = 0xBC;
    EXPECT_FALSE(KelmData::CheckImageCrc(image));
    image[224] = 0xBD;
    image[233] = 99; // the clock stamp may change without a new checksum
    EXPECT_TRUE(KelmData::CheckImageCrc(image));
}

TEST(FactoryArea, ProductionDate)
{
    struct Case
    {
        quint8 century, year, month, day;
        QDate expected; // invalid: shown as "---"
    };
    const std::vector<Case> cases = {
        {0x20, 0x07, 0x02, 0x28, QDate(2007, 2, 28)},
        {0x20, 0x08, 0x02, 0x29, QDate(2008, 2, 29)},
        {0x20, 0x07, 0x02, 0x29, QDate()}, // 2007 is no leap year
        {0x20, 0x07, 0x02, 0x30, QDate()},
        {0x19, 0x99, 0x12, 0x31, QDate()},
        {0x20, 0x07, 0x13, 0x01, QDate()},
        {0x20, 0x07, 0x1A, 0x01, QDate()},
        {0x20, 0x07, 0x01, 0x00, QDate()},
        {0xFF, 0xFF, 0xFF, 0xFF, QDate()},
        {0x20, 0x00, 0x01, 0x01, QDate(2000, 1, 1)},
    };
    for (const Case &c : cases) {
        ImageBuffer image = ZeroImage();
        image[240] = c.century;
        image[241] = c.year;
        image[242] = c.month;
        image[243] = c.day;
        EXPECT_EQ(KelmData::ProductionDate(image), c.expected)
            << int(c.century) << " " << int(c.year) << " " << int(c.month) << " " << int(c.day);
    }
}

TEST(FactoryArea, ProgramVersionAndSerialNumber)
{
    ImageBuffer image = ZeroImage();
    image[249] = 0x02;
    image[250] = 0x07;
    image[251] = 0x03;
    EXPECT_EQ(KelmData::ProgramVersionText(image), "02.07-03");
    EXPECT_EQ(KelmData::ProgramVersionNumber(image), 519);
    EXPECT_FALSE(KelmData::IsVersion1(image));

    image[249] = 0x01;
    image[250] = 0x0A;
    image[251] = 0x00;
    EXPECT_EQ(KelmData::ProgramVersionText(image), "01.0A-00");
    EXPECT_EQ(KelmData::ProgramVersionNumber(image), 266);
    EXPECT_TRUE(KelmData::IsVersion1(image));

    image[253] = 0x01;
    EXPECT_EQ(KelmData::SerialNumber(image), 65536u);
    image[253] = image[254] = image[255] = 0xFF;
    EXPECT_EQ(KelmData::SerialNumber(image), 16777215u);
    image[253] = 0x00;
    image[254] = 0x01;
    image[255] = 0x02;
    EXPECT_EQ(KelmData::SerialNumber(image), 258u);
}

TEST(ClockStamp, StampsNowPlusThreeSeconds)
{
    struct Case
    {
        QDateTime now;
        QDateTime stamped;
        quint8 year;
        quint16 dayOfYear;
    };
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    const std::vector<Case> cases = {
        {at(2025, 12, 31, 23, 59, 58), at(2026, 1, 1, 0, 0, 1), 26, 0},
        {at(2024, 12, 31, 12, 0, 0), at(2024, 12, 31, 12, 0, 3), 24, 365},
        {at(2023, 12, 31, 12, 0, 0), at(2023, 12, 31, 12, 0, 3), 23, 364},
        {at(2024, 2, 29, 10, 20, 30), at(2024, 2, 29, 10, 20, 33), 24, 59},
        {at(2024, 2, 28, 23, 59, 57), at(2024, 2, 29, 0, 0, 0), 24, 59},
        {at(2025, 3, 30, 14, 5, 6), at(2025, 3, 30, 14, 5, 9), 25, 88},
    };
    for (const Case &c : cases) {
        ImageBuffer image;
        image.fill(0xAA);
        const QDateTime stamped = KelmData::StampClock(image, c.now);
        const std::string label = c.now.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(stamped, c.stamped) << label;
        EXPECT_EQ(image[231], c.year) << label;
        EXPECT_EQ(KelmData::ReadWord(image, 232), c.dayOfYear) << label;
        EXPECT_EQ(image[234], c.stamped.time().hour()) << label;
        EXPECT_EQ(image[235], c.stamped.time().minute()) << label;
        EXPECT_EQ(image[236], c.stamped.time().second()) << label;
        EXPECT_EQ(image[237], 1) << label;
        EXPECT_EQ(image[230], 0xAA) << label;
        EXPECT_EQ(image[238], 0xAA) << label;
        EXPECT_EQ(image[224], 0xAA) << label;
    }
}

TEST(ClockStamp, UnitClockDecoding)
{
    struct Case
    {
        quint8 year;
        quint16 day;
        quint8 hour, minute, second;
        QDateTime expected; // invalid: shown as "---"
    };
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    const std::vector<Case> cases = {
        {25, 88, 14, 5, 9, at(2025, 3, 30, 14, 5, 9)},
        {24, 365, 23, 59, 59, at(2024, 12, 31, 23, 59, 59)},
        {25, 365, 0, 0, 0, QDateTime()}, // 2025 has 365 days: 0..364
        {25, 0xFFFF, 0, 0, 0, QDateTime()},
        {25, 0, 24, 0, 0, QDateTime()},
        {25, 0, 23, 60, 0, QDateTime()},
        {25, 0, 23, 0, 60, QDateTime()},
        {0, 0, 0, 0, 0, at(2000, 1, 1, 0, 0, 0)},
    };
    for (const Case &c : cases) {
        ImageBuffer image{};
        image[231] = c.year;
        KelmData::WriteWord(image, 232, c.day);
        image[234] = c.hour;
        image[235] = c.minute;
        image[236] = c.second;
        EXPECT_EQ(KelmData::UnitClock(image), c.expected) << int(c.year) << " " << c.day;
    }
}

TEST(ClockStamp, StampReadsBackAsTheStampedTime)
{
    ImageBuffer image{};
    const QDateTime stamped = KelmData::StampClock(image, QDateTime(QDate(2028, 12, 31), QTime(23, 59, 56), Qt::UTC));
    EXPECT_EQ(KelmData::UnitClock(image), stamped);
    EXPECT_EQ(stamped.date(), QDate(2028, 12, 31));
}

} // namespace
