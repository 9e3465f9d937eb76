#include "DialogTestSupport.h"
#include "KelmData.h"
#include "RadioCodes.h"
#include "ScriptedPrompt.h"
#include "TextTable.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Types the text key by key; characters the test library has no key for are
// sent as the text of an unnamed key, as a keyboard layout would.
void Type(QLineEdit *edit, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(edit, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

using Codes = TfrmWriteRadioCodes::Codes;

class RadioCodesDialog : public ::testing::Test
{
protected:
    RadioCodesDialog() { dialog.SetPrompt(&prompt); }

    QLineEdit *NewEdit(int n) { return dialog.findChild<QLineEdit *>(QStringLiteral("edtRadio%1New").arg(n)); }
    QLineEdit *OldEdit(int n) { return dialog.findChild<QLineEdit *>(QStringLiteral("edtRadio%1Old").arg(n)); }
    QPushButton *Button(const char *name) { return dialog.findChild<QPushButton *>(QLatin1String(name)); }

    // Shows the dialog and gives the first new-code field the keyboard.
    QLineEdit *FocusedField(int n = 1)
    {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QLineEdit *edit = NewEdit(n);
        edit->setFocus();
        edit->clear();
        prompt.Clear();
        return edit;
    }

    ScriptedPrompt prompt;
    TfrmWriteRadioCodes dialog;
};

TEST_F(RadioCodesDialog, FormHasTheLayoutTabOrderAndTexts)
{
    EXPECT_EQ(dialog.size(), QSize(482, 273));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    ExpectLayout(dialog, {
        {"gbxWriteRadioCodes", {8, 8, 465, 225}},
        {"lblOldRadioCode", {216, 24, 0, 0}},
        {"lblNewRadioCode", {344, 24, 0, 0}},
        {"lblRadioCodeDoorClosed", {16, 56, 0, 0}},
        {"lblRadioCodeDoorOpened", {16, 88, 0, 0}},
        {"lblRadioCodeInputClosed", {16, 120, 0, 0}},
        {"lblRadioCodeInputOpened", {16, 152, 0, 0}},
        {"lblRadioCodeTechnicalAlarms", {16, 184, 0, 0}},
        {"edtRadio1Old", {216, 48, 65, 21}},
        {"edtRadio5Old", {216, 176, 65, 21}},
        {"edtRadio1New", {344, 48, 65, 21}},
        {"edtRadio2New", {344, 80, 65, 21}},
        {"edtRadio3New", {344, 112, 65, 21}},
        {"edtRadio4New", {344, 144, 65, 21}},
        {"edtRadio5New", {344, 176, 65, 21}},
        {"btnWriteToDevice", {312, 240, 161, 26}},
        {"btnAbort", {216, 240, 91, 26}},
    });
    for (int n = 1; n <= 5; ++n) {
        EXPECT_FALSE(OldEdit(n)->isEnabled()) << n;
        EXPECT_TRUE(NewEdit(n)->isEnabled()) << n;
        EXPECT_EQ(NewEdit(n)->maxLength(), 4) << n;
    }
    EXPECT_EQ(TabOrder(NewEdit(1), 7), QStringList({"edtRadio1New", "edtRadio2New", "edtRadio3New", "edtRadio4New",
                                                     "edtRadio5New", "btnWriteToDevice", "btnAbort"}));

    const std::vector<std::pair<const char *, int>> texts = {
        {"lblOldRadioCode", 11274},         {"lblNewRadioCode", 11275},
        {"lblRadioCodeDoorClosed", 11102},  {"lblRadioCodeDoorOpened", 11103},
        {"lblRadioCodeInputClosed", 11104}, {"lblRadioCodeInputOpened", 11105},
        {"lblRadioCodeTechnicalAlarms", 11273},
    };
    for (const auto &[name, number] : texts) {
        ASSERT_TRUE(TextTable::Has(number)) << number;
        EXPECT_EQ(dialog.findChild<QLabel *>(QLatin1String(name))->text(), TextTable::Text(number)) << name;
    }
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ändra enhetens radiokoder"));
    EXPECT_EQ(Button("btnWriteToDevice")->text(), QStringLiteral("Skriv till enhet"));
    EXPECT_EQ(Button("btnAbort")->text(), QStringLiteral("Avbryt"));
}

TEST_F(RadioCodesDialog, OnlyHexDigitsReachTheField)
{
    struct Case
    {
        const char *typed;
        const char *shown;
    };
    const Case cases[] = {
        {"12ab", "12ab"},   {"09AF", "09AF"}, {"g1h2", "12"}, {"x y-Z+.,", ""},
        {"AbCdE", "AbCd"}, {"12 34", "1234"}, {"åäö1", "1"},
    };
    QLineEdit *edit = FocusedField();
    for (const Case &c : cases) {
        edit->clear();
        Type(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

TEST_F(RadioCodesDialog, EditingAndClipboardKeysPassOtherControlKeysDoNot)
{
    QLineEdit *edit = FocusedField();
    QTest::keyClicks(edit, "1234");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "123");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClicks(edit, "F");
    EXPECT_EQ(edit->text(), "2F3");

    // Ctrl+A types a control character that is refused: nothing gets selected,
    // so the next digit is added instead of replacing the text.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "4");
    EXPECT_EQ(edit->text(), "2F34");

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "2F34");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    QLineEdit *second = NewEdit(2);
    second->clear();
    QTest::keyClick(second, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(second->text(), "2F34");

    // Tab still moves on to the next field.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), second);
}

TEST_F(RadioCodesDialog, ZeroOrAllOnesCodeIsReportedWhileTyping)
{
    struct Case
    {
        const char *typed;
        int reports;
    };
    const Case cases[] = {
        {"0000", 1}, {"ffff", 1}, {"FFFF", 1}, {"fFfF", 1}, {"00000", 1},
        {"0001", 0}, {"FFFE", 0}, {"000", 0},  {"00", 0},
    };
    QLineEdit *edit = FocusedField(3);
    for (const Case &c : cases) {
        edit->clear();
        prompt.Clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(prompt.Numbers(), QList<int>(c.reports, 11429)) << c.typed;
        if (c.reports) {
            EXPECT_EQ(prompt.shown.front().kind, UserPrompt::Kind::Error);
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed).left(4)) << "the text stays as typed";
        }
    }
}

TEST_F(RadioCodesDialog, UnitCodeOfAllOnesIsReportedWhileTheFieldsAreFilled)
{
    dialog.SetOldCodes({"1A2B", "FFFF", "", "0012", "FFFF"});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompt.Numbers(), QList<int>({11429, 11429}));
    EXPECT_EQ(dialog.OldCodes(), Codes({"1A2B", "FFFF", "", "0012", "FFFF"}));
    EXPECT_EQ(dialog.NewCodes(), dialog.OldCodes());
}

TEST_F(RadioCodesDialog, WritingNeedsFourCharactersInEveryField)
{
    const Codes full = {"1111", "2222", "3333", "4444", "5555"};
    struct Case
    {
        int field;       // 0 for none
        const char *text; // the text of that field
    };
    const Case cases[] = {{0, ""}, {1, "111"}, {3, "3"}, {5, ""}, {2, ""}};
    for (const Case &c : cases) {
        Codes codes = full;
        if (c.field)
            codes[c.field - 1] = QString::fromLatin1(c.text);
        dialog.SetOldCodes(codes);
        dialog.setResult(0);
        dialog.show();
        prompt.Clear();
        Button("btnWriteToDevice")->click();
        if (c.field == 0) {
            EXPECT_TRUE(prompt.Numbers().isEmpty());
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), TfrmWriteRadioCodes::mrOk);
        } else {
            EXPECT_EQ(prompt.Numbers(), QList<int>({11440})) << c.field;
            EXPECT_TRUE(dialog.isVisible()) << c.field;
            EXPECT_EQ(dialog.result(), 0) << c.field;
        }
    }
}

