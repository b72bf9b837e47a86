#pragma once

namespace norv::test {

// The desktop the window tests run on, or null for the ordinary one
// (own_desktop_main.cpp says when). Programs the tests start must be put on
// it to be seen.
const char* test_desktop_name();

}  // namespace norv::test
