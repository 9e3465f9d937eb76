#include "CliTestSupport.h"
#include "KelmData.h"
#include "TestSupport.h"
#include "TextTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject JsonOf(const KelmRun &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.object();
}

QJsonObject FieldOf(const QJsonObject &listing, const char *name)
{
    return listing.value(QStringLiteral("fields")).toObject().value(QLatin1String(name)).toObject();
}

// The fields the listing marks as refused.
QStringList RefusedFields(const QJsonObject &listing)
{
    QStringList names;
    const QJsonObject fields = listing.value(QStringLiteral("fields")).toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (!it.value().toObject().value(QStringLiteral("valid")).toBool())
            names << it.key();
    }
    return names;
}

const QString Refused = QStringLiteral("  [ogiltigt värde]");

TEST_F(CliTest, ShowListsTheShippedDefaultAsTheWindowShowsIt)
{
    const KelmRun run = Kelm({QStringLiteral("show"), TestSupport::BinPath(QStringLiteral("Default.b"))});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    for (const char *line : {
             "Larm när dörr stängs : Skicka larm: [x]",
             "Larm när ingång sluts : Skicka larm: [ ]",
             "Larm när dörr stängs : Larmtyp: Dörr stängd",
             "Larm när dörr öppnas : Larmtyp: Dörr öppen",
             "Inpassagetid (s): 30",
             "Automatisk återställning (s): 300",
             "Typ av larmmatta: Ingen",
             "Gränsvärde för lågt batteri (V): 3,3",
             "Tid för aktivering: 22:00",
             "Tid för avaktivering: 06:00",
             "Region för sommartid: Europa (utom Island)",
             "Kontrollsumma (CRC): 2D",
             "Produktionsdatum: 2024-05-14",
             "Programversion: 02.08-00",
             "Serienummer: 100001",
         })
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line << "\n" << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(Refused));
}

TEST_F(CliTest, ShowJsonHasStableKeysAndTheSameValues)
{
    const KelmRun run = Kelm({QStringLiteral("show"), QStringLiteral("--json"), TestSupport::BinPath(QStringLiteral("Default.b"))});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject listing = JsonOf(run);
    EXPECT_TRUE(listing.value(QStringLiteral("valid")).toBool());
    EXPECT_TRUE(listing.value(QStringLiteral("crc")).toObject().value(QStringLiteral("matches")).toBool());
    struct Expected
    {
        const char *name;
        const char *text;
        int value;
    };
    for (const Expected &e : {
             Expected{"BatteryLowLimit", "3,3", 33},
             Expected{"AutoResetTime", "300", 300},
             Expected{"DoorClosedAlarmType", "Dörr stängd", 5},
             Expected{"DaylightSavingRegion", "Europa (utom Island)", 1},
             Expected{"SerialNumber", "100001", 100001},
             Expected{"ProgramVersion", "02.08-00", 0x020800},
             Expected{"DoorClosedSendAlarm", "[x]", 1},
         }) {
        const QJsonObject field = FieldOf(listing, e.name);
        EXPECT_EQ(field.value(QStringLiteral("text")).toString(), QString::fromUtf8(e.text)) << e.name;
        EXPECT_EQ(field.value(QStringLiteral("value")).toInt(), e.value) << e.name;
        EXPECT_TRUE(field.value(QStringLiteral("valid")).toBool()) << e.name;
    }
    EXPECT_EQ(FieldOf(listing, "InPassageDelay").value(QStringLiteral("label")).toString(), TextTable::Text(11122));
    EXPECT_EQ(listing.value(QStringLiteral("daylightSaving")).toObject().value(QStringLiteral("years")).toArray().size(), 16);
}

