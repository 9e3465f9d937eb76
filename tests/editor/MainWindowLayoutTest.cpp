#include "ScriptedPrompt.h"
#include "TextTable.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

namespace {

enum class Kind { Edit, Check, List };

struct ControlCase
{
    const char *name;
    const char *group;
    Kind kind;
    QRect design; // left, top, width, height inside the group box
    int maxLength; // edit fields; 0 for no limit of the layout's own
    bool enabled;
    bool readOnly;
};

// The entry controls in tab order, group by group.
const ControlCase Controls[] = {
    {"cbDoorClosedSendAlarm", "gbxInputs", Kind::Check, {232, 40, 25, 25}, 0, true, false},
    {"edtDoorClosedRadioCode", "gbxInputs", Kind::Edit, {320, 48, 57, 21}, 4, false, false},
    {"cbbxDoorClosedAlarmType", "gbxInputs", Kind::List, {424, 48, 209, 21}, 0, true, false},
    {"cbDoorOpenedSendAlarm", "gbxInputs", Kind::Check, {232, 72, 25, 25}, 0, true, false},
    {"edtDoorOpenedRadioCode", "gbxInputs", Kind::Edit, {320, 80, 57, 21}, 4, false, false},
    {"cbbxDoorOpenedAlarmType", "gbxInputs", Kind::List, {424, 80, 209, 21}, 0, true, false},
    {"cbInputClosedSendAlarm", "gbxInputs", Kind::Check, {232, 128, 25, 25}, 0, true, false},
    {"edtInputClosedRadioCode", "gbxInputs", Kind::Edit, {320, 136, 57, 21}, 4, false, false},
    {"cbbxInputClosedAlarmType", "gbxInputs", Kind::List, {424, 136, 209, 21}, 0, true, false},
    {"cbInputOpenedSendAlarm", "gbxInputs", Kind::Check, {232, 160, 25, 25}, 0, true, false},
    {"edtInputOpenedRadioCode", "gbxInputs", Kind::Edit, {320, 168, 57, 21}, 4, false, false},
    {"cbbxInputOpenedAlarmType", "gbxInputs", Kind::List, {424, 168, 209, 21}, 0, true, false},
    {"edtInPassageDelay", "gbxAlarmDelay", Kind::Edit, {224, 24, 57, 21}, 3, true, false},
    {"edtOutPassageDelay", "gbxAlarmDelay", Kind::Edit, {224, 56, 57, 21}, 3, true, false},
    {"edtAutoResetTime", "gbxAlarmDelay", Kind::Edit, {224, 88, 57, 21}, 4, true, false},
    {"edtTechnicalRadioCode", "gbxTechnicalAlarms", Kind::Edit, {224, 24, 57, 21}, 4, false, false},
    {"edtRadioTestAlarmPeriod", "gbxTechnicalAlarms", Kind::Edit, {224, 56, 57, 21}, 3, true, false},
    {"edtBatteryAlarmPeriod", "gbxTechnicalAlarms", Kind::Edit, {224, 88, 57, 21}, 3, true, false},
    {"edtBatteryLowLimit", "gbxTechnicalAlarms", Kind::Edit, {224, 120, 57, 21}, 3, true, false},
    {"cbEnableTimeSchedule", "gbxTimeSchedule", Kind::Check, {232, 24, 25, 25}, 0, true, false},
    {"edtActivationHour", "gbxTimeSchedule", Kind::Edit, {232, 56, 33, 21}, 2, false, false},
    {"edtActivationMinute", "gbxTimeSchedule", Kind::Edit, {288, 56, 33, 21}, 2, false, false},
    {"edtInactivationHour", "gbxTimeSchedule", Kind::Edit, {232, 88, 33, 21}, 2, false, false},
    {"edtInactivationMinute", "gbxTimeSchedule", Kind::Edit, {288, 88, 33, 21}, 2, false, false},
    {"edtDate", "gbxTimeSchedule", Kind::Edit, {232, 216, 89, 21}, 0, false, false},
    {"edtTime", "gbxTimeSchedule", Kind::Edit, {232, 248, 89, 21}, 0, false, false},
    {"cbbxDaylightSavingTimeRegion", "gbxTimeSchedule", Kind::List, {16, 152, 305, 21}, 0, false, false},
    {"edtNumberOfShortTransmissions", "gbxRadioParameters", Kind::Edit, {216, 24, 65, 21}, 3, true, false},
    {"edtNumberOfLongTransmissions", "gbxRadioParameters", Kind::Edit, {216, 56, 65, 21}, 3, true, false},
    {"edtEquipmentType", "gbxRadioParameters", Kind::Edit, {216, 88, 65, 21}, 3, true, false},
    {"cbIgnorePowerSwitch", "gbxMiscellaneous", Kind::Check, {184, 24, 25, 25}, 0, true, false},
    {"cbEnablePeekFunction", "gbxPeekFunction", Kind::Check, {184, 24, 25, 25}, 0, true, false},
    {"cbbxDoorMatSensorType", "gbxPeekFunction", Kind::List, {184, 56, 113, 21}, 0, false, false},
    {"edtMaxTimeOutsideDoor", "gbxPeekFunction", Kind::Edit, {184, 88, 57, 21}, 4, false, false},
    {"edtProgramVersion", "gbxProductInformation", Kind::Edit, {184, 24, 105, 21}, 0, false, true},
    {"edtSerialNumber", "gbxProductInformation", Kind::Edit, {184, 56, 105, 21}, 0, false, true},
    {"edtProductionDate", "gbxProductInformation", Kind::Edit, {184, 88, 105, 21}, 0, false, true},
    {"edtRadioCalibration", "gbxProductInformation", Kind::Edit, {184, 120, 105, 21}, 0, false, true},
};

struct GroupCase
{
    const char *name;
    QRect design; // inside pnlMain
    int text;
};

// In tab order.
const GroupCase Groups[] = {
    {"gbxInputs", {8, 8, 658, 209}, 11101},
    {"gbxAlarmDelay", {8, 224, 305, 129}, 11121},
    {"gbxTechnicalAlarms", {8, 360, 305, 161}, 11161},
    {"gbxTimeSchedule", {320, 224, 345, 297}, 11211},
    {"gbxRadioParameters", {672, 8, 313, 129}, 11201},
    {"gbxMiscellaneous", {672, 144, 313, 73}, 11181},
    {"gbxPeekFunction", {672, 224, 313, 129}, 11141},
    {"gbxProductInformation", {672, 360, 313, 161}, 11221},
};

struct LabelCase
{
    const char *name;
    const char *group;
    QPoint design;
    int text; // 0: the layout's own text
};

const LabelCase Labels[] = {
    {"lblSendAlarm", "gbxInputs", {232, 24}, 11106},
    {"lblInputsRadioCode", "gbxInputs", {320, 24}, 11107},
    {"lblAlarmType", "gbxInputs", {424, 24}, 11108},
    {"lblAlarmWhenDoorClosed", "gbxInputs", {16, 48}, 11102},
    {"lblAlarmWhenDoorOpened", "gbxInputs", {16, 80}, 11103},
    {"lblAlarmWhenInputClosed", "gbxInputs", {16, 136}, 11104},
    {"lblAlarmWhenInputOpened", "gbxInputs", {16, 168}, 11105},
    {"lblInPassageDelay", "gbxAlarmDelay", {16, 32}, 11122},
    {"lblOutPassageDelay", "gbxAlarmDelay", {16, 64}, 11123},
    {"lblAutoResetTime", "gbxAlarmDelay", {16, 96}, 11124},
    {"lblTechnicalRadioCode", "gbxTechnicalAlarms", {16, 32}, 11107},
    {"lblRadioTestAlarmPeriod", "gbxTechnicalAlarms", {16, 64}, 11162},
    {"lblBatteryAlarmPeriod", "gbxTechnicalAlarms", {16, 96}, 11163},
    {"lblBatteryLowLimit", "gbxTechnicalAlarms", {16, 128}, 11164},
    {"lblEnableTimeSchedule", "gbxTimeSchedule", {16, 32}, 11212},
    {"lblActivationTime", "gbxTimeSchedule", {16, 64}, 11213},
    {"lblColon1", "gbxTimeSchedule", {272, 56}, 0},
    {"lblInactivationTime", "gbxTimeSchedule", {16, 96}, 11214},
    {"lblColon2", "gbxTimeSchedule", {272, 88}, 0},
    {"lblDaylightSavingTimeRegion", "gbxTimeSchedule", {16, 128}, 11215},
    {"lblMostRecentDateTime", "gbxTimeSchedule", {16, 192}, 11216},
    {"lblDate", "gbxTimeSchedule", {16, 224}, 11217},
    {"lblTime", "gbxTimeSchedule", {16, 256}, 11218},
    {"lblNumberOfShortTransmissions", "gbxRadioParameters", {16, 32}, 11202},
    {"lblNumberOfLongTransmissions", "gbxRadioParameters", {16, 64}, 11203},
    {"lblEquipmentType", "gbxRadioParameters", {16, 96}, 11204},
    {"lblIgnorePowerSwitch", "gbxMiscellaneous", {16, 32}, 11182},
    {"lblEnablePeekFunction", "gbxPeekFunction", {16, 32}, 11142},
    {"lblDoorMatSensorType", "gbxPeekFunction", {16, 64}, 11143},
    {"lblMaxTimeOutsideDoor", "gbxPeekFunction", {16, 96}, 11144},
    {"lblProgramVersion", "gbxProductInformation", {16, 32}, 11222},
    {"lblSerialNumber", "gbxProductInformation", {16, 64}, 11223},
    {"lblProductionDate", "gbxProductInformation", {16, 96}, 11224},
    {"lblRadioCalibration", "gbxProductInformation", {16, 128}, 11225},
};

class MainWindowLayout : public ::testing::Test
{
protected:
    ScriptedPrompt prompt;
    TfrmMain window;

