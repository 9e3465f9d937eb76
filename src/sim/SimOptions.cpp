#include "SimOptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>

namespace {

constexpr int ProductTypeAddress = 248;
constexpr int VersionMajorAddress = 249;
constexpr int VersionMinorAddress = 250;
constexpr int VersionBuildAddress = 251;

bool ParseNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok && value >= 0;
}

struct FaultName {
    const char *name;
    SimFault::Kind kind;
    enum { None, Required, Optional } value;
    int defaultValue;
};

constexpr FaultName FaultNames[] = {
    { "nak-writes", SimFault::NakWrites, FaultName::Required, -1 },
    { "refuse-writes", SimFault::RefuseWrites, FaultName::None, -1 },
    { "silent", SimFault::SilentBlock, FaultName::Required, -1 },
    { "bad-checksum", SimFault::BadChecksum, FaultName::Required, -1 },
    { "short-read", SimFault::ShortRead, FaultName::Optional, -1 },
    { "drip", SimFault::Drip, FaultName::Optional, 200 },
    { "silent-presence", SimFault::SilentPresence, FaultName::None, -1 },
    { "hangup", SimFault::HangUp, FaultName::Required, -1 },
    { "forget-writes", SimFault::ForgetWrites, FaultName::Optional, -1 },
};

const QString ImageOption = QStringLiteral("image");
const QString ProgramVersionOption = QStringLiteral("program-version");
const QString ProductTypeOption = QStringLiteral("product-type");
const QString QevVersionOption = QStringLiteral("qev-version");
const QString NoUnitOption = QStringLiteral("no-unit");
const QString MemoryOutOption = QStringLiteral("memory-out");
const QString PaceOption = QStringLiteral("pace");
const QString FaultOption = QStringLiteral("fault");

} // namespace

QByteArray SimOptions::DefaultMemory()
{
    QByteArray memory(MemorySize, '\0');
    memory[ProductTypeAddress] = 7;
    memory[VersionMajorAddress] = 2;
    memory[VersionMinorAddress] = 8;
    memory[VersionBuildAddress] = 1;
    return memory;
}

bool ParseFault(const QString &text, SimFault &fault, QString &error)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString name = colon < 0 ? text : text.left(colon);
    const QString valueText = colon < 0 ? QString() : text.mid(colon + 1);
    for (const FaultName &known : FaultNames) {
        if (name != QLatin1String(known.name))
            continue;
        fault.kind = known.kind;
        fault.value = known.defaultValue;
        if (colon < 0) {
            if (known.value == FaultName::Required) {
                error = QStringLiteral("fault \"%1\" needs a value").arg(name);
                return false;
            }
            return true;
        }
        if (known.value == FaultName::None) {
            error = QStringLiteral("fault \"%1\" takes no value").arg(name);
            return false;
        }
        if (!ParseNumber(valueText, fault.value)) {
            error = QStringLiteral("fault \"%1\": \"%2\" is not a number").arg(name, valueText);
            return false;
        }
        return true;
    }
    error = QStringLiteral("unknown fault \"%1\"").arg(text);
    return false;
}

QString FaultSyntaxHelp()
{
    return QStringLiteral(
        "Fault specs for --fault (repeatable; ADDR and N are decimal or 0x hex):\n"
        "  nak-writes:N      NAK the first N tries of each write block\n"
        "  refuse-writes     NAK every write\n"
        "  silent:ADDR       no answer to reads or writes of the block starting at ADDR\n"
        "  bad-checksum:ADDR wrong checksum on reads of the block starting at ADDR\n"
        "  short-read[:ADDR] read frames one payload byte short (every read, or only at ADDR)\n"
        "  drip[:MS]         reply bytes dripped MS ms apart (default 200)\n"
        "  silent-presence   no answer to \"O\"\n"
        "  hangup:N          hang up the line when command N+1 arrives\n"
        "  forget-writes[:ADDR] ACK writes but keep the old bytes (every block, or only at ADDR)");
}

void AddSimOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A simulated QEV with a KELM unit on a pseudo-terminal. Prints the device path "
                       "as the first line, then serves until SIGTERM or SIGINT.\n\n")
        + FaultSyntaxHelp());
    parser.addOption({ ImageOption, QStringLiteral("Initial memory from FILE (256 or 2048 bytes)."), QStringLiteral("FILE") });
    parser.addOption({ ProgramVersionOption, QStringLiteral("Program version in bytes 249, 250."), QStringLiteral("MAJOR.MINOR") });
    parser.addOption({ ProductTypeOption, QStringLiteral("Product type in byte 248."), QStringLiteral("N") });
    parser.addOption({ QevVersionOption, QStringLiteral("The QEV's version text (at most 11 characters)."), QStringLiteral("TEXT") });
    parser.addOption({ NoUnitOption, QStringLiteral("No unit behind the QEV: only \"v\" is answered.") });
    parser.addOption({ MemoryOutOption, QStringLiteral("Rewrite the memory to FILE after every write."), QStringLiteral("FILE") });
    parser.addOption({ PaceOption, QStringLiteral("Take as long as a 57600-baud 8N2 line for every frame.") });
    parser.addOption({ FaultOption, QStringLiteral("Misbehave as SPEC says (see above)."), QStringLiteral("SPEC") });
}

bool ReadSimOptions(const QCommandLineParser &parser, SimOptions &options, QString &error)
{
    if (parser.isSet(ImageOption)) {
        QFile file(parser.value(ImageOption));
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        const QByteArray bytes = file.readAll();
        if (bytes.size() != 256 && bytes.size() != 2048) {
            error = QStringLiteral("%1 holds %2 bytes, not 256 or 2048").arg(file.fileName()).arg(bytes.size());
            return false;
        }
        options.memory = bytes.left(SimOptions::MemorySize);
    }
    if (parser.isSet(ProgramVersionOption)) {
        static const QRegularExpression form(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
        const auto match = form.match(parser.value(ProgramVersionOption));
        const int major = match.captured(1).toInt();
        const int minor = match.captured(2).toInt();
        if (!match.hasMatch() || major > 255 || minor > 255) {
            error = QStringLiteral("program version \"%1\" is not MAJOR.MINOR with numbers 0..255").arg(parser.value(ProgramVersionOption));
            return false;
        }
        options.memory[VersionMajorAddress] = char(major);
        options.memory[VersionMinorAddress] = char(minor);
    }
    if (parser.isSet(ProductTypeOption)) {
        int type = 0;
        if (!ParseNumber(parser.value(ProductTypeOption), type) || type > 255) {
            error = QStringLiteral("product type \"%1\" is not a number 0..255").arg(parser.value(ProductTypeOption));
            return false;
        }
        options.memory[ProductTypeAddress] = char(type);
    }
    if (parser.isSet(QevVersionOption)) {
        const QByteArray text = parser.value(QevVersionOption).toLatin1();
        if (text.size() > SimOptions::VersionLength) {
            error = QStringLiteral("QEV version \"%1\" is longer than 11 characters").arg(QString::fromLatin1(text));
            return false;
        }
        options.qevVersion = text.leftJustified(SimOptions::VersionLength, ' ');
    }
    options.unit = !parser.isSet(NoUnitOption);
    options.memoryOut = parser.value(MemoryOutOption);
    options.pace = parser.isSet(PaceOption);
    for (const QString &spec : parser.values(FaultOption)) {
        SimFault fault { SimFault::RefuseWrites };
        if (!ParseFault(spec, fault, error))
            return false;
        options.faults.append(fault);
    }
    return true;
}
