#pragma once

#include "ConfigImage.h"

#include <QString>
#include <QStringList>

#include <array>

// The five radio ID codes as the radio-codes dialog shows them (four
// hexadecimal digits each, the empty text for 0x00 0x00), in dialog order.
inline constexpr int RadioCodeCount = 5;
using RadioCodeTexts = std::array<QString, RadioCodeCount>;

// Everything a device command needs from whoever runs it: the window, the
// command-line tool or a test. The commands themselves know nothing of widgets.
class DeviceReporter
{
public:
    enum class Kind { Error, Warning, Information };

    virtual ~DeviceReporter() = default;

    // A modal message with only an OK button; "%s" filled from args in order.
    virtual void Message(Kind kind, int textNumber, const QStringList &args = {}) = 0;
    // A message whose text is not in the text table (a file-system error).
    virtual void MessageText(Kind kind, const QString &text) = 0;
    virtual void StatusText(const QString &text) = 0;
    // The hourglass while the link is open; false puts the earlier cursor back.
    // Calls need not pair up: a second true or false changes nothing.
    virtual void BusyCursor(bool busy) = 0;
    // Let the window repaint once, without taking user input.
    virtual void RepaintOnce() = 0;
    // Block `done` of `total` has been transferred; total 0 ends the display.
    virtual void Progress(int done, int total) = 0;

    // Read From Device: show the image just read. Returns -1, or the address
    // of the last field that cannot be shown with its name in fieldName.
    virtual int ShowReadImage(const ImageBuffer &image, QString &fieldName) = 0;
    // Read From Device took the image: the title changes with the origin.
    virtual void ReadImageTaken() = 0;
    // Write To Device: the unit's clock waits for its power switch, so the
    // shown date and time no longer tell anything.
    virtual void UnitClockStopped() = 0;
    // Change Device Radio Codes: the dialog. True when the user chose to
    // write; newCodes then holds the five new codes.
    virtual bool AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes) = 0;
};
