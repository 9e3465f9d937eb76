#include "CodeList.h"
#include "ConfigImage.h"
#include "DstRule.h"
#include "Fields.h"
#include "KelmData.h"
#include "KelmIni.h"
#include "TestSupport.h"
#include "ValuesTestSupport.h"

#include <gtest/gtest.h>

#include <QDate>

namespace {

class ShippedDataTest : public ::testing::Test
{
protected:
    ShippedDataTest()
    {
        ini.SetPath(TestSupport::SourcePath("src/resources/Values.i"));
        const QByteArray bytes = TestSupport::ReadAll(TestSupport::SourcePath("src/resources/Default.b"));
        size = bytes.size();
        std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), ImageSize), image.begin());
    }

    int fill(const char *section, CodeList &codes)
    {
        RecordingList list;
        return ini.FillList(list, section, codes);
    }

    KelmIni ini;
    ImageBuffer image{};
    qsizetype size = 0;
};

TEST_F(ShippedDataTest, ValuesHasItsListsWithinTheirLimits)
{
    CodeList alarms(ListLimit::AlarmType), sensors(ListLimit::DoorMatSensorType),
        regions(ListLimit::DaylightSaving);
    EXPECT_GT(fill("AlarmType", alarms), 3);
    EXPECT_GT(fill("DoorMatSensorType", sensors), 1);
    EXPECT_GE(fill("DaylightSaving", regions), 3);
    EXPECT_TRUE(ini.SectionExists("Setup"));
    EXPECT_EQ(ini.ReadSetting("Setup", "ConfigDirectory", "<unset>"), "");
    EXPECT_EQ(ini.ReadSetting("AlarmType", "1"), QString::fromUtf8("Överfall"));
    for (const CodeList *codes : {&alarms, &sensors, &regions}) {
        for (int row = 0; row < codes->Count(); ++row)
            EXPECT_LE(codes->CodeOfRow(row), 255);
    }
}

TEST_F(ShippedDataTest, EveryRegionButNoSummerTimeHasAUsableRule)
{
    CodeList regions(ListLimit::DaylightSaving);
    fill("DaylightSaving", regions);
    EXPECT_EQ(regions.CodeOfRow(0), 0);
    DstRule rule;
    EXPECT_FALSE(ReadDstRule(ini, 0, rule));
    for (int row = 1; row < regions.Count(); ++row)
        EXPECT_TRUE(ReadDstRule(ini, regions.CodeOfRow(row), rule)) << row;
    const int europe = regions.RowOfCode(1);
    ASSERT_GE(europe, 0);
    ASSERT_TRUE(ReadDstRule(ini, 1, rule));
    EXPECT_EQ(rule, (DstRule{5, 1, 3, 2, 0, 5, 1, 10, 3, 0, 60}));
    ASSERT_TRUE(ReadDstRule(ini, 2, rule));
    EXPECT_EQ(rule, (DstRule{2, 1, 3, 2, 0, 1, 1, 11, 2, 0, 60}));
}

TEST_F(ShippedDataTest, DefaultImageIsAValidKelmConfiguration)
{
    ASSERT_EQ(size, ImageSize);
    EXPECT_TRUE(KelmData::HasKelmProductType(image));
    EXPECT_TRUE(KelmData::CheckImageCrc(image));
    EXPECT_EQ(image[Addr::Crc], KelmData::ImageCrc(image));
    EXPECT_EQ(KelmData::ProgramVersionNumber(image), 2 * 256 + 8);
    EXPECT_GT(KelmData::SerialNumber(image), 0u);
    const QDate produced = KelmData::ProductionDate(image);
    EXPECT_TRUE(produced.isValid());
    EXPECT_GE(produced.year(), 2000);
}

TEST_F(ShippedDataTest, DefaultImageFieldsAreInRangeAndItsCodesAreListed)
{
    CodeList alarms(ListLimit::AlarmType), sensors(ListLimit::DoorMatSensorType),
        regions(ListLimit::DaylightSaving);
    fill("AlarmType", alarms);
    fill("DoorMatSensorType", sensors);
    fill("DaylightSaving", regions);
    for (const FieldInfo &field : Fields::All()) {
        const int a = field.address;
        switch (field.encoding) {
        case FieldEncoding::Flag:
            EXPECT_LE(image[a], 1) << field.name;
            break;
        case FieldEncoding::ListCode: {
            const CodeList &codes = field.list == ValueList::AlarmTypes ? alarms
                : field.list == ValueList::DoorMatSensorTypes           ? sensors
                                                                        : regions;
            EXPECT_GE(codes.RowOfCode(image[a]), 0) << field.name;
            break;
        }
        case FieldEncoding::Byte:
        case FieldEncoding::Tenths:
        case FieldEncoding::ScheduleTime:
            EXPECT_LE(image[a], field.limit) << field.name;
            break;
        case FieldEncoding::Word:
            EXPECT_LE(KelmData::ReadWord(image, a), field.limit) << field.name;
            break;
        default:
            break;
        }
    }
}

} // namespace