// Each value the window refuses, alone in an otherwise good file with a sealed
// CRC; a value at its limit is taken.
TEST_F(CliTest, ShowFlagsEveryValueTheWindowRefuses)
{
    struct Case
    {
        const char *field;
        int address;
        int value;
        bool word;
        bool refused;
    };
    const Case cases[] = {
        {"InPassageDelay", Addr::InPassageDelay, 241, false, true},
        {"InPassageDelay", Addr::InPassageDelay, 240, false, false},
        {"AutoResetTime", Addr::AutoResetTime, 3601, true, true},
        {"MaxTimeOutsideDoor", Addr::MaxTimeOutsideDoor, 3600, true, false},
        {"BatteryLowLimit", Addr::BatteryLowLimit, 61, false, true},
        {"BatteryLowLimit", Addr::BatteryLowLimit, 60, false, false},
        {"DoorOpenedAlarmType", Addr::DoorOpenedAlarmType, 10, false, true},
        {"DoorMatSensorType", Addr::DoorMatSensorType, 5, false, true},
        {"DaylightSavingRegion", Addr::DaylightSavingRegion, 3, false, true},
        {"DaylightSavingRegion", Addr::DaylightSavingRegion, 2, false, false},
        // Not checked by the window: an hour of 99 is shown as it is.
        {"ActivationHour", Addr::ActivationHour, 99, false, false},
    };
    for (const Case &c : cases) {
        QByteArray memory = ShippedDefault();
        if (c.word)
            SetWord(memory, c.address, c.value);
        else
            SetByte(memory, c.address, c.value);
        SealCrc(memory);
        const QString file = WriteFile(QStringLiteral("case.Kelm"), memory);
        const QString what = QStringLiteral("%1 = %2").arg(QLatin1String(c.field)).arg(c.value);

        const KelmRun json = Kelm({QStringLiteral("show"), QStringLiteral("--json"), file});
        const QJsonObject listing = JsonOf(json);
        EXPECT_EQ(RefusedFields(listing), c.refused ? QStringList{QLatin1String(c.field)} : QStringList())
            << what.toStdString();
        EXPECT_EQ(json.status, c.refused ? 4 : 0) << what.toStdString();

        const KelmRun text = Kelm({QStringLiteral("show"), file});
        EXPECT_EQ(text.status, c.refused ? 4 : 0) << what.toStdString();
        EXPECT_EQ(text.out.count(Refused), c.refused ? 1 : 0) << what.toStdString() << text.out.toStdString();
        // The window's own message names the field and the byte.
        if (c.refused) {
            const QString label = FieldOf(listing, c.field).value(QStringLiteral("label")).toString();
            EXPECT_TRUE(text.err.contains(QStringLiteral("'%1'").arg(label))) << text.err.toStdString();
            EXPECT_TRUE(text.err.contains(TextTable::Text(11418).section(u'\n', 0, 0).left(20)));
        }
    }
}

TEST_F(CliTest, ShowReportsACrcThatDoesNotMatch)
{
    QByteArray memory = ShippedDefault();
    SetByte(memory, Addr::InPassageDelay, 45); // changed without sealing
    const QString file = WriteFile(QStringLiteral("stale.Kelm"), memory);

    const KelmRun text = Kelm({QStringLiteral("show"), file});
    EXPECT_EQ(text.status, 4);
    EXPECT_TRUE(text.out.contains(QStringLiteral("Kontrollsumma (CRC): 2D") + Refused)) << text.out.toStdString();
    const QString computed = QStringLiteral("%1").arg(KelmData::ImageCrc(ToImage(memory)), 2, 16, QLatin1Char('0')).toUpper();
    EXPECT_TRUE(text.err.contains(TextTable::Format(11654, {QStringLiteral("2D"), computed}))) << text.err.toStdString();

    const QJsonObject listing = JsonOf(Kelm({QStringLiteral("show"), QStringLiteral("--json"), file}));
    const QJsonObject crc = listing.value(QStringLiteral("crc")).toObject();
    EXPECT_FALSE(crc.value(QStringLiteral("matches")).toBool());
    EXPECT_EQ(crc.value(QStringLiteral("stored")).toInt(), 0x2D);
    EXPECT_FALSE(listing.value(QStringLiteral("valid")).toBool());
    EXPECT_TRUE(RefusedFields(listing).isEmpty());
}

TEST_F(CliTest, ShowDecodesTheDaylightSavingBlockAndClockAsDates)
{
    QByteArray memory = ShippedDefault();
    // Summer time 2026 from day index 87 (29 March) 02:00 to 297 (25 October) 03:00.
    SetByte(memory, Addr::DstFirstYear, 26);
    SetByte(memory, Addr::DstStartHour, 2);
    SetByte(memory, Addr::DstStopHour, 3);
    SetByte(memory, Addr::DstAdjustMinutes, 60);
    SetWord(memory, Addr::DstStartDays, 87);
    SetWord(memory, Addr::DstStopDays, 297);
    // The unit's clock: 2026, day index 40 (10 February), 13:05, running with the time schedule.
    SetByte(memory, Addr::TimeScheduleEnabled, 1);
    SetByte(memory, Addr::ClockYear, 26);
    SetWord(memory, Addr::ClockDayOfYear, 40);
    SetByte(memory, Addr::ClockHour, 13);
    SetByte(memory, Addr::ClockMinute, 5);
    SealCrc(memory);
    const QString file = WriteFile(QStringLiteral("dst.Kelm"), memory);

    const KelmRun run = Kelm({QStringLiteral("show"), file});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Sommartid 2026: 2026-03-29 02:00 - 2026-10-25 03:00\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Justering för sommartid (minuter): 60\n")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("Sommartid 2027")));
    const QString clockLabel = TextTable::Text(11216) + QStringLiteral(": ");
    EXPECT_TRUE(run.out.contains(clockLabel + QStringLiteral("2026-02-10 13:05\n"))) << run.out.toStdString();
    // Without the time schedule the clock stands still: no time is shown.
    SetByte(memory, Addr::TimeScheduleEnabled, 0);
    SealCrc(memory);
    const KelmRun stopped = Kelm({QStringLiteral("show"), WriteFile(QStringLiteral("stopped.Kelm"), memory)});
    EXPECT_TRUE(stopped.out.contains(clockLabel + QStringLiteral("---\n"))) << stopped.out.toStdString();

    const QJsonArray years = JsonOf(Kelm({QStringLiteral("show"), QStringLiteral("--json"), file}))
                                 .value(QStringLiteral("daylightSaving")).toObject().value(QStringLiteral("years")).toArray();
    ASSERT_EQ(years.size(), 16);
    EXPECT_EQ(years[0].toObject().value(QStringLiteral("start")).toString(), QStringLiteral("2026-03-29T02:00"));
    EXPECT_EQ(years[0].toObject().value(QStringLiteral("stop")).toString(), QStringLiteral("2026-10-25T03:00"));
    EXPECT_EQ(years[1].toObject().value(QStringLiteral("start")).toString(), QString());
}

