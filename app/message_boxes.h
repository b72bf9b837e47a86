#pragma once

// Modal message boxes with the single button OK. The style is the sum of the
// Windows flags; an empty title shows the application's title.

#include <string>

namespace norv::app {

// Windows' own headers define the same flags as macros; where they are
// included first, theirs stand.
#ifndef MB_OK
inline constexpr int MB_OK = 0;
#endif
#ifndef MB_ICONERROR
inline constexpr int MB_ICONERROR = 16;
#endif
#ifndef MB_ICONINFORMATION
inline constexpr int MB_ICONINFORMATION = 64;
#endif
static_assert(MB_OK == 0 && MB_ICONERROR == 16 && MB_ICONINFORMATION == 64);

// The title of untitled message boxes.
inline constexpr const char* kApplicationTitle = "Version Update";

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns when the user has pressed OK.
  virtual void show(const std::string& text, int style, const std::string& title) = 0;
};

}  // namespace norv::app
