#include "DeviceWindowFixture.h"

#include "Demo.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>

namespace {

QByteArray Slice(const QByteArray &bytes, int first, int last)
{
    return bytes.mid(first, last - first + 1);
}

// ---- Read From Device ----

struct WindowReadCase
{
    const char *name;
    bool noQev;
    QList<SimFault> faults;
    int productType;
    bool wrongCrc;
    int doorClosedAlarmType;
    QList<int> numbers;
    bool taken;
};

void PrintTo(const WindowReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class WindowRead : public DeviceWindowFixture, public ::testing::WithParamInterface<WindowReadCase>
{
};

TEST_P(WindowRead, ShowsTheMessageAndKeepsOrTakesTheImage)
{
    const WindowReadCase &c = GetParam();
    QByteArray memory = UnitMemory();
    memory[Addr::InPassageDelay] = 45;
    memory[Addr::ProductType] = char(c.productType);
    memory[Addr::DoorClosedAlarmType] = char(c.doorClosedAlarmType);
    memory = Sealed(memory);
    if (c.wrongCrc)
        memory[Addr::Crc] = char(memory[Addr::Crc] + 1);
    if (c.noQev)
        NoQev();
    else
        StartUnit(memory, c.faults);
    Edit("edtInPassageDelay")->setText(QStringLiteral("99"));
    const QString titleBefore = window->windowTitle();

    window->mnuComReadFromDeviceClick();

    EXPECT_EQ(prompt.Numbers(), c.numbers);
    EXPECT_FALSE(window->DeviceLink().IsOpen());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Find<QProgressBar>("sbProgress")->isVisible());
    if (c.taken) {
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginReadFromUnit);
        EXPECT_EQ(Edit("edtInPassageDelay")->text(), QStringLiteral("45"));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(window->KelmData.EditedImage.data()), ImageSize), memory);
        EXPECT_TRUE(window->windowTitle().contains(TextTable::Text(11601))) << qPrintable(window->windowTitle());
    } else {
        // New ran first: the default is in the window.
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
        EXPECT_EQ(Edit("edtInPassageDelay")->text(), QStringLiteral("30"));
        EXPECT_EQ(window->windowTitle(), titleBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowRead,
    ::testing::Values(WindowReadCase{"NoQev", true, {}, 7, false, 5, {11409}, false},
                      WindowReadCase{"NoAnswerToPresence", false, {{SimFault::SilentPresence}}, 7, false, 5, {11408},
                                     false},
                      WindowReadCase{"FirstReadFails", false, {{SimFault::SilentBlock, 240}}, 7, false, 5, {11408}, false},
                      WindowReadCase{"WholeReadFails", false, {{SimFault::SilentBlock, 0}}, 7, false, 5, {11306}, false},
                      WindowReadCase{"ProductType6", false, {}, 6, false, 5, {11431}, false},
                      WindowReadCase{"WrongCrc", false, {}, 7, true, 5, {11434}, true},
                      WindowReadCase{"AlarmTypeNotInList", false, {}, 7, false, 20, {11418}, true},
                      WindowReadCase{"Success", false, {}, 7, false, 5, {11305}, true}),
    [](const ::testing::TestParamInfo<WindowReadCase> &info) { return std::string(info.param.name); });

class DeviceWindow : public DeviceWindowFixture
{
};

TEST_F(DeviceWindow, ReadNamesTheAlarmTypeFieldItsAddressAndCode)
{
    QByteArray memory = UnitMemory();
    memory[Addr::DoorClosedAlarmType] = 20;
    StartUnit(Sealed(memory));
    window->mnuComReadFromDeviceClick();
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].text,
              TextTable::Format(11418, {TextTable::Text(11102) + QStringLiteral(" : ") + TextTable::Text(11108),
                                        QStringLiteral("34"), QStringLiteral("20")}));
}

TEST_F(DeviceWindow, ReadStatusTexts)
{
    StartUnit(UnitMemory(), {{SimFault::SilentBlock, 0}});
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(window->StatusText(), TextTable::Text(11306));

    QByteArray memory = UnitMemory();
    memory[Addr::Crc] = char(memory[Addr::Crc] + 1);
    StartUnit(memory);
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(window->StatusText(), QString()) << "a CRC error empties the status bar";

    StartUnit(UnitMemory());
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(window->StatusText(), TextTable::Text(11305));
}

// ---- Write To Device ----

