#include "tests/win32_port/PortOnWine.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every test ends within this time or ends the program, naming itself.
constexpr auto TestLimit = std::chrono::seconds(60);

class GuardEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        guard_ = std::make_unique<kronax::wine::HangGuard>(
            std::string(test.test_suite_name()) + "." + test.name(), TestLimit);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { guard_.reset(); }

    std::unique_ptr<kronax::wine::HangGuard> guard_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new GuardEachTest);
    return RUN_ALL_TESTS();
}
