#include "CodeList.h"
#include "KelmIni.h"
#include "ScriptedPrompt.h"
#include "TestSupport.h"
#include "TextTable.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>

namespace {

struct TextCase
{
    const char *control;
    int text;
};

const TextCase Texts[] = {
    {"gbxInputs", 11101},
    {"lblAlarmWhenDoorClosed", 11102},
    {"lblAlarmWhenDoorOpened", 11103},
    {"lblAlarmWhenInputClosed", 11104},
    {"lblAlarmWhenInputOpened", 11105},
    {"lblSendAlarm", 11106},
    {"lblInputsRadioCode", 11107},
    {"lblAlarmType", 11108},
    {"gbxAlarmDelay", 11121},
    {"lblInPassageDelay", 11122},
    {"lblOutPassageDelay", 11123},
    {"lblAutoResetTime", 11124},
    {"gbxPeekFunction", 11141},
    {"lblEnablePeekFunction", 11142},
    {"lblDoorMatSensorType", 11143},
    {"lblMaxTimeOutsideDoor", 11144},
    {"gbxRadioParameters", 11201},
    {"lblNumberOfShortTransmissions", 11202},
    {"lblNumberOfLongTransmissions", 11203},
    {"lblEquipmentType", 11204},
    {"gbxTechnicalAlarms", 11161},
    {"lblTechnicalRadioCode", 11107},
    {"lblRadioTestAlarmPeriod", 11162},
    {"lblBatteryAlarmPeriod", 11163},
    {"lblBatteryLowLimit", 11164},
    {"gbxMiscellaneous", 11181},
    {"lblIgnorePowerSwitch", 11182},
    {"gbxTimeSchedule", 11211},
    {"lblEnableTimeSchedule", 11212},
    {"lblActivationTime", 11213},
    {"lblInactivationTime", 11214},
    {"lblDaylightSavingTimeRegion", 11215},
    {"lblMostRecentDateTime", 11216},
    {"lblDate", 11217},
    {"lblTime", 11218},
    {"gbxProductInformation", 11221},
    {"lblProgramVersion", 11222},
    {"lblSerialNumber", 11223},
    {"lblProductionDate", 11224},
    {"lblRadioCalibration", 11225},
};

QString ShownText(QWidget *control)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *group = qobject_cast<QGroupBox *>(control))
        return group->title();
    return QString();
}

TEST(MainWindowTexts, LabelsAndGroupBoxesShowTheirTableTexts)
{
    TfrmMain window;
    for (const TextCase &c : Texts) {
        SCOPED_TRACE(c.control);
        ASSERT_TRUE(TextTable::Has(c.text));
        QWidget *control = window.findChild<QWidget *>(QLatin1String(c.control));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ShownText(control), TextTable::Text(c.text));
    }
    // The colons keep the layout's own text.
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblColon1"))->text(), QStringLiteral(":"));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblColon2"))->text(), QStringLiteral(":"));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblMaxTimeOutsideDoor"))->text(),
              QStringLiteral("Längsta tillåtna tid utanför dörr (s)"));
}

struct ListCase
{
    const char *control;
    const char *section;
    const CodeList TfrmMain::*codes;
    int limit;
};

const ListCase Lists[] = {
    {"cbbxDoorClosedAlarmType", "AlarmType", &TfrmMain::DoorClosedAlarmTypeCodes, 200},
    {"cbbxDoorOpenedAlarmType", "AlarmType", &TfrmMain::DoorOpenedAlarmTypeCodes, 200},
    {"cbbxInputClosedAlarmType", "AlarmType", &TfrmMain::InputClosedAlarmTypeCodes, 200},
    {"cbbxInputOpenedAlarmType", "AlarmType", &TfrmMain::InputOpenedAlarmTypeCodes, 200},
    {"cbbxDoorMatSensorType", "DoorMatSensorType", &TfrmMain::DoorMatSensorTypeCodes, 10},
    {"cbbxDaylightSavingTimeRegion", "DaylightSaving", &TfrmMain::DaylightSavingRegionCodes, 30},
};

TEST(MainWindowLists, EachListIsFilledFromItsSectionOfTheShippedValuesWithItsOwnCodes)
{
    TfrmMain window;
    window.KelmIni.SetPath(TestSupport::BinPath(QStringLiteral("Values.i")));
    window.FillLists();

    KelmIni reference;
    reference.SetPath(TestSupport::BinPath(QStringLiteral("Values.i")));
    for (const ListCase &c : Lists) {
        SCOPED_TRACE(c.control);
        auto *list = window.findChild<QComboBox *>(QLatin1String(c.control));
        const CodeList &codes = window.*c.codes;
        EXPECT_EQ(codes.Limit(), c.limit);
        ASSERT_GT(list->count(), 0);
        ASSERT_EQ(codes.Count(), list->count());
        EXPECT_EQ(list->currentIndex(), 0);
        for (int row = 0; row < list->count(); ++row) {
            const qint32 code = codes.CodeOfRow(row);
            EXPECT_EQ(list->itemText(row), reference.ReadSetting(QLatin1String(c.section), QString::number(code)))
                << "row " << row << " code " << code;
        }
    }
    // The two rows the layout gives the region list never show.
    auto *regions = window.findChild<QComboBox *>(QStringLiteral("cbbxDaylightSavingTimeRegion"));
    EXPECT_EQ(regions->findText(QStringLiteral("USA")), -1);
}

TEST(MainWindowLists, SectionsGoToTheirOwnListsAndAMissingSectionLeavesItsListEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Values.ini"));
    ASSERT_TRUE(TestSupport::WriteAll(path, "[AlarmType]\n0=Inbrott\n3=Brand\n4=<END>\n"
                                            "[DoorMatSensorType]\n0=<EMPTY>\n2=Trampmatta\n3=<END>\n"));
    TfrmMain window;
    window.KelmIni.SetPath(path);
    window.FillLists();

    for (const ListCase &c : Lists) {
        SCOPED_TRACE(c.control);
        auto *list = window.findChild<QComboBox *>(QLatin1String(c.control));
        const CodeList &codes = window.*c.codes;
        QStringList rows;
        QList<qint32> rowCodes;
        for (int row = 0; row < list->count(); ++row) {
            rows << list->itemText(row);
            rowCodes << codes.CodeOfRow(row);
        }
        if (QLatin1String(c.section) == QLatin1String("AlarmType")) {
            EXPECT_EQ(rows, QStringList({QStringLiteral("Inbrott"), QStringLiteral("Brand")}));
            EXPECT_EQ(rowCodes, QList<qint32>({0, 3}));
            EXPECT_EQ(codes.RowOfCode(3), 1);
        } else if (QLatin1String(c.section) == QLatin1String("DoorMatSensorType")) {
            EXPECT_EQ(rows, QStringList({QStringLiteral("Trampmatta")}));
            EXPECT_EQ(rowCodes, QList<qint32>({2}));
        } else {
            EXPECT_TRUE(rows.isEmpty());
            EXPECT_EQ(list->currentIndex(), -1);
            EXPECT_EQ(codes.Count(), 0);
        }
    }
}

} // namespace