struct WindowWriteCase
{
    const char *name;
    bool noQev;
    QList<SimFault> faults;
    int major;
    int minor;
    int productType;
    bool schedule;
    QList<int> numbers;
    bool written;
};

void PrintTo(const WindowWriteCase &c, std::ostream *os)
{
    *os << c.name;
}

class WindowWrite : public DeviceWindowFixture, public ::testing::WithParamInterface<WindowWriteCase>
{
};

TEST_P(WindowWrite, ShowsTheMessageAndWritesOnlyWhenAllowed)
{
    const WindowWriteCase &c = GetParam();
    QByteArray memory = UnitMemory();
    memory[Addr::ProgramVersionMajor] = char(c.major);
    memory[Addr::ProgramVersionMinor] = char(c.minor);
    memory[Addr::ProductType] = char(c.productType);
    memory = Sealed(memory);
    if (c.noQev)
        NoQev();
    else
        StartUnit(memory, c.faults);
    Find<QCheckBox>("cbEnableTimeSchedule")->setChecked(c.schedule);
    Edit("edtInPassageDelay")->setText(QStringLiteral("77")); // in the block that starts at 46
    if (c.major == 1) {
        Edit("edtAutoResetTime")->setText(QStringLiteral("60"));
        Find<QCheckBox>("cbEnablePeekFunction")->setChecked(true);
    }
    // The clock of the unit last read.
    Edit("edtDate")->setText(QStringLiteral("2026-03-01"));
    Edit("edtTime")->setText(QStringLiteral("08:00:00"));
    prompt.Clear();

    window->mnuComWriteToDeviceClick();

    EXPECT_EQ(prompt.Numbers(), c.numbers);
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginWrittenToUnit);
    EXPECT_FALSE(window->DeviceLink().IsOpen());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    if (sim) {
        EXPECT_EQ(!Commands('W').isEmpty(), c.written);
        if (!c.written) {
            EXPECT_EQ(sim->Memory(), memory);
        }
    }
    const bool clockNote = c.numbers.contains(11405);
    EXPECT_EQ(Edit("edtDate")->text() == QStringLiteral("---"), clockNote);
    EXPECT_EQ(Edit("edtTime")->text() == QStringLiteral("---"), clockNote);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowWrite,
    ::testing::Values(
        WindowWriteCase{"NoQev", true, {}, 2, 8, 7, false, {11409}, false},
        WindowWriteCase{"NoAnswerToPresence", false, {{SimFault::SilentPresence}}, 2, 8, 7, false, {11408}, false},
        WindowWriteCase{"FirstReadFails", false, {{SimFault::SilentBlock, 0}}, 2, 8, 7, false, {11408}, false},
        WindowWriteCase{"ProductType6", false, {}, 2, 8, 6, false, {11431}, false},
        WindowWriteCase{"WriteRefused", false, {{SimFault::RefuseWrites}}, 2, 8, 7, false, {11407}, true},
        WindowWriteCase{"ReadBackDiffers", false, {{SimFault::ForgetWrites, 46}}, 2, 8, 7, false, {11406}, true},
        WindowWriteCase{"V518Schedule", false, {}, 2, 6, 7, true, {11504}, false},
        WindowWriteCase{"V518", false, {}, 2, 6, 7, false, {11404}, true},
        WindowWriteCase{"V519Schedule", false, {}, 2, 7, 7, true, {11405}, true},
        WindowWriteCase{"V520", false, {}, 2, 8, 7, false, {11404}, true},
        WindowWriteCase{"Version1Warnings", false, {}, 1, 5, 7, false, {11501, 11502, 11404}, true},
        WindowWriteCase{"Version1WarningsAndSchedule", false, {}, 1, 5, 7, true, {11501, 11502, 11504}, false}),
    [](const ::testing::TestParamInfo<WindowWriteCase> &info) { return std::string(info.param.name); });

