#include "WindowFixture.h"

#include "TextTable.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <vector>

namespace {

class FieldRulesTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        // Enable the dependent fields so they take keys.
        Check("cbEnablePeekFunction")->setChecked(true);
        Check("cbEnableTimeSchedule")->setChecked(true);
        for (const FieldInfo &field : Fields::All())
            if (auto *edit = field.control ? window->findChild<QLineEdit *>(QLatin1String(field.control)) : nullptr;
                edit && !field.shownOnly)
                edit->clear();
        prompt.Clear();
    }
};

struct KeyCase
{
    const char *control;
    const char *typed;
    const char *shown;
};

TEST_F(FieldRulesTest, KeyFiltersDropWhatAFieldCannotHold)
{
    const KeyCase cases[] = {
        {"edtInPassageDelay", "1a- 2", "12"},
        {"edtOutPassageDelay", "+3.,", "3"},
        {"edtAutoResetTime", "36e0", "360"},
        {"edtMaxTimeOutsideDoor", "x9", "9"},
        {"edtRadioTestAlarmPeriod", "0,1", "01"},
        {"edtBatteryAlarmPeriod", "\t4", "4"},
        {"edtNumberOfShortTransmissions", "25!", "25"},
        {"edtNumberOfLongTransmissions", "A1", "1"},
        {"edtEquipmentType", "7?", "7"},
        {"edtActivationHour", "1:", "1"},
        {"edtActivationMinute", "5m", "5"},
        {"edtInactivationHour", "-2", "2"},
        {"edtInactivationMinute", "3 ", "3"},
        {"edtBatteryLowLimit", "3.a,5", "3,5"},
        {"edtBatteryLowLimit", "-1", "1"},
    };
    for (const KeyCase &c : cases) {
        QLineEdit *edit = Edit(c.control);
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << c.control << " typed " << c.typed;
    }
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(FieldRulesTest, EditingKeysStillWork)
{
    QLineEdit *edit = Edit("edtAutoResetTime");
    QTest::keyClicks(edit, QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("2"));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, QStringLiteral("9"));
    EXPECT_EQ(edit->text(), QStringLiteral("92"));

    // Ctrl+A is refused, so nothing gets selected and the next digit is added.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("1"));
    EXPECT_EQ(edit->text(), QStringLiteral("912"));
}

TEST_F(FieldRulesTest, ClipboardKeysPassAndPastingIsNotFiltered)
{
    QLineEdit *edit = Edit("edtInPassageDelay");
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));
    EXPECT_TRUE(prompt.shown.isEmpty()) << "a text that is no number passes the change check as 0";

    edit->setText(QStringLiteral("12"));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
}

