#pragma once

// Tests run once per format: the parameter values and the names gtest
// shows for them.

#include <gtest/gtest.h>

#include <string>

#include "jet/types/format_version.h"

namespace norv::jet {

inline auto both_formats() { return ::testing::Values(FormatVersion::jet3, FormatVersion::jet4); }

inline std::string format_name(const ::testing::TestParamInfo<FormatVersion>& info) {
  return info.param == FormatVersion::jet3 ? "Jet3" : "Jet4";
}

}  // namespace norv::jet