TEST_F(DeviceWindow, AfterAWriteTheUnitHoldsTheWindowClockAndSummerTimeTables)
{
    const QByteArray before = UnitMemory();
    StartUnit(before);
    Edit("edtInPassageDelay")->setText(QStringLiteral("77"));
    Edit("edtOutPassageDelay")->setText(QStringLiteral("12"));
    auto *regions = Find<QComboBox>("cbbxDaylightSavingTimeRegion");
    regions->setCurrentIndex(1); // Europe: last Sunday of March to last Sunday of October

    window->mnuComWriteToDeviceClick();
    ASSERT_EQ(prompt.Numbers(), QList<int>({11404}));
    EXPECT_EQ(window->StatusText(), TextTable::Text(11403));

    const QByteArray after = sim->Memory();
    const ImageBuffer unit = Image(after);
    EXPECT_EQ(after[Addr::InPassageDelay], 77);
    EXPECT_EQ(after[Addr::OutPassageDelay], 12);
    EXPECT_EQ(Slice(after, 1, 13), Slice(before, 1, 13)) << "the unit's radio codes";
    EXPECT_EQ(Slice(after, Addr::FactoryAreaFirst, Addr::FactoryAreaLast),
              Slice(before, Addr::FactoryAreaFirst, Addr::FactoryAreaLast));
    EXPECT_TRUE(KelmData::CheckImageCrc(unit));

    // Clock stamp: the PC's time, three seconds ahead for the write.
    EXPECT_EQ(KelmData::UnitClock(unit), Now().addSecs(3));
    EXPECT_EQ(after[Addr::ClockSet], 1);

    EXPECT_EQ(after[Addr::DstFirstYear], 26);
    EXPECT_EQ(after[Addr::DstAdjustMinutes], 60);
    for (int i = 0; i < Addr::DstYearCount; ++i) {
        const int year = 2026 + i;
        QDate lastMarchSunday(year, 3, 31);
        while (lastMarchSunday.dayOfWeek() != Qt::Sunday)
            lastMarchSunday = lastMarchSunday.addDays(-1);
        QDate lastOctoberSunday(year, 10, 31);
        while (lastOctoberSunday.dayOfWeek() != Qt::Sunday)
            lastOctoberSunday = lastOctoberSunday.addDays(-1);
        EXPECT_EQ(KelmData::ReadWord(unit, Addr::DstStartDays + 2 * i), lastMarchSunday.dayOfYear() - 1) << year;
        EXPECT_EQ(KelmData::ReadWord(unit, Addr::DstStopDays + 2 * i), lastOctoberSunday.dayOfYear() - 1) << year;
    }

    // The unit as it was is kept in the data directory.
    QStringList backups;
    QDirIterator it(window->ProgramDataDirectory + QStringLiteral("Backups"), {QStringLiteral("KELM-100001-*.Kelm")});
    while (it.hasNext())
        backups.append(it.next());
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(TestSupport::ReadAll(backups[0]), before);
}

TEST_F(DeviceWindow, AFieldThatCannotBeStoredStopsTheWriteBeforeTheLinkOpens)
{
    StartUnit(UnitMemory());
    Edit("edtInPassageDelay")->setText(QStringLiteral("4x"));
    prompt.Clear();
    window->mnuComWriteToDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11419}));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginWrittenToUnit);
    EXPECT_TRUE(sim->Commands().isEmpty());
}

TEST_F(DeviceWindow, AWriteThenReadShowsWhatWasWritten)
{
    StartUnit(UnitMemory());
    Edit("edtInPassageDelay")->setText(QStringLiteral("88"));
    window->mnuComWriteToDeviceClick();
    window->mnuFileNewClick();
    ASSERT_EQ(Edit("edtInPassageDelay")->text(), QStringLiteral("30"));
    prompt.Clear();
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11305}));
    EXPECT_EQ(Edit("edtInPassageDelay")->text(), QStringLiteral("88"));
}

// ---- Running a command ----

TEST_F(DeviceWindow, ProgressAdvancesBlockByBlockAndTheWindowRepaintsMeanwhile)
{
    StartUnit(UnitMemory());
    int highest = 0;
    int ticks = 0;
    bool shownWhileRunning = false;
    QTimer sampler;
    sampler.setInterval(0);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        auto *bar = window->findChild<QProgressBar *>(QStringLiteral("sbProgress"));
        ++ticks;
        if (bar && bar->isVisible() && window->DeviceCommandRunning()) {
            shownWhileRunning = true;
            highest = std::max(highest, bar->value());
        }
    });
    sampler.start();
    window->mnuComReadFromDeviceClick();
    sampler.stop();
    EXPECT_TRUE(shownWhileRunning);
    EXPECT_GE(highest, 10) << "the bar follows the blocks";
    EXPECT_GT(ticks, 17);
    EXPECT_FALSE(Find<QProgressBar>("sbProgress")->isVisible());
    EXPECT_FALSE(window->DeviceCommandRunning());
}