    void SetUp() override { window.SetPrompt(&prompt); }

    template <typename T> T *Find(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }
};

TEST_F(MainWindowLayout, EveryEntryControlHasItsKindPlaceLimitAndState)
{
    for (const ControlCase &c : Controls) {
        SCOPED_TRACE(c.name);
        QWidget *control = Find<QWidget>(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(c.group));
        EXPECT_EQ(control->geometry(), TfrmMain::Scaled(c.design));
        EXPECT_EQ(control->isEnabled(), c.enabled);
        switch (c.kind) {
        case Kind::Edit: {
            auto *edit = qobject_cast<QLineEdit *>(control);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->maxLength(), c.maxLength ? c.maxLength : 32767);
            EXPECT_EQ(edit->isReadOnly(), c.readOnly);
            break;
        }
        case Kind::Check: {
            auto *box = qobject_cast<QCheckBox *>(control);
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->text().isEmpty());
            EXPECT_FALSE(box->isChecked());
            break;
        }
        case Kind::List: {
            auto *list = qobject_cast<QComboBox *>(control);
            ASSERT_NE(list, nullptr);
            EXPECT_FALSE(list->isEditable());
            break;
        }
        }
    }
}

TEST_F(MainWindowLayout, GroupBoxesPanelsAndLabelsSitWhereTheLayoutPutsThem)
{
    auto *panel = Find<QFrame>("pnlMain");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), TfrmMain::Scaled(QRect(8, 8, 993, 529)));
    for (const GroupCase &g : Groups) {
        SCOPED_TRACE(g.name);
        auto *group = Find<QGroupBox>(g.name);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->parentWidget(), panel);
        EXPECT_EQ(group->geometry(), TfrmMain::Scaled(g.design));
    }
    for (const LabelCase &l : Labels) {
        SCOPED_TRACE(l.name);
        auto *label = Find<QLabel>(l.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget()->objectName(), QLatin1String(l.group));
        EXPECT_EQ(label->pos(), QPoint(TfrmMain::Scaled(l.design.x()), TfrmMain::Scaled(l.design.y())));
    }
    auto *rule = Find<QFrame>("pnlInputsDelimiter");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->parentWidget()->objectName(), QLatin1String("gbxInputs"));
    EXPECT_EQ(rule->geometry(), TfrmMain::Scaled(QRect(16, 112, 617, 3)));
    EXPECT_EQ(rule->frameShape(), QFrame::HLine);
}

