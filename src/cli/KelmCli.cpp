#include "KelmCli.h"

#include "ConfigFile.h"
#include "ConfigListing.h"
#include "ConsoleReporter.h"
#include "DataSetup.h"
#include "DeviceCommands.h"
#include "DstRule.h"
#include "ExitStatus.h"
#include "KelmData.h"
#include "KelmLink.h"
#include "SimCommand.h"
#include "TextTable.h"
#include "Version.h"

#include <QDate>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>

struct KelmCli::Command
{
    const char *name;
    const char *arguments; // the positional arguments, as help shows them
    const char *summary;
    int minPositional;
    int maxPositional;
    bool device;           // talks to the unit: takes --port
};

namespace {
using Command = KelmCli::Command;

const QString LangOption = QStringLiteral("lang");
const QString ValuesOption = QStringLiteral("values");
const QString PortOption = QStringLiteral("port");
const QString JsonOption = QStringLiteral("json");
const QString OutputOption = QStringLiteral("output");
const QString SetOption = QStringLiteral("set");
const QString YearOption = QStringLiteral("year");

// The options that take a value, wherever they stand on the line.
const QStringList ValueOptions = {QStringLiteral("--lang"), QStringLiteral("--values"), QStringLiteral("--port"),
                                  QStringLiteral("-o"), QStringLiteral("--output"), QStringLiteral("--set"),
                                  QStringLiteral("--year")};

// The labels of the radio-codes dialog, in its order.
constexpr int RadioCodeLabels[RadioCodeCount] = {11102, 11103, 11104, 11105, 11273};

// The group a serial port belongs to when its file does not say.
const QString SerialGroup = QStringLiteral("dialout");
}

static const Command Commands[] = {
    {"show", "FILE", "Every field of a configuration file, as the window shows it.", 1, 1, false},
    {"diff", "A B", "The fields that differ between two configuration files, one line each.", 2, 2, false},
    {"read", "", "Read From Device: the unit's configuration, shown or saved (-o).", 0, 0, true},
    {"write", "FILE", "Write To Device: the file's configuration into the unit, verified.", 1, 1, true},
    {"restore", "FILE", "Write a backup back into the unit, radio codes and clock included.", 1, 1, true},
    // --set takes the first code as its value and the other four as arguments.
    {"codes", "", "Show the unit's five radio codes, or change them (--set).", 0, RadioCodeCount - 1, true},
    {"qev-version", "", "The QEV's version text.", 0, 0, true},
    {"dst", "[REGION]", "The summer-time regions, or one region's rule and its sixteen years of dates.", 0, 1, false},
};