TEST_F(DeviceWindow, ASilentUnitKeepsTheWindowAliveForNoLongerThanItsTimeout)
{
    StartUnit(UnitMemory(), {}, false);
    int ticksWhileWaiting = 0;
    QTimer sampler;
    sampler.setInterval(20);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (window->DeviceCommandRunning())
            ++ticksWhileWaiting;
    });
    sampler.start();
    QElapsedTimer elapsed;
    elapsed.start();
    window->mnuComReadFromDeviceClick();
    EXPECT_LT(elapsed.elapsed(), 1500);
    EXPECT_GE(ticksWhileWaiting, 5) << "the 350 ms presence wait let the event loop run";
    EXPECT_EQ(prompt.Numbers(), QList<int>({11408}));
}

TEST_F(DeviceWindow, NoDeviceCommandStartsWhileOneRuns)
{
    StartUnit(UnitMemory());
    qsizetype commandsWhenBoxShown = -1;
    prompt.onMessage = [&](int) {
        if (commandsWhenBoxShown >= 0)
            return;
        commandsWhenBoxShown = sim->Commands().size();
        EXPECT_TRUE(window->DeviceCommandRunning());
        window->mnuComReadFromDeviceClick();
        window->mnuComWriteToDeviceClick();
        window->mnuComChangeDeviceRadioCodesClick();
    };
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(sim->Commands().size(), commandsWhenBoxShown);
    EXPECT_EQ(prompt.Numbers(), QList<int>({11305}));
}

TEST_F(DeviceWindow, TheHourglassShowsWhileTheLinkIsOpenButNotOverAMessageBox)
{
    StartUnit(UnitMemory(), {{SimFault::SilentBlock, 0}});
    bool hourglassDuringTransfer = false;
    bool hourglassOverBox = true;
    QTimer sampler;
    sampler.setInterval(10);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (window->DeviceLink().IsOpen() && QApplication::overrideCursor()
            && QApplication::overrideCursor()->shape() == Qt::WaitCursor)
            hourglassDuringTransfer = true;
    });
    prompt.onMessage = [&](int) { hourglassOverBox = QApplication::overrideCursor() != nullptr; };
    sampler.start();
    window->mnuComReadFromDeviceClick();
    EXPECT_TRUE(hourglassDuringTransfer);
    EXPECT_FALSE(hourglassOverBox);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- Change Device Radio Codes ----

TEST_F(DeviceWindow, RadioCodesAbortWritesNothingAndSaysNothing)
{
    const QByteArray memory = UnitMemory();
    StartUnit(memory);
    bool linkOpenInDialog = false;
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        linkOpenInDialog = window->DeviceLink().IsOpen();
        EXPECT_EQ(d.OldCodes()[0], QStringLiteral("1A01"));
        d.btnAbortClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_TRUE(linkOpenInDialog);
    EXPECT_TRUE(prompt.Numbers().isEmpty());
    EXPECT_EQ(sim->Memory(), memory);
    EXPECT_FALSE(window->DeviceLink().IsOpen());
}

TEST_F(DeviceWindow, RadioCodesShortCodeKeepsTheDialogOpen)
{
    const QByteArray memory = UnitMemory();
    StartUnit(memory);
    bool stillOpen = false;
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        NewCode(3)->setText(QStringLiteral("12A"));
        d.btnWriteToDeviceClick();
        stillOpen = d.isVisible();
        d.btnAbortClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompt.Numbers(), QList<int>({11440}));
    EXPECT_EQ(sim->Memory(), memory);
}

TEST_F(DeviceWindow, RadioCodesFfffIsWarnedButStillWritten)
{
    StartUnit(UnitMemory());
    const QString titleBefore = window->windowTitle();
    const QString fieldBefore = Edit("edtInPassageDelay")->text();
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        NewCode(2)->setText(QStringLiteral("ffff"));
        NewCode(5)->setText(QStringLiteral("BEEF"));
        d.btnWriteToDeviceClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11429, 11404}));
    const QByteArray after = sim->Memory();
    EXPECT_EQ(Slice(after, 6, 7), QByteArray("\xFF\xFF", 2));
    EXPECT_EQ(Slice(after, 12, 13), QByteArray("\xBE\xEF", 2));
    EXPECT_EQ(Slice(after, 4, 5), QByteArray("\x1A\x01", 2));
    EXPECT_TRUE(KelmData::CheckImageCrc(Image(after)));
    EXPECT_EQ(window->StatusText(), TextTable::Text(11403));
    // The window's configuration is not touched.
    EXPECT_EQ(window->windowTitle(), titleBefore);
    EXPECT_EQ(Edit("edtInPassageDelay")->text(), fieldBefore);
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
}