TEST_F(RadioCodesDialog, UnitWithoutCodesCannotBeWrittenAtOnce)
{
    std::array<QString, 5> newCodes;
    WhenShown(dialog, [&] {
        Button("btnWriteToDevice")->click();
        EXPECT_EQ(prompt.Numbers(), QList<int>({11440}));
        EXPECT_TRUE(dialog.isVisible());
        Button("btnAbort")->click();
    });
    EXPECT_FALSE(dialog.Ask({"", "", "", "", ""}, newCodes));
    EXPECT_EQ(dialog.result(), TfrmWriteRadioCodes::mrAbort);
}

TEST_F(RadioCodesDialog, AbortAndCloseBoxGiveNoCodes)
{
    struct Case
    {
        const char *how;
        int result;
    };
    const Case cases[] = {{"abort", TfrmWriteRadioCodes::mrAbort}, {"close", TfrmWriteRadioCodes::mrCancel}};
    for (const Case &c : cases) {
        Codes newCodes = {"keep", "keep", "keep", "keep", "keep"};
        WhenShown(dialog, [&] {
            QTest::keyClicks(NewEdit(1), "9");
            if (QByteArray(c.how) == "abort")
                Button("btnAbort")->click();
            else
                dialog.close();
        });
        EXPECT_FALSE(dialog.Ask({"1111", "2222", "3333", "4444", "5555"}, newCodes)) << c.how;
        EXPECT_EQ(dialog.result(), c.result) << c.how;
        EXPECT_EQ(newCodes[0], "keep") << c.how;
        EXPECT_TRUE(prompt.Numbers().isEmpty()) << c.how;
    }
}

