// Fault soak: many device commands against the simulated unit on a
// pseudo-terminal, each with a randomly chosen fault on the line, checked
// against what the protocol's rules say must happen.
//
//   kelm-soak [--sequences N] [--seed S] [--max-fault-ms MS] [--verbose]
//
// Exit status 0 when every sequence ended as expected.
#include "DeviceCommands.h"
#include "KelmData.h"
#include "KelmLink.h"
#include "SimServer.h"
#include "SoakModel.h"
#include "TextTable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

enum class Command { Read, Write, Restore, RadioCodes };

const char *CommandName(Command command)
{
    switch (command) {
    case Command::Read:
        return "read";
    case Command::Write:
        return "write";
    case Command::Restore:
        return "restore";
    case Command::RadioCodes:
        return "radio-codes";
    }
    return "";
}

QString FaultText(const SoakFault &fault)
{
    if (fault.noQev)
        return QStringLiteral("no-qev");
    if (!fault.sim)
        return QStringLiteral("none");
    static const char *const names[] = { "nak-writes", "refuse-writes", "silent", "bad-checksum",
                                         "short-read", "drip", "silent-presence", "hangup", "forget-writes" };
    QString text = QString::fromLatin1(names[fault.sim->kind]);
    if (fault.sim->value >= 0)
        text += QStringLiteral(":%1").arg(fault.sim->value);
    return text;
}

QString FaultKind(const SoakFault &fault)
{
    return FaultText(fault).section(u':', 0, 0);
}

// Stands in for the window and the person at it.
class SoakReporter : public DeviceReporter {
public:
    QList<int> errors;       // text numbers of error boxes, in order
    QList<int> informations; // text numbers of information boxes
    int otherErrors = 0;     // error boxes with texts not from the table
    bool busy = false;
    bool accept = true;
    RadioCodeTexts newCodes;

    void Message(Kind kind, int textNumber, const QStringList &) override
    {
        if (kind == Kind::Error)
            errors << textNumber;
        else if (kind == Kind::Information)
            informations << textNumber;
    }
    void MessageText(Kind kind, const QString &) override
    {
        if (kind == Kind::Error)
            ++otherErrors;
    }
    void StatusText(const QString &) override {}
    void BusyCursor(bool on) override { busy = on; }
    void RepaintOnce() override {}
    void Progress(int, int) override {}
    int ShowReadImage(const ImageBuffer &, QString &) override { return -1; }
    void ReadImageTaken() override {}
    void UnitClockStopped() override {}
    bool AskRadioCodes(const RadioCodeTexts &, RadioCodeTexts &codes) override
    {
        if (accept)
            codes = newCodes;
        return accept;
    }
};

class Soak {
public:
    Soak(quint32 seed, int maxFaultMs, bool verbose)
        : m_random(seed), m_maxFaultMs(maxFaultMs), m_verbose(verbose)
    {
    }

    bool Run(int sequences);

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }

    QByteArray RandomUnit();
    ImageBuffer RandomImage();
    QString RandomCode();
    SoakFault RandomFault(Command command);
    bool RunOne(int index);
    void Mismatch(int index, const QString &what);

    std::mt19937 m_random;
    int m_maxFaultMs;
    bool m_verbose;
    QTemporaryDir m_dataDir;
    KelmLink m_link;
    SoakReporter m_reporter;
    KelmData m_data;

    int m_mismatches = 0;
    QMap<QString, int> m_commands;
    QMap<QString, int> m_faults;
    QMap<int, int> m_results;
    int m_faulted = 0;
};

QByteArray Soak::RandomUnit()
{
    QByteArray memory(ImageSize, '\0');
    for (char &byte : memory)
        byte = char(Pick(0, 255));
    static const int versions[][2] = { { 1, 5 }, { 2, 6 }, { 2, 7 }, { 2, 8 }, { 3, 1 } };
    const auto &version = versions[Pick(0, 4)];
    memory[Addr::ProgramVersionMajor] = char(version[0]);
    memory[Addr::ProgramVersionMinor] = char(version[1]);
    memory[Addr::ProductType] = char(Chance(92) ? KelmProductType : Pick(0, 6));
    if (Chance(88))
        memory[Addr::Crc] = char(KelmData::ImageCrc(ToImage(memory)));
    return memory;
}

ImageBuffer Soak::RandomImage()
{
    ImageBuffer image {};
    for (quint8 &byte : image)
        byte = quint8(Pick(0, 255));
    return image;
}

QString Soak::RandomCode()
{
    if (Chance(10))
        return QString();
    return QStringLiteral("%1").arg(Pick(0, 0xFFFF), 4, 16, QLatin1Char('0')).toUpper();
}