TEST_F(DeviceWindow, RadioCodesOfAUnitHoldingFfffAreWarnedBeforeTheDialogShows)
{
    QByteArray memory = UnitMemory();
    memory[8] = char(0xFF);
    memory[9] = char(0xFF);
    StartUnit(Sealed(memory));
    QList<int> numbersWhenShown;
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        numbersWhenShown = prompt.Numbers();
        d.btnAbortClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_EQ(numbersWhenShown, QList<int>({11429}));
}

TEST_F(DeviceWindow, RadioCodesWithoutAQevReportAFailedRead)
{
    NoQev();
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11306}));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DeviceWindow, AfterChangingCodesAReadShowsTheNewCodes)
{
    StartUnit(UnitMemory());
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        NewCode(1)->setText(QStringLiteral("C0DE"));
        d.btnWriteToDeviceClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    prompt.Clear();
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11305}));
    EXPECT_EQ(window->KelmData.EditedImage[4], 0xC0);
    EXPECT_EQ(window->KelmData.EditedImage[5], 0xDE);
}

} // namespace

namespace {

// ---- --demo ----

TEST_F(DeviceWindow, TheDemoUnitCanBeReadWrittenAndGivenNewCodes)
{
    const QString before = KelmLink::DefaultPortName();
    DemoUnit demo;
    ASSERT_TRUE(demo.Start(Path("program/")));
    EXPECT_EQ(KelmLink::DefaultPortName(), demo.DevicePath()) << "every link of the process goes to the demo unit";
    window->DeviceLink().SetPortName(QString());
    window->ShowSimulatedUnit(demo.DevicePath());
    EXPECT_TRUE(Find<QLabel>("sbSimulatedUnit")->text().contains(demo.DevicePath()));

    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11305}));
    EXPECT_EQ(Find<QLineEdit>("edtSerialNumber")->text(), QStringLiteral("100001"));
    EXPECT_EQ(Find<QLineEdit>("edtProgramVersion")->text(), QStringLiteral("02.08-01"));

    prompt.Clear();
    Edit("edtInPassageDelay")->setText(QStringLiteral("55"));
    window->mnuComWriteToDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11404}));

    prompt.Clear();
    WhenDialogShows([&](TfrmWriteRadioCodes &d) {
        EXPECT_EQ(d.OldCodes()[0], QStringLiteral("1A01"));
        NewCode(1)->setText(QStringLiteral("2B01"));
        d.btnWriteToDeviceClick();
    });
    window->mnuComChangeDeviceRadioCodesClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11404}));

    prompt.Clear();
    window->mnuComReadFromDeviceClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>({11305}));
    EXPECT_EQ(Edit("edtInPassageDelay")->text(), QStringLiteral("55"));
    EXPECT_EQ(window->KelmData.EditedImage[4], 0x2B);
    KelmLink::SetDefaultPortName(before);
}

TEST(DemoUnitMemory, IsAFactoryUnitWithAValidCrcBuiltFromTheShippedDefault)
{
    const QByteArray memory = DemoUnit::InitialMemory(TestSupport::BinPath(QString()));
    ImageBuffer image{};
    std::copy(memory.begin(), memory.end(), image.begin());
    EXPECT_TRUE(KelmData::CheckImageCrc(image));
    EXPECT_EQ(KelmData::ProgramVersionNumber(image), VersionEquipmentType);
    EXPECT_TRUE(KelmData::HasKelmProductType(image));
    EXPECT_TRUE(KelmData::ProductionDate(image).isValid());
    EXPECT_NE(KelmData::SerialNumber(image), 0u);
    for (int a = Addr::DoorClosedRadioCode; a <= Addr::TechnicalRadioCode; a += 2)
        EXPECT_FALSE(KelmData::RadioCodeToText(image[a], image[a + 1]).isEmpty()) << a;
    // Everything but the factory area, the codes and the CRC is the shipped default.
    const QByteArray shipped = TestSupport::ReadAll(TestSupport::BinPath(QStringLiteral("Default.b")));
    EXPECT_EQ(memory.mid(14, 210), shipped.mid(14, 210));
}

} // namespace
