#pragma once

#include "link/SerialPort.h"
#include "link/UiDispatcher.h"
#include "tests/link/PtyDevice.h"

#include <gtest/gtest.h>

namespace kronax {

// A fixture with the port open on a fresh pseudo-terminal, for the suites that run over one.
class PtyPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetDispatcher(dispatcher);
        port.OpenPort();
    }

    PtyDevice device;
    UiDispatcher dispatcher;
    TSerialPort port;
};

} // namespace kronax