TEST_F(MainWindowLayout, WindowHasAFixedSizeWithoutMaximiseAndAOneTextStatusBar)
{
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    const int menuHeight = window.menuBar()->height();
    // The client area below the menu bar, with the status bar along its bottom edge.
    EXPECT_EQ(window.size(), QSize(TfrmMain::Scaled(1009), menuHeight + TfrmMain::Scaled(564)));
    auto *status = Find<QStatusBar>("sbStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(),
              QRect(0, menuHeight + TfrmMain::Scaled(545), TfrmMain::Scaled(1009),
                    TfrmMain::Scaled(564) - TfrmMain::Scaled(545)));

    // Hovering a menu item clears a status bar's passing message; the text must stay.
    window.SetStatusText(QStringLiteral("Standard konfigurationsfil öppnad"));
    QStatusTipEvent tip{QString()};
    QCoreApplication::sendEvent(status, &tip);
    EXPECT_EQ(window.StatusText(), QStringLiteral("Standard konfigurationsfil öppnad"));
    EXPECT_TRUE(status->findChild<QLabel *>(QStringLiteral("sbStatusText"))->isVisible());
}

TEST_F(MainWindowLayout, ShowingCentresTheWindowOnTheScreenAndSetsTheApplicationTitle)
{
    const QRect screen = window.screen()->geometry();
    for (const QPoint &stored : {QPoint(3, 5), QPoint(40, 40)}) {
        window.hide();
        window.move(stored);
        window.show();
        // Where the window put itself; the platform may still nudge it later.
        const QSize size = window.frameGeometry().size();
        // The offscreen screen is narrower than the window: the half is
        // negative and is rounded toward zero.
        EXPECT_EQ(window.pos(), QPoint(screen.left() + (screen.width() - size.width()) / 2,
                                       screen.top() + (screen.height() - size.height()) / 2));
    }
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), TextTable::Text(10001));
}

