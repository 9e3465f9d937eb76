// Frame check of replies from the unit: any byte string, any length.
#include "FuzzSupport.h"
#include "KelmLink.h"

#include <cstring>

namespace {
bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The reply area is handed over as a bare buffer, as the wait hands it.
    std::unique_ptr<char[]> copy(new char[size]);
    if (size > 0)
        std::memcpy(copy.get(), data, size);
    const QByteArrayView bytes(copy.get(), qsizetype(size));

    if (KelmLink::CheckReply(bytes)) {
        FUZZ_CHECK(size >= 4);
        FUZZ_CHECK(quint8(bytes[0]) == KelmLink::STX && quint8(bytes[size - 1]) == KelmLink::ETX);
        // With ordinary checksum digits a valid reply is exactly the frame
        // that would be built around its payload.
        if (IsUpperHex(bytes[size - 3]) && IsUpperHex(bytes[size - 2]))
            FUZZ_CHECK(KelmLink::BuildFrame(bytes.sliced(1, size - 4)) == QByteArray(bytes.data(), bytes.size()));
    }

    // Every frame built around a text passes the check, and each payload
    // character survives the trip.
    const QByteArray frame = KelmLink::BuildFrame(bytes);
    FUZZ_CHECK(frame.size() == qsizetype(size) + 4);
    FUZZ_CHECK(KelmLink::CheckReply(frame));
    FUZZ_CHECK(frame.mid(1, qsizetype(size)) == QByteArray(bytes.data(), bytes.size()));

    // Digit values are what the block decoding multiplies; any character
    // must give a value without overflow.
    for (char c : bytes) {
        const int value = KelmLink::HexDigitValue(c);
        FUZZ_CHECK(value >= -176 && value <= 72);
        if (IsUpperHex(c))
            FUZZ_CHECK(KelmLink::ByteToHex(quint8(value * 16 + value))[0] == c);
    }
    return 0;
}
