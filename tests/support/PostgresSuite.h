#pragma once

#include "sim/PostgresProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kronax::test {

// A test suite sharing one PostgreSQL server of its own; its tests are skipped where no server can
// run. A fixture's own SetUp calls this one first and returns when IsSkipped().
class PostgresSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            postgres_ = std::make_unique<sim::PostgresProcess>();
        } catch (const sim::EPostgresUnavailable& error) {
            unavailable_ = error.what();
        }
    }
    static void TearDownTestSuite() { postgres_.reset(); }

    void SetUp() override {
        if (!postgres_)
            GTEST_SKIP() << "PostgreSQL cannot run here: " << unavailable_;
    }

    static inline std::unique_ptr<sim::PostgresProcess> postgres_;
    static inline std::string unavailable_;
};

} // namespace kronax::test
