#include <gtest/gtest.h>

#include <string>

#include "device/InstrumentType.h"

namespace {

TEST(InstrumentType, CodesAndIndexesMapBothWays) {
    const char* codes[] = {"+VT", "+MV", "+DL", "+OQ"};
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(device::InstrumentTypeIndex(codes[index]), index);
        EXPECT_EQ(device::InstrumentTypeCode(index), codes[index]);
    }
}

TEST(InstrumentType, AnythingElseIsUnknown) {
    for (const std::string code : {"", "+vt", "+VT ", " +VT", "+V", "VT", "+VT\x03("}) {
        EXPECT_EQ(device::InstrumentTypeIndex(code), -1) << code;
    }
    EXPECT_EQ(device::InstrumentTypeIndex(std::string("+VT\0", 4)), -1);
    for (int index : {-1, 4, 100})
        EXPECT_EQ(device::InstrumentTypeCode(index), "") << index;
}

}  // namespace