SoakFault Soak::RandomFault(Command command)
{
    SoakFault fault;
    const int kind = Pick(0, 12);
    if (kind <= 2)
        return fault; // a clean line now and then
    if (kind == 3) {
        fault.noQev = true;
        return fault;
    }
    // Block starts the commands use, and one no command starts a block at.
    static const int addresses[] = { 0, 14, 16, 30, 32, 48, 62, 112, 128, 206, 208, 222, 224, 231, 240, 5 };
    const int address = addresses[Pick(0, int(std::size(addresses)) - 1)];
    SimFault sim { SimFault::NakWrites };
    switch (kind) {
    case 4:
        sim = { SimFault::NakWrites, Pick(1, 3) };
        break;
    case 5:
        sim = { Chance(50) ? SimFault::RefuseWrites : SimFault::SilentPresence };
        break;
    case 6:
        sim = { SimFault::SilentBlock, address };
        break;
    case 7:
        sim = { SimFault::BadChecksum, address };
        break;
    case 8:
        sim = { SimFault::ShortRead, address };
        break;
    case 9:
        sim = { SimFault::Drip, Pick(0, 1) };
        break;
    case 10:
        sim = { SimFault::ForgetWrites, Chance(25) ? -1 : address };
        break;
    default: {
        // Hang up anywhere in the command; the cost limit keeps the ones
        // that leave many blocks to time out rare.
        const int frames = command == Command::Read ? 18 : command == Command::RadioCodes ? 21 : 51;
        sim = { SimFault::HangUp, Pick(0, frames + 1) };
        break;
    }
    }
    fault.sim = sim;
    return fault;
}

void Soak::Mismatch(int index, const QString &what)
{
    ++m_mismatches;
    std::fprintf(stderr, "sequence %d: %s\n", index, qPrintable(what));
}

bool Soak::RunOne(int index)
{
    // Restoring a saved image is rarer than the three commands of the menu.
    const int draw = Pick(0, 9);
    const auto command = draw < 3 ? Command::Read : draw < 6 ? Command::Write : draw < 9 ? Command::RadioCodes
                                                                                     : Command::Restore;
    const QByteArray unit = RandomUnit();
    SoakFault fault;
    Expected expected;

    const ImageBuffer edited = RandomImage();
    const int origin = Pick(0, 4);
    const bool timeSchedule = Chance(30);
    m_reporter.accept = Chance(88);
    for (QString &code : m_reporter.newCodes)
        code = RandomCode();
    const ImageBuffer windowImage = edited;

    // A fault whose timeouts would make the run long is drawn again.
    for (;;) {
        fault = RandomFault(command);
        switch (command) {
        case Command::Read:
            expected = PredictRead(unit, fault, windowImage, origin);
            break;
        case Command::Write:
            expected = PredictWrite(unit, fault, windowImage, origin, timeSchedule);
            break;
        case Command::Restore:
            expected = PredictRestore(unit, fault, windowImage, origin);
            break;
        case Command::RadioCodes:
            expected = PredictRadioCodes(unit, fault, windowImage, origin, m_reporter.accept, m_reporter.newCodes);
            break;
        }
        if (expected.costMs <= m_maxFaultMs)
            break;
    }

    SimOptions options;
    options.memory = unit;
    if (fault.sim)
        options.faults = { *fault.sim };
    SimServer sim(options);
    QString error;
    if (!sim.Open(&error)) {
        Mismatch(index, QStringLiteral("the simulator does not start: %1").arg(error));
        return false;
    }
    sim.Start();
    m_link.SetPortName(fault.noQev ? m_dataDir.filePath(QStringLiteral("no-such-port")) : sim.DevicePath());

    m_data.EditedImage = windowImage;
    m_data.ConfigOrigin = origin;
    m_reporter.errors.clear();
    m_reporter.informations.clear();
    m_reporter.otherErrors = 0;
    DeviceCommands commands(m_link, m_reporter, m_dataDir.path());
    QElapsedTimer timer;
    timer.start();
    int result = -1;
    switch (command) {
    case Command::Read:
        result = commands.ReadFromDevice(m_data);
        break;
    case Command::Write:
        result = commands.WriteToDevice(m_data, timeSchedule);
        break;
    case Command::Restore:
        result = commands.RestoreToDevice(m_data);
        break;
    case Command::RadioCodes:
        result = commands.ChangeDeviceRadioCodes(m_data);
        break;
    }
    const QByteArray memory = sim.Memory();

    ++m_commands[QString::fromLatin1(CommandName(command))];
    ++m_faults[FaultKind(fault)];
    if (fault.noQev || fault.sim)
        ++m_faulted;
    ++m_results[result];

    const QString name = QStringLiteral("%1 with fault %2").arg(QString::fromLatin1(CommandName(command)), FaultText(fault));
    if (m_verbose)
        std::printf("%4d %-36s -> %5d (%lld ms)\n", index, qPrintable(name), result, timer.elapsed());
    const int before = m_mismatches;
    if (result != expected.result)
        Mismatch(index, QStringLiteral("%1 gave %2, expected %3").arg(name).arg(result).arg(expected.result));
    if (memory != expected.memory)
        Mismatch(index, QStringLiteral("%1 left the unit's memory other than intended").arg(name));
    if (m_data.EditedImage != expected.edited)
        Mismatch(index, QStringLiteral("%1 left the edited image other than intended").arg(name));
    if (m_data.ConfigOrigin != expected.origin)
        Mismatch(index, QStringLiteral("%1 left origin %2, expected %3").arg(name).arg(m_data.ConfigOrigin).arg(expected.origin));
    if (m_link.IsOpen())
        Mismatch(index, QStringLiteral("%1 left the link open").arg(name));
    if (m_reporter.busy)
        Mismatch(index, QStringLiteral("%1 left the hourglass showing").arg(name));
    // Never a failure reported as success, nor a success as failure.
    const bool reportedSuccess = !m_reporter.informations.isEmpty()
        && (m_reporter.informations.last() == 11305 || m_reporter.informations.last() == 11404
            || m_reporter.informations.last() == 11405);
    if (result == 0 && (!m_reporter.errors.isEmpty() || m_reporter.otherErrors > 0 || !reportedSuccess))
        Mismatch(index, QStringLiteral("%1 succeeded without its success message, or with an error").arg(name));
    if (result != 0 && reportedSuccess)
        Mismatch(index, QStringLiteral("%1 failed with %2 but reported success").arg(name).arg(result));
    if (result > DeviceCommands::BackupFailed && (m_reporter.errors.isEmpty() || m_reporter.errors.last() != result))
        Mismatch(index, QStringLiteral("%1 returned %2 but did not show it").arg(name).arg(result));
    // Apart from the model: which bytes each command may change at all.
    for (int address = 0; address < ImageSize; ++address) {
        bool mayChange = false;
        if (command == Command::Write || command == Command::Restore)
            mayChange = address <= Addr::Crc || (address >= Addr::ClockStampFirst && address <= Addr::ClockStampLast);
        else if (command == Command::RadioCodes)
            mayChange = address <= 13 || address == Addr::Crc;
        if (!mayChange && memory[address] != unit[address])
            Mismatch(index, QStringLiteral("%1 changed byte %2 of the unit").arg(name).arg(address));
    }
    if (result == 0 && (command == Command::Write || command == Command::Restore)) {
        const QByteArray image = FromImage(m_data.EditedImage);
        if (memory.mid(14, Addr::Crc - 13) != image.mid(14, Addr::Crc - 13)
            || memory.mid(Addr::ClockStampFirst, 7) != image.mid(Addr::ClockStampFirst, 7)
            || !KelmData::CheckImageCrc(m_data.EditedImage))
            Mismatch(index, QStringLiteral("%1 succeeded but the unit does not hold the image").arg(name));
    }
    if (m_mismatches > before)
        std::fprintf(stderr, "  unit program version %d.%d, product type %d, time schedule %d\n",
                     quint8(unit[Addr::ProgramVersionMajor]), quint8(unit[Addr::ProgramVersionMinor]),
                     quint8(unit[Addr::ProductType]), timeSchedule);
    return m_mismatches == before;
}

