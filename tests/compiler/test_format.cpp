#include <gtest/gtest.h>
#include "tmc_format.h"
TEST(Format, Tables) { EXPECT_EQ(tilmor::tmc::CommandCode("PRINT"), 162); }
