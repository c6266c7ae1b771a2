#include "link/PortName.h"
#include "link/SerialPort.h"
#include "tests/fakes/FakeSerialPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kronax {
namespace {

using ::testing::ElementsAre;

TEST(ListSerialPorts, SortsPortsByNumberAndOtherNamesAfterThemIgnoringCase) {
    FakeSerialPlatform fake;
    fake.SetPortNames({"COM10", "COM2", "com3", "COM1", "COM2", "Com01", "COM11"});
    std::vector<std::string> list{"old"};
    ListSerialPorts(list, fake);
    EXPECT_THAT(list, ElementsAre("COM1", "COM2", "COM2", "COM10", "COM11", "Com01", "com3"));
    EXPECT_EQ(fake.Calls().back(), "CloseDeviceMap");
}

TEST(ListSerialPorts, AMissingMapRaises23AndKeepsTheList) {
    FakeSerialPlatform fake;
    fake.Fail("OpenDeviceMap", 2);
    std::vector<std::string> list{"COM7"};
    try {
        ListSerialPorts(list, fake);
        FAIL() << "no ESerialPort raised";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 23);
        EXPECT_STREQ(error.what(), "Registry error (win error code: 2)");
    }
    EXPECT_THAT(list, ElementsAre("COM7"));
}

TEST(ListSerialPorts, AFailingEntryRaises23KeepsTheListAndClosesTheMap) {
    FakeSerialPlatform fake;
    fake.SetPortNames({"COM1"});
    fake.Fail("NextPortName", 234);
    std::vector<std::string> list{"COM7"};
    EXPECT_THROW(ListSerialPorts(list, fake), ESerialPort);
    EXPECT_THAT(list, ElementsAre("COM7"));
    EXPECT_EQ(fake.Calls().back(), "CloseDeviceMap");
}

TEST(ComPortNumber, AcceptsOnlyComWithAPlainDecimalNumber) {
    struct Case {
        const char* name;
        std::optional<unsigned> number;
    };
    const Case cases[] = {
        {"COM1", 1},     {"COM10", 10},      {"COM999999", 999999}, {"COM0", {}},
        {"COM01", {}},   {"com1", {}},       {"COM", {}},           {"COM1 ", {}},
        {" COM1", {}},   {"COM-1", {}},      {"COM+1", {}},         {"COM1/../COM2", {}},
        {"../COM1", {}}, {"COM1234567", {}}, {"COMx", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
    EXPECT_EQ(ComPortNumber(std::string("COM1\0", 5)), std::nullopt);
}

} // namespace
} // namespace kronax
