#pragma once

#include "ConfigImage.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// The editor's document: the current file, where the configuration came from,
// the edited image and a second image for loading, reading and verifying.
// The image utilities are static: they depend on nothing but their arguments.
class KelmData
{
public:
    QString CurrentFileName;
    int ConfigOrigin = OriginNew;
    ImageBuffer EditedImage{};
    ImageBuffer ReadBackImage{};

    // True when a[i] == b[i] for every i in first..last; true when last < first.
    static bool CompareImages(const ImageBuffer &a, const ImageBuffer &b, unsigned first, unsigned last);
    bool CompareWithReadBack(unsigned first, unsigned last) const;

    // Two uppercase hexadecimal digits.
    static QString ByteToHexText(quint8 value);
    // Four hexadecimal digits, or the empty text for 0x00 0x00.
    static QString RadioCodeToText(quint8 first, quint8 second);
    // A character that is not a hexadecimal digit counts 0.
    static quint8 HexPairToByte(QChar high, QChar low);
    // The first four characters; missing or non-hexadecimal ones count 0.
    static void TextToRadioCode(const QString &text, quint8 &first, quint8 &second);
    // 0 when either nibble is above 9.
    static quint8 BcdToByte(quint8 value);
    static void WordToBigEndian(quint16 value, quint8 &high, quint8 &low);

    // Key classes of the entry fields; the clipboard and backspace control
    // characters (3, 8, 22, 24) always pass.
    static bool IsHexKey(QChar key);
    static bool IsDigitKey(QChar key);
    static bool IsDecimalKey(QChar key, QChar decimalSeparator);

    // CRC-8, MSB first, generator 0xA6, start 0xFF, final complement.
    static quint8 CrcStep(quint8 crc, quint8 data);
    // Over 0..223 and 240..255.
    static quint8 ImageCrc(const ImageBuffer &image);
    static bool CheckImageCrc(const ImageBuffer &image);

    // Decodings of the shown-only fields.
    static quint16 ReadWord(const ImageBuffer &image, int address);
    static void WriteWord(ImageBuffer &image, int address, quint16 value);
    // An invalid date when the bytes do not form a real date of year 2000 or later.
    static QDate ProductionDate(const ImageBuffer &image);
    // "02.07-03" for bytes 2, 7, 3.
    static QString ProgramVersionText(const ImageBuffer &image);
    // 256 x major + minor: 2.7 is 519.
    static int ProgramVersionNumber(const ImageBuffer &image);
    static bool IsVersion1(const ImageBuffer &image);
    static quint32 SerialNumber(const ImageBuffer &image);
    static bool HasKelmProductType(const ImageBuffer &image);

    // Writes the clock stamp (231..237) for now + 3 seconds and returns the
    // stamped time, so the caller fills the daylight-saving block for its year.
    static QDateTime StampClock(ImageBuffer &image, const QDateTime &now);
    // The unit's clock stamp (231..236) as its wall-clock date and time (in
    // UTC, so no local zone shifts them); invalid when the bytes do not form
    // one (day beyond the year's end, hour > 23, minute or second > 59).
    static QDateTime UnitClock(const ImageBuffer &image);

    // Configuration file primitives. Each opens, uses and closes the file.
    // True when 256 bytes were read; the destination is changed only then.
    static bool ReadConfigFile(const QString &fileName, ImageBuffer &destination);
    // True when all count bytes were written. The file is replaced as a whole
    // (written beside it, then renamed), so a failed write leaves the old file;
    // a read-only target is refused.
    static bool WriteConfigFile(const ImageBuffer &source, const QString &fileName, int count);
    // The length of a regular file; 0 when it cannot be opened or is not one.
    static quint32 ConfigFileSize(const QString &fileName);
};