KelmCli::KelmCli(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

QString KelmCli::HelpText()
{
    QString text = QStringLiteral(
        "Usage: kelm [--lang sv|en] COMMAND [options]\n"
        "\n"
        "KELM Programmer on the command line: inspect configuration files and\n"
        "program KELM units through the QEV without the window.\n"
        "\n"
        "Commands:\n");
    for (const Command &command : Commands) {
        const QString head = QStringLiteral("  %1 %2").arg(QLatin1String(command.name), QLatin1String(command.arguments));
        text += head.leftJustified(22) + QLatin1String(command.summary) + QLatin1Char('\n');
    }
    text += QStringLiteral("  sim [options]").leftJustified(22)
        + QStringLiteral("A simulated QEV with a KELM unit, as kelm-sim.\n"
                             "\n"
                             "Options of every command:\n"
                             "  --lang sv|en          Language of the messages (default sv).\n"
                             "  --values FILE         The value lists (default: Values.ini of the data folder,\n"
                             "                        else Values.i beside the program).\n"
                             "  --port DEVICE         The QEV's serial device (default: KELM_PORT, else the port\n"
                             "                        whose USB product string is the QEV's).\n"
                             "  -h, --help            Help on kelm, or on one command (kelm COMMAND --help).\n"
                             "\n"
                             "Before every write the unit's whole configuration is saved in Backups/ of the\n"
                             "data folder (~/.local/share/VORN/KELM Programmer (SE)/Backups).\n"
                             "\n");
    return text + QLatin1String(ExitStatus::HelpText);
}

int KelmCli::UsageError(int textNumber, const QStringList &args)
{
    m_err << TextTable::Format(textNumber, args) << Qt::endl;
    return ExitStatus::Usage;
}

int KelmCli::Run(const QStringList &arguments)
{
    // The command is the first word that is neither an option nor an option's value.
    int commandIndex = -1;
    for (int i = 1; i < arguments.size(); ++i) {
        if (ValueOptions.contains(arguments[i])) {
            ++i;
            continue;
        }
        if (!arguments[i].startsWith(QLatin1Char('-'))) {
            commandIndex = i;
            break;
        }
    }
    QStringList rest = arguments;
    const QString name = commandIndex < 0 ? QString() : rest.takeAt(commandIndex);

    if (name == QLatin1String("sim")) {
        rest[0] += QStringLiteral(" sim");
        return RunSimCommand(rest, m_out, m_err);
    }
    for (const Command &command : Commands) {
        if (name != QLatin1String(command.name))
            continue;
        rest[0] += QLatin1Char(' ') + name;
        QCommandLineParser parser;
        int status = ExitStatus::Ok;
        if (!ParseArguments(command, parser, rest, status))
            return status;
        const QString commandName = QLatin1String(command.name);
        if (commandName == QLatin1String("show"))
            return Show(parser);
        if (commandName == QLatin1String("diff"))
            return Diff(parser);
        if (commandName == QLatin1String("read"))
            return Read(parser);
        if (commandName == QLatin1String("write"))
            return Write(parser, false);
        if (commandName == QLatin1String("restore"))
            return Write(parser, true);
        if (commandName == QLatin1String("codes"))
            return Codes(parser);
        if (commandName == QLatin1String("qev-version"))
            return QevVersion(parser);
        return Dst(parser);
    }

    // No command: kelm's own options.
    QCommandLineParser parser;
    parser.addOption({LangOption, QString(), QStringLiteral("sv|en")});
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(rest))
        return UsageError(11659, {parser.errorText()});
    int status = ExitStatus::Ok;
    if (!TakeCommonOptions(parser, status))
        return status;
    if (parser.isSet(version)) {
        m_out << QStringLiteral("kelm %1").arg(QLatin1String(KelmVersion::FileVersion)) << Qt::endl;
        return ExitStatus::Ok;
    }
    if (parser.isSet(help) || name.isEmpty()) {
        (parser.isSet(help) ? m_out : m_err) << HelpText();
        return parser.isSet(help) ? ExitStatus::Ok : ExitStatus::Usage;
    }
    return UsageError(11658, {name});
}

