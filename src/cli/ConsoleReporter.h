#pragma once

#include "DeviceReporter.h"

#include <QTextStream>

#include <optional>

class ValueLists;

// Runs a device command on the console: messages go to the standard streams
// (errors and warnings to stderr), the window's cursor and progress have no
// counterpart, and the radio-codes dialog is answered from the command line.
class ConsoleReporter : public DeviceReporter
{
public:
    ConsoleReporter(QTextStream &out, QTextStream &err, const ValueLists &lists);

    // The codes to answer the radio-codes dialog with; none to leave it unwritten.
    void SetNewRadioCodes(std::optional<RadioCodeTexts> codes) { m_newCodes = std::move(codes); }
    // The codes the dialog was shown with.
    const RadioCodeTexts &OldRadioCodes() const { return m_oldCodes; }
    // Information messages are left out (a command that only shows something).
    void SetQuiet(bool quiet) { m_quiet = quiet; }

    void Message(Kind kind, int textNumber, const QStringList &args = {}) override;
    void MessageText(Kind kind, const QString &text) override;
    void StatusText(const QString &) override {}
    void BusyCursor(bool) override {}
    void RepaintOnce() override {}
    void Progress(int, int) override {}
    int ShowReadImage(const ImageBuffer &image, QString &fieldName) override;
    void ReadImageTaken() override {}
    void UnitClockStopped() override {}
    bool AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes) override;

private:
    QTextStream &m_out;
    QTextStream &m_err;
    const ValueLists &m_lists;
    std::optional<RadioCodeTexts> m_newCodes;
    RadioCodeTexts m_oldCodes;
    bool m_quiet = false;
};
