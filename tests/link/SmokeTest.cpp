#include "LinkTestSupport.h"
#include <gtest/gtest.h>
TEST(Smoke, Presence)
{
    auto sim = StartSimulator();
    KelmLink link;
    link.SetPortName(sim->DevicePath());
    ASSERT_EQ(link.OpenLink(), 0) << link.LastOpenError().toStdString();
    EXPECT_EQ(link.CheckPresence(), 0);
    QByteArray v;
    EXPECT_EQ(link.QueryVersion(v), 0);
    EXPECT_EQ(v, "QEV-SIM 1.0");
    quint8 image[256] = {};
    EXPECT_EQ(link.ReadImage(image), 0);
    EXPECT_EQ(image[248], 7);
}