bool KelmCli::ParseArguments(const Command &command, QCommandLineParser &parser, const QStringList &arguments,
                             int &status)
{
    const QString name = QLatin1String(command.name);
    parser.setApplicationDescription(QLatin1String(command.summary));
    parser.addHelpOption();
    parser.addOption({LangOption, QStringLiteral("Language of the messages: sv (default) or en."), QStringLiteral("sv|en")});
    parser.addOption({ValuesOption, QStringLiteral("The value lists to use instead of Values.ini."), QStringLiteral("FILE")});
    if (command.device)
        parser.addOption({PortOption, QStringLiteral("The QEV's serial device."), QStringLiteral("DEVICE")});
    if (name == QLatin1String("show") || name == QLatin1String("read"))
        parser.addOption({JsonOption, QStringLiteral("The listing as one JSON object.")});
    if (name == QLatin1String("read"))
        parser.addOption({{QStringLiteral("o"), OutputOption}, QStringLiteral("Save the image (256 bytes) to FILE."),
                          QStringLiteral("FILE")});
    if (name == QLatin1String("codes"))
        parser.addOption({SetOption, QStringLiteral("The five new codes, four hexadecimal digits each: C1 C2 C3 C4 C5."),
                          QStringLiteral("C1")});
    if (name == QLatin1String("dst"))
        parser.addOption({YearOption, QStringLiteral("The first of the sixteen years (default: this year)."),
                          QStringLiteral("Y")});
    for (const QString &word : QString::fromLatin1(command.arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        parser.addPositionalArgument(word, QString());

    if (!parser.parse(arguments)) {
        status = UsageError(11659, {parser.errorText()});
        return false;
    }
    const QString usage = name == QLatin1String("codes")
        ? QStringLiteral("kelm codes [options] [--set C1 C2 C3 C4 C5]")
        : QStringLiteral("kelm %1 [options] %2").arg(name, QLatin1String(command.arguments)).trimmed();
    if (parser.isSet(QStringLiteral("help"))) {
        // The parser would name the program by its path and leave the command out.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: ") + usage);
        m_out << help << QLatin1Char('\n') << QLatin1String(ExitStatus::HelpText);
        status = ExitStatus::Ok;
        return false;
    }
    if (!TakeCommonOptions(parser, status))
        return false;
    // "codes --set" takes its five codes as the option's value and four more words.
    const qsizetype positional = parser.positionalArguments().size();
    const bool setsCodes = name == QLatin1String("codes") && parser.isSet(SetOption);
    const qsizetype wanted = setsCodes ? RadioCodeCount - 1 : 0;
    const bool fits = name == QLatin1String("codes")
        ? positional == wanted
        : positional >= command.minPositional && positional <= command.maxPositional;
    if (!fits) {
        status = UsageError(11663, {usage});
        return false;
    }
    return true;
}

bool KelmCli::TakeCommonOptions(const QCommandLineParser &parser, int &status)
{
    if (parser.isSet(LangOption) && !TextTable::SetLanguage(parser.value(LangOption))) {
        status = UsageError(11659, {QStringLiteral("--lang ") + parser.value(LangOption)});
        return false;
    }
    if (parser.optionNames().contains(ValuesOption) && parser.isSet(ValuesOption)) {
        m_valuesFile = parser.value(ValuesOption);
        if (!QFileInfo(m_valuesFile).isFile()) {
            m_err << TextTable::Format(11441, {m_valuesFile}) << Qt::endl;
            status = ExitStatus::FileError;
            return false;
        }
    }
    return true;
}

QString KelmCli::DataDirectory()
{
    if (m_dataDirectory.isEmpty()) {
        KelmIni ini;
        const DataSetupResult setup = DataSetup::SetUpDataDirectories(ini, DataSetup::ProgramFolder(), {});
        if (!setup.WriteError.isEmpty())
            m_err << setup.WriteError << Qt::endl;
        m_dataDirectory = setup.Directories.ProgramDataDirectory;
    }
    return m_dataDirectory;
}

const ValueLists &KelmCli::Lists()
{
    if (!m_lists) {
        QString path = m_valuesFile;
        if (path.isEmpty()) {
            path = DataDirectory() + QString::fromLatin1(DataSetup::ValuesFile);
            if (!QFileInfo(path).isFile())
                path = DataSetup::ProgramFolder() + QString::fromLatin1(DataSetup::ValuesSource);
            if (!QFileInfo(path).isFile())
                m_err << TextTable::Format(11441, {path}) << Qt::endl;
        }
        m_lists = std::make_unique<ValueLists>();
        m_lists->Load(path);
    }
    return *m_lists;
}

int KelmCli::LoadFile(const QString &fileName, ImageBuffer &image)
{
    const int refused = ConfigFile::LoadOpened(fileName, image);
    if (refused == 0)
        return ExitStatus::Ok;
    QString message = TextTable::Format(refused, {fileName});
    if (!message.contains(fileName))
        message = fileName + QStringLiteral(": ") + message;
    m_err << message << Qt::endl;
    return ExitStatus::FileError;
}

void KelmCli::PrintListing(const ImageBuffer &image, bool json, const QString &source, bool problems)
{
    const ConfigListing listing = ConfigListingText::List(image, Lists(), QLocale());
    if (json) {
        QJsonObject object = ConfigListingText::Json(listing);
        object.insert(QStringLiteral("source"), source);
        m_out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
        return;
    }
    for (const QString &line : ConfigListingText::Lines(listing))
        m_out << line << QLatin1Char('\n');
    m_out.flush();
    if (!problems)
        return;
    for (const QString &problem : ConfigListingText::Problems(listing))
        m_err << problem << Qt::endl;
}

int KelmCli::ListingStatus(const ImageBuffer &image)
{
    return ConfigListingText::List(image, Lists(), QLocale()).AllValid() ? ExitStatus::Ok
                                                                          : ExitStatus::InvalidConfiguration;
}

int KelmCli::Show(QCommandLineParser &parser)
{
    const QString fileName = parser.positionalArguments().at(0);
    ImageBuffer image{};
    if (const int status = LoadFile(fileName, image))
        return status;
    PrintListing(image, parser.isSet(JsonOption), fileName, true);
    return ListingStatus(image);
}

int KelmCli::Diff(QCommandLineParser &parser)
{
    const QStringList files = parser.positionalArguments();
    ImageBuffer first{};
    ImageBuffer second{};
    if (const int status = LoadFile(files[0], first))
        return status;
    if (const int status = LoadFile(files[1], second))
        return status;
    const ConfigListing a = ConfigListingText::List(first, Lists(), QLocale());
    const ConfigListing b = ConfigListingText::List(second, Lists(), QLocale());
    int status = ExitStatus::Ok;
    for (const ListedField &field : a.fields) {
        const ListedField *other = b.Find(field.key);
        if (!other || (other->text == field.text && other->bytes == field.bytes))
            continue;
        m_out << field.label << QStringLiteral(": ") << field.text << QStringLiteral(" -> ") << other->text
              << QLatin1Char('\n');
        status = ExitStatus::Differences;
    }
    return status;
}

void KelmCli::PrepareLink(KelmLink &link, const QCommandLineParser &parser)
{
    if (parser.isSet(PortOption))
        link.SetPortName(parser.value(PortOption));
}

int KelmCli::DeviceStatus(int result, const KelmLink &link)
{
    switch (result) {
    case 0:
    case DeviceCommands::Aborted:
        return ExitStatus::Ok;
    case DeviceCommands::BackupFailed:
        return ExitStatus::BackupFailed;
    case 11409:
        if (link.LastOpenDenied()) {
            const QString group = QFileInfo(link.PortName()).group();
            const QString name = group.isEmpty() || group == QLatin1String("root") ? SerialGroup : group;
            m_err << TextTable::Format(11656, {link.PortName(), name, name}) << Qt::endl;
            return ExitStatus::PortDenied;
        }
        if (!link.LastOpenError().isEmpty())
            m_err << link.LastOpenError() << Qt::endl;
        return ExitStatus::NoQev;
    case 11408:
    case 11306:
        return ExitStatus::NoUnit;
    case 11431:
        return ExitStatus::WrongProductType;
    case 11407:
        return ExitStatus::WriteFailed;
    case 11406:
        return ExitStatus::VerifyFailed;
    case 11504:
        return ExitStatus::NotSupported;
    default:
        return ExitStatus::InvalidConfiguration;
    }
}

int KelmCli::Read(QCommandLineParser &parser)
{
    const bool json = parser.isSet(JsonOption);
    const QString output = parser.value(OutputOption);
    KelmLink link;
    PrepareLink(link, parser);
    ConsoleReporter reporter(m_out, m_err, Lists());
    reporter.SetQuiet(json);
    DeviceCommands commands(link, reporter, DataDirectory());
    KelmData data;
    const int result = commands.ReadFromDevice(data);
    // The image is taken even when a value or the CRC is wrong.
    const bool taken = result == 0 || result == 11434 || result == 11418;
    if (!taken)
        return DeviceStatus(result, link);
    if (!output.isEmpty()) {
        if (!KelmData::WriteConfigFile(data.EditedImage, output, ImageSize)) {
            m_err << TextTable::Format(11662, {output}) << Qt::endl;
            return ExitStatus::FileError;
        }
        if (!json)
            m_out << TextTable::Text(11415) << QStringLiteral(": ") << output << Qt::endl;
    }
    if (output.isEmpty() || json)
        PrintListing(data.EditedImage, json, link.PortName(), false);
    return DeviceStatus(result, link);
}

int KelmCli::Write(QCommandLineParser &parser, bool restore)
{
    const QString fileName = parser.positionalArguments().at(0);
    KelmData data;
    if (const int status = LoadFile(fileName, data.EditedImage))
        return status;
    if (!restore) {
        QString fieldName;
        QString content;
        if (ConfigCheck::PackForUnit(data.EditedImage, Lists(), QDateTime::currentDateTime(), fieldName, content) >= 0) {
            m_err << TextTable::Format(11419, {fieldName, content}) << Qt::endl;
            return ExitStatus::InvalidConfiguration;
        }
    }
    KelmLink link;
    PrepareLink(link, parser);
    ConsoleReporter reporter(m_out, m_err, Lists());
    DeviceCommands commands(link, reporter, DataDirectory());
    data.ConfigOrigin = OriginWrittenToUnit;
    const int result = restore ? commands.RestoreToDevice(data)
                               : commands.WriteToDevice(data, data.EditedImage[Addr::TimeScheduleEnabled] == 1);
    if (!commands.LastBackup().isEmpty())
        m_out << TextTable::Format(11657, {commands.LastBackup()}) << Qt::endl;
    return DeviceStatus(result, link);
}

int KelmCli::Codes(QCommandLineParser &parser)
{
    ConsoleReporter reporter(m_out, m_err, Lists());
    if (parser.isSet(SetOption)) {
        const QStringList codes = QStringList{parser.value(SetOption)} + parser.positionalArguments();
        static const QRegularExpression hexCode(QStringLiteral("^[0-9A-Fa-f]*$"));
        RadioCodeTexts newCodes;
        for (int i = 0; i < RadioCodeCount; ++i) {
            if (!hexCode.match(codes[i]).hasMatch())
                return UsageError(11660, {codes[i]});
            if (codes[i].size() != 4)
                return UsageError(11440, {});
            newCodes[i] = codes[i].toUpper();
        }
        for (const QString &code : newCodes) {
            if (code == QLatin1String("0000") || code == QLatin1String("FFFF"))
                m_err << code << QStringLiteral(": ") << TextTable::Text(11429) << Qt::endl;
        }
        reporter.SetNewRadioCodes(newCodes);
    }
    KelmLink link;
    PrepareLink(link, parser);
    DeviceCommands commands(link, reporter, DataDirectory());
    KelmData data;
    const int result = commands.ChangeDeviceRadioCodes(data);
    if (result == DeviceCommands::Aborted) {
        for (int i = 0; i < RadioCodeCount; ++i)
            m_out << TextTable::Text(RadioCodeLabels[i]) << QStringLiteral(": ") << reporter.OldRadioCodes()[i]
                  << QLatin1Char('\n');
    }
    if (!commands.LastBackup().isEmpty())
        m_out << TextTable::Format(11657, {commands.LastBackup()}) << Qt::endl;
    return DeviceStatus(result, link);
}

int KelmCli::QevVersion(QCommandLineParser &parser)
{
    KelmLink link;
    PrepareLink(link, parser);
    if (link.OpenLink() != KelmLink::Success) {
        m_err << TextTable::Text(11409) << Qt::endl;
        return DeviceStatus(11409, link);
    }
    QByteArray version;
    const int result = link.QueryVersion(version);
    link.CloseLink();
    if (result != KelmLink::Success) {
        m_err << TextTable::Text(11409) << Qt::endl;
        return ExitStatus::NoQev;
    }
    m_out << QString::fromLatin1(version).trimmed() << Qt::endl;
    return ExitStatus::Ok;
}

int KelmCli::Dst(QCommandLineParser &parser)
{
    const ValueLists &lists = Lists();
    const ValueList regions = ValueList::DaylightSavingRegions;
    const QStringList names = lists.Names(regions);
    if (parser.positionalArguments().isEmpty()) {
        for (int row = 0; row < names.size(); ++row)
            m_out << lists.Codes(regions).CodeOfRow(row) << QLatin1Char('\t') << names[row] << QLatin1Char('\n');
        return ExitStatus::Ok;
    }
    const QString region = parser.positionalArguments().at(0);
    const int row = lists.FindRow(regions, region);
    if (row < 0)
        return UsageError(11661, {region});
    int year = QDate::currentDate().year();
    if (parser.isSet(YearOption)) {
        bool isNumber = false;
        year = parser.value(YearOption).toInt(&isNumber);
        // The unit keeps the first year as the years since 2000 in one byte.
        if (!isNumber || year < 2000 || year > 2255)
            return UsageError(11659, {QStringLiteral("--year ") + parser.value(YearOption)});
    }
    m_out << names[row] << QLatin1Char('\n')
          << DescribeDstRule(lists.Ini(), lists.Codes(regions), row, year, QLocale()) << QLatin1Char('\n');
    ImageBuffer block{};
    FillDstBlock(block, lists.Ini(), lists.Codes(regions), row, year);
    const QLocale locale;
    for (const DstYear &dst : ConfigListingText::DstYears(block)) {
        if (!dst.start.isValid() && !dst.stop.isValid())
            continue;
        m_out << dst.year << QStringLiteral(": ") << ConfigListingText::DateTimeText(dst.start, locale)
              << QStringLiteral(" - ") << ConfigListingText::DateTimeText(dst.stop, locale) << QLatin1Char('\n');
    }
    return ExitStatus::Ok;
}
