#include "protocol/BoardCommands.h"
#include "protocol/OutcomeText.h"
#include "tests/fakes/ScriptedChannel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kronax {
namespace {

using ::testing::ElementsAre;

TEST(BoardCommands, SendEachCommandWithItsTimeOutAndReturnItsText) {
    test::ScriptedChannel channel([](const std::string& command) -> std::optional<std::string> {
        if (command == "##SMSTA\r")
            return "!SMACK\r";
        if (command == "??SMSTA\r")
            return "!SMRUNNING\r";
        if (command == "##SMSETP\r")
            return "!SMNCK\r";
        return std::nullopt;
    });

    EXPECT_EQ(CommandOutcomeText(SendStartCommand(channel)), "Start aknowledged.");
    EXPECT_EQ(CommandOutcomeText(RequestStatus(channel)), "Status: RUNNING\r");
    EXPECT_EQ(CommandOutcomeText(SendPowerOnDefaultCommand(channel)),
              "Setting power on defaults NOT acknowledged.");
    EXPECT_EQ(CommandOutcomeText(RequestBoardInformation(channel)),
              "Board Information:\r\nSerial number: \r\nPCB Version: \r\nFPGA Version: "
              "\r\n\xB5"
              "C Version: ");
    EXPECT_THAT(channel.commands,
                ElementsAre("##SMSTA\r", "??SMSTA\r", "##SMSETP\r", "??SMSETB\r"));
    EXPECT_THAT(channel.timeouts, ElementsAre(1000, 1000, 1000, 500));
}

} // namespace
} // namespace kronax