TEST_F(RadioCodesDialog, CodesRoundTripFromUnitBytesToNewBytes)
{
    // The unit's bytes 4..13 as the command reads them; the user retypes the
    // third code and confirms an all-ones code that was already there.
    const quint8 unit[10] = {0x1A, 0x2B, 0x00, 0x12, 0xFF, 0xFF, 0x80, 0x01, 0xC3, 0xD4};
    Codes oldCodes;
    for (int i = 0; i < 5; ++i)
        oldCodes[i] = KelmData::RadioCodeToText(unit[2 * i], unit[2 * i + 1]);
    EXPECT_EQ(oldCodes, Codes({"1A2B", "0012", "FFFF", "8001", "C3D4"}));

    Codes newCodes;
    WhenShown(dialog, [&] {
        QLineEdit *third = NewEdit(3);
        third->setFocus();
        third->selectAll();
        QTest::keyClicks(third, "beef");
        Button("btnWriteToDevice")->click();
    });
    ASSERT_TRUE(dialog.Ask(oldCodes, newCodes));
    EXPECT_EQ(prompt.Numbers(), QList<int>({11429})) << "FFFF reported while the fields were filled";
    EXPECT_EQ(newCodes, Codes({"1A2B", "0012", "beef", "8001", "C3D4"}));

    const quint8 expected[10] = {0x1A, 0x2B, 0x00, 0x12, 0xBE, 0xEF, 0x80, 0x01, 0xC3, 0xD4};
    for (int i = 0; i < 5; ++i) {
        quint8 first = 0, second = 0;
        KelmData::TextToRadioCode(newCodes[i], first, second);
        EXPECT_EQ(first, expected[2 * i]) << i;
        EXPECT_EQ(second, expected[2 * i + 1]) << i;
    }
}

TEST_F(RadioCodesDialog, EachUseOverwritesTheFieldsOfTheLastOne)
{
    Codes newCodes;
    WhenShown(dialog, [&] {
        NewEdit(1)->setText("ABCD");
        Button("btnWriteToDevice")->click();
    });
    ASSERT_TRUE(dialog.Ask({"1111", "2222", "3333", "4444", "5555"}, newCodes));
    EXPECT_EQ(newCodes[0], "ABCD");
    WhenShown(dialog, [&] { Button("btnWriteToDevice")->click(); });
    ASSERT_TRUE(dialog.Ask({"9999", "8888", "7777", "6666", "5555"}, newCodes));
    EXPECT_EQ(newCodes, Codes({"9999", "8888", "7777", "6666", "5555"}));
}

} // namespace