bool Soak::Run(int sequences)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < sequences; ++i)
        RunOne(i);

    auto join = [](const auto &map) {
        QStringList parts;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        return parts.join(QStringLiteral(", "));
    };
    std::printf("soak: %d sequences in %.1f s\n", sequences, timer.elapsed() / 1000.0);
    std::printf("  commands: %s\n", qPrintable(join(m_commands)));
    QMap<QString, int> injected = m_faults;
    injected.remove(QStringLiteral("none"));
    std::printf("  faults injected: %d in %d sequences (%s); %d on a clean line\n", m_faulted, sequences,
                qPrintable(join(injected)), sequences - m_faulted);
    std::printf("  results: %s\n", qPrintable(join(m_results)));
    std::printf("  mismatches: %d\n", m_mismatches);
    return m_mismatches == 0;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Device commands against the simulated unit with random line faults."));
    parser.addHelpOption();
    const QCommandLineOption sequences(QStringLiteral("sequences"), QStringLiteral("Commands to run."),
                                       QStringLiteral("N"), QStringLiteral("200"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the random choices."),
                                  QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption maxFault(QStringLiteral("max-fault-ms"),
                                      QStringLiteral("Longest a fault may make one command wait."),
                                      QStringLiteral("MS"), QStringLiteral("1500"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("One line per command."));
    parser.addOptions({ sequences, seed, maxFault, verbose });
    parser.process(app);

    bool ok = true;
    const int count = parser.value(sequences).toInt(&ok);
    const quint32 seedValue = parser.value(seed).toUInt(&ok);
    const int maxFaultMs = parser.value(maxFault).toInt();
    if (!ok || count < 0) {
        std::fprintf(stderr, "kelm-soak: bad --sequences or --seed\n");
        return 2;
    }
    std::printf("soak: seed %u\n", seedValue);
    Soak soak(seedValue, maxFaultMs, parser.isSet(verbose));
    return soak.Run(count) ? 0 : 1;
}
