#include "About.h"
#include "RadioCodes.h"
#include "SelectFolder.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Each dialog places itself over the main window every time it is shown,
// halves rounded toward zero: a dialog larger than the window overhangs it
// by the same amount on both sides, give or take the odd pixel.
TEST(DialogCentring, EachDialogCentresOverItsOwnerWhenShown)
{
    const QRect large(100, 50, 800, 600);
    const QRect small(10, 10, 301, 201);
    struct Case
    {
        const char *name;
        std::function<std::unique_ptr<QDialog>(QWidget *)> make;
        QPoint overLarge; // from the window's top left corner
        QPoint overSmall;
    };
    const Case cases[] = {
        {"radio codes", [](QWidget *w) { return std::make_unique<TfrmWriteRadioCodes>(w); }, {159, 163}, {-90, -36}},
        {"folder", [](QWidget *w) { return std::make_unique<TfrmSelectDirectory>(w); }, {165, 187}, {-84, -12}},
        {"about",
         [](QWidget *w) {
             auto about = std::make_unique<TfrmAbout>(w);
             about->Link().SetPortName("/dev/kelm-test-no-such-port");
             return about;
         },
         {191, 175},
         {-58, -24}},
    };
    for (const Case &c : cases) {
        QWidget window;
        std::unique_ptr<QDialog> dialog = c.make(&window);
        for (const auto &[owner, expected] : {std::pair(large, c.overLarge), std::pair(small, c.overSmall)}) {
            window.setGeometry(owner);
            window.show();
            dialog->show();
            EXPECT_EQ(dialog->frameGeometry().topLeft(), window.frameGeometry().topLeft() + expected)
                << c.name << " over " << owner.width();
            dialog->hide();
        }
    }
}

} // namespace
