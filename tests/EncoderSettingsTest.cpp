#include <gtest/gtest.h>

#include "encoder/Pdf417Encoder.h"

namespace barwright {
namespace {

TEST(EncoderSettings, Defaults) {
    Pdf417Encoder encoder;
    EXPECT_EQ(encoder.data(), "1234567");
    EXPECT_EQ(encoder.requestedColumns(), 3);
}

}  // namespace
}  // namespace barwright
