// "Values.ini" read and written whatever it holds: the input up to its first
// zero byte is the file; after it come settings to write, as
// section \x01 key \x01 value, one per zero-separated part.
#include "CodeList.h"
#include "FuzzSupport.h"
#include "KelmIni.h"

#include <QList>

namespace {

struct ListState {
    QStringList rows;
    int selected = -1;
    QList<qint32> codes;
    int count = 0;
    bool operator==(const ListState &) const = default;
};

struct ListSection {
    const char *name;
    int limit;
};

constexpr ListSection Lists[] = {
    { "AlarmType", ListLimit::AlarmType },
    { "DoorMatSensorType", ListLimit::DoorMatSensorType },
    { "DaylightSaving", ListLimit::DaylightSaving },
};

ListState Fill(const KelmIni &ini, const ListSection &section)
{
    FuzzSupport::RecordingList control;
    CodeList codes(section.limit);
    ListState state;
    state.count = ini.FillList(control, QString::fromLatin1(section.name), codes);
    FUZZ_CHECK(state.count >= 0 && state.count <= section.limit);
    FUZZ_CHECK(codes.Count() == state.count && control.rows.size() == state.count);
    FUZZ_CHECK(control.selected == (state.count > 0 ? 0 : -1));
    FUZZ_CHECK(codes.CodeOfRow(state.count) == -1);
    for (int row = 0; row < state.count; ++row) {
        const qint32 code = codes.CodeOfRow(row);
        FUZZ_CHECK(code >= 0);
        // Codes rise with the rows, so a code's first row is its only row.
        if (row > 0)
            FUZZ_CHECK(code > codes.CodeOfRow(row - 1));
        if (code <= 255)
            FUZZ_CHECK(codes.RowOfCode(quint8(code)) == row);
        FUZZ_CHECK(control.rows[row] != QLatin1String("<EMPTY>") && control.rows[row] != QLatin1String("<END>"));
        state.codes << code;
    }
    state.rows = control.rows;
    state.selected = control.selected;
    return state;
}

QList<ListState> FillAll(const KelmIni &ini)
{
    QList<ListState> states;
    for (const ListSection &section : Lists)
        states << Fill(ini, section);
    return states;
}

// A name or value the reader gives back exactly as written: the reader trims
// blanks, unquotes, cuts long values and reads '=' and brackets as syntax.
bool ReadsBackAsWritten(const QString &section, const QString &key, const QString &value)
{
    if (section.isEmpty() || key.isEmpty() || section.trimmed() != section || key.trimmed() != key
        || value.trimmed() != value || value.size() > KelmIni::MaxValueLength)
        return false;
    if (section.contains(u']') || key.contains(u'=') || key.startsWith(u'[') || key.startsWith(u';'))
        return false;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return false;
    return true;
}

void WriteAndReadBack(KelmIni &ini, const QString &section, const QString &key, const QString &value)
{
    const QString path = ini.Path();
    const QByteArray before = FuzzSupport::ReadFile(path);
    const QList<ListState> listsBefore = FillAll(ini);
    const bool lineBreak = (section + key + value).contains(u'\n') || (section + key + value).contains(u'\r');

    const bool written = ini.WriteSetting(section, key, value);
    if (lineBreak) {
        // Refused, and the file left byte for byte as it was.
        FUZZ_CHECK(!written);
        FUZZ_CHECK(FuzzSupport::ReadFile(path) == before);
        return;
    }
    FUZZ_CHECK(written);
    if (!ReadsBackAsWritten(section, key, value))
        return;
    FUZZ_CHECK(ini.ReadSetting(section, key, QStringLiteral("\x01missing")) == value);
    FUZZ_CHECK(ini.SectionExists(section));
    // A key outside the list sections leaves every list as it was.
    bool listSection = false;
    for (const ListSection &list : Lists)
        listSection = listSection || section.compare(QLatin1String(list.name), Qt::CaseInsensitive) == 0;
    if (!listSection)
        FUZZ_CHECK(FillAll(ini) == listsBefore);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\0');

    KelmIni ini;
    ini.SetPath(FuzzSupport::ScratchPath(QStringLiteral("Values.ini")));
    FUZZ_CHECK(FuzzSupport::WriteFile(ini.Path(), parts.first()));

    ini.ReadSetting(QStringLiteral("Setup"), QStringLiteral("ConfigDirectory"));
    ini.ReadSetting(QStringLiteral("DaylightSaving"), QStringLiteral("1TZ"));
    FillAll(ini);

    WriteAndReadBack(ini, QStringLiteral("Setup"), QStringLiteral("ConfigDirectory"),
                     QStringLiteral("/home/tekniker/KELM konfig"));
    WriteAndReadBack(ini, QStringLiteral("Setup"), QStringLiteral("AppVersion"), QStringLiteral("1.3.0.173"));
    for (qsizetype i = 1; i < parts.size() && i <= 4; ++i) {
        const QList<QByteArray> fields = parts[i].split('\x01');
        WriteAndReadBack(ini, QString::fromUtf8(fields.value(0)), QString::fromUtf8(fields.value(1)),
                         QString::fromUtf8(fields.value(2)));
    }
    return 0;
}