TEST_F(FieldRulesTest, DecimalKeyFollowsTheLocaleSeparator)
{
    QLineEdit *edit = Edit("edtBatteryLowLimit");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QTest::keyClicks(edit, QStringLiteral("3,.5"));
    const QString english = edit->text();
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(english, QStringLiteral("3.5"));
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(FieldRulesTest, TypingPastTheLimitShowsTheMessageAtTheLastKey)
{
    QLineEdit *edit = Edit("edtInPassageDelay");
    QTest::keyClick(edit, Qt::Key_2);
    QTest::keyClick(edit, Qt::Key_4);
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(edit->text(), QStringLiteral("24"));
    QTest::keyClick(edit, Qt::Key_1);
    EXPECT_EQ(prompt.Numbers(), QList<int>{11420});
    EXPECT_EQ(edit->text(), QStringLiteral("240"));
}

struct ChangeCase
{
    const char *control;
    const char *typed;
    int message; // 0 for none
    const char *shown;
};

TEST_F(FieldRulesTest, ChangeChecksShowTheirMessageAndReset)
{
    const ChangeCase cases[] = {
        {"edtInPassageDelay", "240", 0, "240"},
        {"edtInPassageDelay", "241", 11420, "240"},
        {"edtOutPassageDelay", "300", 11421, "240"},
        {"edtAutoResetTime", "3600", 0, "3600"},
        {"edtAutoResetTime", "5000", 11422, "3600"},
        {"edtMaxTimeOutsideDoor", "3601", 11423, "3600"},
        {"edtRadioTestAlarmPeriod", "241", 11424, "240"},
        {"edtBatteryAlarmPeriod", "999", 11425, "240"},
        {"edtBatteryLowLimit", "6,0", 0, "6,0"},
        {"edtBatteryLowLimit", "6,5", 11426, "6"},
        {"edtBatteryLowLimit", "7", 11426, "6"},
        {"edtNumberOfShortTransmissions", "255", 0, "255"},
        {"edtNumberOfShortTransmissions", "300", 11427, "255"},
        {"edtNumberOfLongTransmissions", "256", 11428, "255"},
        {"edtEquipmentType", "256", 11444, "5"},
        {"edtActivationHour", "23", 0, "23"},
        {"edtActivationHour", "24", 11442, ""},
        {"edtInactivationHour", "30", 11442, ""},
        {"edtActivationMinute", "59", 0, "59"},
        {"edtActivationMinute", "60", 11443, ""},
        {"edtInactivationMinute", "99", 11443, ""},
    };
    for (const ChangeCase &c : cases) {
        QLineEdit *edit = Edit(c.control);
        edit->clear();
        prompt.Clear();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        const QList<int> expected = c.message ? QList<int>{c.message} : QList<int>{};
        EXPECT_EQ(prompt.Numbers(), expected) << c.control << " typed " << c.typed;
        for (const auto &shown : prompt.shown)
            EXPECT_EQ(shown.kind, UserPrompt::Kind::Error);
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << c.control << " typed " << c.typed;
    }
}

TEST_F(FieldRulesTest, DeletingAllTextGivesNoMessage)
{
    QLineEdit *edit = Edit("edtAutoResetTime");
    QTest::keyClicks(edit, QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(FieldRulesTest, BatterySeparatorAloneIsAConversionErrorAndStays)
{
    QLineEdit *edit = Edit("edtBatteryLowLimit");
    QTest::keyClicks(edit, QStringLiteral(","));
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Error);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("',' is not a valid floating point value"));
    EXPECT_EQ(edit->text(), QStringLiteral(","));

    // Going on to ",5" reads as 0.5 and passes.
    prompt.Clear();
    QTest::keyClicks(edit, QStringLiteral("5"));
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(edit->text(), QStringLiteral(",5"));
}

TEST_F(FieldRulesTest, BatteryTypedWithTrailingSeparatorPassesOnItsWay)
{
    QLineEdit *edit = Edit("edtBatteryLowLimit");
    QTest::keyClicks(edit, QStringLiteral("6,0"));
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(edit->text(), QStringLiteral("6,0"));
}

TEST_F(FieldRulesTest, PeekBoxEnablesItsTwoFields)
{
    QCheckBox *peek = Check("cbEnablePeekFunction");
    QWidget *list = List("cbbxDoorMatSensorType");
    QWidget *time = Edit("edtMaxTimeOutsideDoor");
    Edit("edtMaxTimeOutsideDoor")->setText(QStringLiteral("120"));
    peek->click();
    EXPECT_FALSE(peek->isChecked());
    EXPECT_FALSE(list->isEnabled());
    EXPECT_FALSE(time->isEnabled());
    EXPECT_EQ(Edit("edtMaxTimeOutsideDoor")->text(), QStringLiteral("120")) << "disabling keeps the value";
    peek->click();
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(time->isEnabled());
}

TEST_F(FieldRulesTest, ScheduleBoxEnablesTimesAndRegionButNeverTheClock)
{
    QCheckBox *schedule = Check("cbEnableTimeSchedule");
    const char *dependent[] = {"edtActivationHour", "edtActivationMinute", "edtInactivationHour",
                               "edtInactivationMinute", "cbbxDaylightSavingTimeRegion"};
    for (bool checked : {false, true}) {
        if (schedule->isChecked() != checked)
            schedule->click();
        ASSERT_EQ(schedule->isChecked(), checked);
        for (const char *name : dependent)
            EXPECT_EQ(window->findChild<QWidget *>(QLatin1String(name))->isEnabled(), checked) << name;
        EXPECT_FALSE(Edit("edtDate")->isEnabled());
        EXPECT_FALSE(Edit("edtTime")->isEnabled());
    }
}

TEST_F(FieldRulesTest, ViewShowsTheSelectedRegionsSummerTime)
{
    QComboBox *regions = List("cbbxDaylightSavingTimeRegion");
    window->CurrentDateTime = [] { return QDateTime(QDate(2025, 5, 1), QTime(12, 0)); };

    regions->setCurrentIndex(-1);
    window->pumnuViewClick();
    EXPECT_TRUE(prompt.shown.isEmpty());

    regions->setCurrentIndex(0); // code 0: no summer time
    window->pumnuViewClick();
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Information);
    EXPECT_EQ(prompt.shown[0].text, TextTable::Text(11518));

    prompt.Clear();
    regions->setCurrentIndex(1); // Europe: last Sunday of March to last Sunday of October
    window->pumnuViewClick();
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Information);
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("Sista söndag i mars kl 02:00:00")))
        << prompt.shown[0].text.toStdString();
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("Sista söndag i oktober kl 03:00:00")));
}

} // namespace