TEST_F(CliTest, ShowSpeaksEnglishWithLangEn)
{
    const KelmRun run = Kelm({QStringLiteral("show"), QStringLiteral("--lang"), QStringLiteral("en"),
                              TestSupport::BinPath(QStringLiteral("Default.b"))});
    EXPECT_EQ(run.status, 0);
    TextTable::SetLanguage(QStringLiteral("en"));
    const QString label = TextTable::Text(11164);
    TextTable::SetLanguage(QStringLiteral("sv"));
    EXPECT_TRUE(run.out.contains(label + QStringLiteral(": 3,3"))) << run.out.toStdString();
}

TEST_F(CliTest, DiffListsOnlyTheFieldsThatDiffer)
{
    const QByteArray original = ShippedDefault();
    QByteArray changed = original;
    SetByte(changed, Addr::InPassageDelay, 45);
    SetByte(changed, Addr::DaylightSavingRegion, 2);
    SetByte(changed, Addr::BatteryLowLimit, 35);
    SealCrc(changed);
    const QString a = WriteFile(QStringLiteral("a.Kelm"), original);
    const QString b = WriteFile(QStringLiteral("b.Kelm"), changed);

    const KelmRun run = Kelm({QStringLiteral("diff"), a, b});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QString crc = KelmData::ByteToHexText(quint8(changed[Addr::Crc]));
    EXPECT_EQ(run.out.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("Inpassagetid (s): 30 -> 45"),
                           QStringLiteral("Gränsvärde för lågt batteri (V): 3,3 -> 3,5"),
                           QStringLiteral("Region för sommartid: Europa (utom Island) -> USA och Kanada"),
                           QStringLiteral("Kontrollsumma (CRC): 2D -> ") + crc}));

    const KelmRun same = Kelm({QStringLiteral("diff"), a, a});
    EXPECT_EQ(same.status, 0);
    EXPECT_TRUE(same.out.isEmpty());
}

TEST_F(CliTest, DiffSeesAFlagByteTheWindowShowsTheSame)
{
    // 2 and 0 both show an unchecked box, but the files are not the same.
    const QByteArray original = ShippedDefault();
    QByteArray changed = original;
    SetByte(changed, Addr::IgnorePowerSwitch, 2);
    const KelmRun run = Kelm({QStringLiteral("diff"), WriteFile(QStringLiteral("a.Kelm"), original),
                              WriteFile(QStringLiteral("b.Kelm"), changed)});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QStringLiteral("Ignorera strömbrytare: [ ] -> [ ]\n"));
}

TEST_F(CliTest, ValueListsComeFromTheValuesOption)
{
    const QString values = WriteFile(QStringLiteral("values.ini"),
                                     "[AlarmType]\n0=Alfa\n5=Beta\n6=<END>\n[DoorMatSensorType]\n0=Ingen\n"
                                     "[DaylightSaving]\n0=Ingen\n");
    const KelmRun run = Kelm({QStringLiteral("show"), QStringLiteral("--values"), values,
                              TestSupport::BinPath(QStringLiteral("Default.b"))});
    EXPECT_TRUE(run.out.contains(QStringLiteral("Larm när dörr stängs : Larmtyp: Beta\n"))) << run.out.toStdString();
    // Europe is no row of these lists: the window refuses the region.
    EXPECT_TRUE(run.out.contains(QStringLiteral("Region för sommartid: 1") + Refused));
    EXPECT_EQ(run.status, 4);
}

TEST_F(CliTest, DstListsRegionsAndARegionsSixteenYears)
{
    const KelmRun regions = Kelm({QStringLiteral("dst")});
    EXPECT_EQ(regions.status, 0);
    EXPECT_EQ(regions.out, QStringLiteral("0\tIngen sommartid\n1\tEuropa (utom Island)\n2\tUSA och Kanada\n"));

    for (const QString &region : {QStringLiteral("2"), QStringLiteral("usa och kanada")}) {
        const KelmRun run = Kelm({QStringLiteral("dst"), region, QStringLiteral("--year"), QStringLiteral("2026")});
        EXPECT_EQ(run.status, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_TRUE(lines.contains(QStringLiteral("2026: 2026-03-08 02:00 - 2026-11-01 02:00"))) << run.out.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("2041: 2041-03-10 02:00 - 2041-11-03 02:00"))) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("Justering: 60 minuter.")));
    }
    const KelmRun none = Kelm({QStringLiteral("dst"), QStringLiteral("0")});
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.out.contains(TextTable::Text(11518)));
    EXPECT_FALSE(none.out.contains(QStringLiteral(" - ")));
}

} // namespace
