#pragma once

// Whether this build's engine can update databases: stages of the engine
// that only read refuse every update with NotSupportedError. Tests that
// stamp real files call NORV_REQUIRE_ENGINE_WRITES() and skip, saying so,
// until it can. Needs the shared fixtures to probe.

#include <gtest/gtest.h>

namespace norv::test {

bool engine_writes();

}  // namespace norv::test

#define NORV_REQUIRE_ENGINE_WRITES()                                        \
  do {                                                                      \
    if (!::norv::test::engine_writes())                                     \
      GTEST_SKIP() << "the engine of this build cannot update databases yet"; \
  } while (0)
