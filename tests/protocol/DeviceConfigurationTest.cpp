#include "protocol/DeviceConfiguration.h"

#include <gtest/gtest.h>

namespace kronax {
namespace {

TEST(DeviceConfiguration, StoringKeepsTheLowByteOfEightBitFieldsAndAllOfTheCounts) {
    DeviceConfiguration configuration;
    StoreFieldValue(configuration, NumberField::Gap2, 20);
    StoreFieldValue(configuration, NumberField::Beta, 0x1FF);
    StoreFieldValue(configuration, NumberField::CountsPerRev, 65535);
    EXPECT_EQ(FieldValue(configuration, NumberField::Gap2), 20);
    EXPECT_EQ(FieldValue(configuration, NumberField::Beta), 0xFF);
    EXPECT_EQ(FieldValue(configuration, NumberField::CountsPerRev), 65535);
    EXPECT_EQ(configuration.Tooth1, 1) << "other fields stay as they were";
}

TEST(DeviceConfiguration, EveryFieldReachesItsOwnMember) {
    DeviceConfiguration configuration{};
    for (int field = 0; field < NumberFieldCount; ++field)
        StoreFieldValue(configuration, static_cast<NumberField>(field), 100 + field);
    const DeviceConfiguration expected{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110};
    EXPECT_EQ(configuration, expected);
}

} // namespace
} // namespace kronax
