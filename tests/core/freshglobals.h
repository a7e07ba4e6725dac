// Tests that touch the process-wide transfer array and sample buffer start from, and leave behind,
// the start-up values.
#pragma once

#include <gtest/gtest.h>

#include "_2GL.h"

namespace zk::testing {

class FreshGlobals : public ::testing::Test {
  protected:
    void SetUp() override { ResetGlobalsToStartValues(); }
    void TearDown() override { ResetGlobalsToStartValues(); }
};

}  // namespace zk::testing