TEST_F(MainWindowLayout, TabMovesThroughTheGroupsAndTheirFieldsInLayoutOrder)
{
    // The focus chain holds every entry control, enabled or not, in layout order.
    QWidget *first = Find<QWidget>(Controls[0].name);
    QStringList chain;
    QWidget *w = first;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    QStringList expected;
    for (const ControlCase &c : Controls)
        expected << QLatin1String(c.name);
    EXPECT_EQ(chain.mid(0, expected.size()), expected);

    // Tab skips the disabled ones and comes back round to the first.
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList enabledOnes;
    for (const ControlCase &c : Controls)
        if (c.enabled)
            enabledOnes << QLatin1String(c.name);
    enabledOnes << enabledOnes.first();
    EXPECT_EQ(visited.mid(0, enabledOnes.size()), enabledOnes);
}

TEST_F(MainWindowLayout, ProductInformationNeverTakesInput)
{
    window.show();
    for (const char *name : {"edtProgramVersion", "edtSerialNumber", "edtProductionDate", "edtRadioCalibration"}) {
        SCOPED_TRACE(name);
        auto *edit = Find<QLineEdit>(name);
        edit->setText(QStringLiteral("02.07-03"));
        QTest::keyClicks(edit, QStringLiteral("9"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), QStringLiteral("02.07-03"));
    }
}

TEST_F(MainWindowLayout, NoLabelIsClippedOrRunsIntoTheControlBesideIt)
{
    constexpr int gap = 4; // clear space between a label's text and the next control
    window.show();
    window.grab(); // lays out and polishes everything as on screen

    EXPECT_EQ(QFontInfo(window.font()).family(), QStringLiteral("DejaVu Sans"));
    for (QLabel *label : window.findChildren<QLabel *>()) {
        QWidget *parent = label->parentWidget();
        if (!qobject_cast<QGroupBox *>(parent))
            continue;
        SCOPED_TRACE(label->objectName().toStdString() + " \"" + label->text().toStdString() + "\"");
        const QFontMetrics metrics(label->font());
        const int textWidth = metrics.horizontalAdvance(label->text());
        EXPECT_GE(label->width(), textWidth);
        EXPECT_GE(label->height(), metrics.height());

        // The room ends at the nearest control to the right on the same line,
        // or at the group box's inner edge.
        const QRect text(label->pos(), QSize(textWidth, metrics.height()));
        int limit = parent->contentsRect().right() + 1;
        for (QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (other == label)
                continue;
            const QRect g = other->geometry();
            const bool sameLine = g.top() < text.bottom() && g.bottom() > text.top();
            if (sameLine && g.left() >= text.left())
                limit = std::min(limit, g.left());
        }
        EXPECT_LE(text.right() + 1 + gap, limit) << "room " << limit - text.left() << ", text " << textWidth;
    }
    for (QGroupBox *group : window.findChildren<QGroupBox *>()) {
        SCOPED_TRACE(group->objectName().toStdString());
        EXPECT_LT(QFontMetrics(group->font()).horizontalAdvance(group->title()), group->width() - 16);
    }
}

} // namespace
