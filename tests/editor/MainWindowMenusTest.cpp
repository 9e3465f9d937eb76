#include "About.h"
#include "ScriptedPrompt.h"
#include "TextTable.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

struct MenuItemCase
{
    const char *name; // a separator when text is 0
    int text;
    QKeySequence shortcut;
};

struct MenuCase
{
    const char *name;
    int text;
    std::vector<MenuItemCase> items;
};

const std::vector<MenuCase> &Menus()
{
    static const std::vector<MenuCase> menus = {
        {"mnuFile",
         10101,
         {{"mnuFileNew", 10102, QKeySequence(Qt::CTRL | Qt::Key_N)},
          {"mnuFileOpen", 10103, QKeySequence(Qt::CTRL | Qt::Key_O)},
          {"N2", 0, {}},
          {"mnuFileSave", 10104, QKeySequence(Qt::CTRL | Qt::Key_S)},
          {"mnuFileSaveAs", 10105, {}},
          {"N1", 0, {}},
          {"mnuFileSelectDefaultDirectory", 10106, {}},
          {"N3", 0, {}},
          {"mnuFileExit", 10107, {}}}},
        {"mnuCom",
         10108,
         {{"mnuComReadFromDevice", 10109, QKeySequence(Qt::CTRL | Qt::Key_R)},
          {"mnuComWriteToDevice", 10110, QKeySequence(Qt::CTRL | Qt::Key_W)},
          {"N4", 0, {}},
          {"mnuComChangeDeviceRadioCodes", 10111, {}}}},
        {"mnuHelp", 10112, {{"mnuHelpAbout", 10113, {}}}},
    };
    return menus;
}

class MainWindowMenus : public ::testing::Test
{
protected:
    ScriptedPrompt prompt;
    TfrmMain window;

    void SetUp() override { window.SetPrompt(&prompt); }

    template <typename T> T *Find(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }

    void ShowActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(MainWindowMenus, MenuBarHoldsTheMenusItemsSeparatorsTextsAndShortcutsInOrder)
{
    const QList<QAction *> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), qsizetype(Menus().size()));
    for (size_t m = 0; m < Menus().size(); ++m) {
        const MenuCase &menuCase = Menus()[m];
        SCOPED_TRACE(menuCase.name);
        QMenu *menu = bar[qsizetype(m)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), QLatin1String(menuCase.name));
        EXPECT_EQ(menu->title(), TextTable::Text(menuCase.text));
        const QList<QAction *> items = menu->actions();
        ASSERT_EQ(items.size(), qsizetype(menuCase.items.size()));
        for (size_t i = 0; i < menuCase.items.size(); ++i) {
            const MenuItemCase &item = menuCase.items[i];
            SCOPED_TRACE(item.name);
            QAction *action = items[qsizetype(i)];
            EXPECT_EQ(action->objectName(), QLatin1String(item.name));
            EXPECT_EQ(action->isSeparator(), item.text == 0);
            if (item.text)
                EXPECT_EQ(action->text(), TextTable::Text(item.text));
            EXPECT_EQ(action->shortcut(), item.shortcut);
        }
    }
    // The texts are the table's, not placeholders for missing numbers.
    EXPECT_EQ(Find<QMenu>("mnuFile")->title(), QStringLiteral("&Arkiv"));
    EXPECT_EQ(Find<QAction>("mnuFileOpen")->text(), QStringLiteral("&Öppna..."));
}

struct ShortcutCase
{
    const char *action;
    Qt::Key key;
};

const ShortcutCase Shortcuts[] = {
    {"mnuFileNew", Qt::Key_N},
    {"mnuFileOpen", Qt::Key_O},
    {"mnuFileSave", Qt::Key_S},
    {"mnuComReadFromDevice", Qt::Key_R},
    {"mnuComWriteToDevice", Qt::Key_W},
};

TEST_F(MainWindowMenus, ShortcutsRunTheirCommandsFromAnyField)
{
    ShowActive();
    for (const char *fieldName : {"edtInPassageDelay", "cbbxDoorClosedAlarmType", "cbEnableTimeSchedule",
                                  "edtBatteryLowLimit"}) {
        for (const ShortcutCase &s : Shortcuts) {
            SCOPED_TRACE(std::string(fieldName) + " " + s.action);
            QWidget *field = Find<QWidget>(fieldName);
            field->setFocus();
            QSignalSpy triggered(Find<QAction>(s.action), &QAction::triggered);
            QTest::keyClick(field, s.key, Qt::ControlModifier);
            EXPECT_EQ(triggered.count(), 1);
            // A command may have shown a message on the way; answer it and go on.
            window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        }
    }
}

TEST_F(MainWindowMenus, RegionListOpensItsPopupMenuOnlyWhileEnabled)
{
    ShowActive();
    auto *regions = Find<QComboBox>("cbbxDaylightSavingTimeRegion");
    auto *popup = Find<QMenu>("pumnuDST");
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 1);
    QAction *view = popup->actions().first();
    EXPECT_EQ(view->objectName(), QStringLiteral("pumnuView"));
    EXPECT_EQ(view->text(), TextTable::Text(10201));

    const QPoint at(10, 5);
    auto rightClick = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, regions->mapToGlobal(at));
        QCoreApplication::sendEvent(regions, &event);
        QCoreApplication::processEvents();
    };

    ASSERT_FALSE(regions->isEnabled());
    rightClick();
    EXPECT_FALSE(popup->isVisible());

    regions->setEnabled(true);
    rightClick();
    EXPECT_TRUE(popup->isVisible());
    popup->close();

    regions->setEnabled(false);
    rightClick();
    EXPECT_FALSE(popup->isVisible());
}

} // namespace

TEST_F(MainWindowMenus, AboutOpensTheAboutBoxModallyOverTheWindow)
{
    ShowActive();
    TfrmAbout about(&window);
    about.Link().SetPortName(QStringLiteral("/nonexistent/qev"));
    window.SetAboutForm(&about);
    bool shownModally = false;
    QTimer::singleShot(0, &about, [&] {
        shownModally = about.isVisible() && about.isModal();
        about.accept();
    });
    Find<QAction>("mnuHelpAbout")->trigger();
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(about.windowTitle(), TextTable::Text(11241));
    EXPECT_TRUE(about.QevVersionText().isEmpty());
}
