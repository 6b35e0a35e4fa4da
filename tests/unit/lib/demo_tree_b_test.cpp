// The demo tree of a family B station (qel-mktree --family B): its SERVO
// record names a family B controller, and its constants are there for the
// parameter check; the family A tree keeps its own type.
#include <gtest/gtest.h>

#include "family_b.h"
#include "ports.h"
#include "sandbox.h"

#include <algorithm>

namespace {

TEST(DemoTreeB, AFamilyBStation) {
    std::string error;
    Sandbox b;
    ASSERT_TRUE(b.LayOutDemo(&error, true, 'B')) << error;
    EXPECT_EQ(GetPortType("SERVO"), 3) << "family B";
    EXPECT_EQ(FamilyB::ServoParam(), 1) << "constant.asc is there";
    const std::string constants = b.Read("/u/qel/sys_data/files/constant.asc");
    EXPECT_EQ(constants.rfind("PARAM_1 = 7\r\n", 0), 0u);
    EXPECT_EQ(std::count(constants.begin(), constants.end(), '\n'), 300);
    PortRecord changer;
    EXPECT_EQ(GetPortCodes("PCHANGER", &changer), 4) << "the changer's record where it was";

    Sandbox a;
    ASSERT_TRUE(a.LayOutDemo(&error, true)) << error;
    EXPECT_EQ(GetPortType("SERVO"), 1) << "family A";
}

} // namespace
