#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

// Widget tests need a QApplication; the offscreen platform lets them run without a display.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Tests pin the locale they need; the default is Swedish, as the tool's users have it.
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
