#include "protocol/BoardCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kronax {
namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::Return;
using ::testing::SetArgReferee;

class MockChannel : public ICommandChannel {
public:
    MOCK_METHOD(bool, TransactCommand, (const std::string&, std::string&, std::int32_t),
                (override));
};

TEST(BoardCommands, SendEachCommandWithItsTimeOutAndReturnItsText) {
    MockChannel channel;
    EXPECT_CALL(channel, TransactCommand("##SMSTA\r", _, 1000))
        .WillOnce(DoAll(SetArgReferee<1>("!SMACK\r"), Return(true)));
    EXPECT_CALL(channel, TransactCommand("??SMSTA\r", _, 1000))
        .WillOnce(DoAll(SetArgReferee<1>("!SMRUNNING\r"), Return(true)));
    EXPECT_CALL(channel, TransactCommand("##SMSETP\r", _, 1000))
        .WillOnce(DoAll(SetArgReferee<1>("!SMNCK\r"), Return(true)));
    EXPECT_CALL(channel, TransactCommand("??SMSETB\r", _, 500)).WillOnce(Return(false));

    EXPECT_EQ(SendStartCommand(channel), "Start aknowledged.");
    EXPECT_EQ(RequestStatus(channel), "Status: RUNNING\r");
    EXPECT_EQ(SendPowerOnDefaultCommand(channel), "Setting power on defaults NOT acknowledged.");
    EXPECT_EQ(RequestBoardInformation(channel),
              "Board Information:\r\nSerial number: \r\nPCB Version: \r\nFPGA Version: "
              "\r\n\xB5"
              "C Version: ");
}

} // namespace
} // namespace kronax
