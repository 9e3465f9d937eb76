#include "DialogTestSupport.h"

#include <gtest/gtest.h>

void ExpectLayout(const QWidget &form, const std::vector<Placed> &table)
{
    for (const Placed &p : table) {
        const auto *w = form.findChild<QWidget *>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        if (p.geometry.size().isEmpty())
            EXPECT_EQ(w->pos(), p.geometry.topLeft()) << p.name;
        else
            EXPECT_EQ(w->geometry(), p.geometry) << p.name;
    }
}

QStringList TabOrder(QWidget *first, int count)
{
    QStringList names;
    QWidget *w = first;
    while (names.size() < count) {
        names << w->objectName();
        do {
            w = w->nextInFocusChain();
        } while (w != first && !(w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)));
        if (w == first)
            break;
    }
    return names;
}

void WhenShown(QDialog &dialog, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, std::move(act));
    QTimer::singleShot(5000, &dialog, [&dialog] {
        if (dialog.isVisible()) {
            ADD_FAILURE() << "dialog still open";
            dialog.done(-1);
        }
    });
}
