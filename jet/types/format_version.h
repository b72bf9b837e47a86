#pragma once

// Which of the two Jet file formats a database is in. Code that lays out
// bytes asks the Format descriptor (format.h) instead of testing this.

namespace norv::jet {

enum class FormatVersion { jet3, jet4 };

}  // namespace norv::jet
