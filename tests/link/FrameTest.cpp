#include "KelmLink.h"
#include "LinkTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct FrameCase {
    const char *text;
    QByteArray frame;
};

TEST(Frame, BuildsTheWorkedExamples)
{
    const FrameCase cases[] = {
        { "O", Bytes({ 0x02, 0x4F, 0x34, 0x46, 0x03 }) },
        { "v", Bytes({ 0x02, 0x76, 0x37, 0x36, 0x03 }) },
        { "R00F001", Bytes({ 0x02, 0x52, 0x30, 0x30, 0x46, 0x30, 0x30, 0x31, 0x38, 0x39, 0x03 }) },
        { "R00F010", QByteArray("\x02R00F01089\x03") },
        { "W00000112", QByteArray("\x02W00000112DB\x03") },
        { "07", Bytes({ 0x02, 0x30, 0x37, 0x36, 0x37, 0x03 }) },
    };
    for (const FrameCase &c : cases)
        EXPECT_EQ(KelmLink::BuildFrame(c.text), c.frame) << c.text;
}

struct ReplyCase {
    QByteArray bytes;
    bool valid;
};

TEST(Frame, CheckReplyAcceptsOnlyWholeFramesWithTheRightSum)
{
    const ReplyCase cases[] = {
        { Bytes({ 0x02, 0x30, 0x37, 0x36, 0x37, 0x03 }), true },
        { Bytes({ 0x02, 0x30, 0x37, 0x36, 0x38, 0x03 }), false }, // wrong checksum
        { Bytes({ 0x02, 0x30, 0x30, 0x03 }), true },               // empty payload
        { Bytes({ 0x02, 0x30, 0x03 }), false },                    // too short
        { Bytes({ 0x02, 0x03 }), false },
        { Bytes({ 0x30, 0x37, 0x36, 0x37, 0x03 }), false },        // no STX
        { Bytes({ 0x02, 0x30, 0x37, 0x36, 0x37 }), false },        // no ETX
        { QByteArray("\x02" "FF" "8C\x03"), true },                 // 0x46 + 0x46 = 0x8C, uppercase digits
        { QByteArray("\x02" "FF" "8c\x03"), false },                // lowercase digits do not read as hex
    };
    for (const ReplyCase &c : cases)
        EXPECT_EQ(KelmLink::CheckReply(c.bytes), c.valid) << c.bytes.toHex(' ').toStdString();
}

TEST(Frame, HexDigitsBothWays)
{
    const struct {
        int value;
        const char *hex;
    } cases[] = { { 0x00, "00" }, { 0x09, "09" }, { 0x0A, "0A" }, { 0x9F, "9F" }, { 0xA0, "A0" }, { 0xFF, "FF" } };
    for (const auto &c : cases) {
        EXPECT_EQ(KelmLink::ByteToHex(quint8(c.value)), QByteArray(c.hex));
        EXPECT_EQ(16 * KelmLink::HexDigitValue(c.hex[0]) + KelmLink::HexDigitValue(c.hex[1]), c.value) << c.hex;
    }
}

} // namespace
