// The program's text on a Windows console: every character as written,
// whatever the console's code page, and a character split between two
// writes of a stream whole. Read back from the console's screen buffer.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/console_output.h"

namespace norv::platform {
namespace {

// Set where the test is started with a console (its CTest entry): there a
// console that does not open is a failure, not a reason to skip.
bool console_expected() { return std::getenv("NORV_CONSOLE_EXPECTED") != nullptr; }

// A console of the test's own, its screen buffer cleared.
class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetConsoleWindow() == nullptr && !::AllocConsole() &&
        ::GetLastError() != ERROR_ACCESS_DENIED) {
      if (console_expected()) FAIL() << "no console (error " << ::GetLastError() << ")";
      GTEST_SKIP() << "no console can be made here (error " << ::GetLastError() << ")";
    }
    screen_ = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (screen_ == INVALID_HANDLE_VALUE) {
      if (console_expected()) FAIL() << "no console screen buffer (error " << ::GetLastError() << ")";
      GTEST_SKIP() << "no console screen buffer (error " << ::GetLastError() << ")";
    }
    // The stream a program writes to, on a handle of its own (fclose closes it).
    HANDLE stream_handle = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), screen_, ::GetCurrentProcess(), &stream_handle, 0,
                      FALSE, DUPLICATE_SAME_ACCESS);
    console_ = ::_fdopen(::_open_osfhandle(reinterpret_cast<std::intptr_t>(stream_handle), 0), "w");
    ASSERT_NE(console_, nullptr);
    // A code page that has neither ö nor €: what shows them is not it.
    ::SetConsoleOutputCP(437);
    start_ = cursor();
  }
  void TearDown() override {
    if (console_ != nullptr) std::fclose(console_);
    if (screen_ != INVALID_HANDLE_VALUE) ::CloseHandle(screen_);
  }

  COORD cursor() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(screen_, &info);
    return info.dwCursorPosition;
  }
  // The characters from where the test started to the cursor, on one line.
  std::wstring shown() const {
    const COORD end = cursor();
    std::wstring text(static_cast<std::size_t>(end.X - start_.X), L'\0');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen_, text.data(), static_cast<DWORD>(text.size()), start_,
                                  &read);
    text.resize(read);
    return text;
  }

  std::FILE* console_ = nullptr;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  COORD start_{};
};

TEST_F(ConsoleTest, ShowsEveryCharacterWhateverTheCodePage) {
  write_program_text(console_, "Gr\xC3\xB6\xC3\x9F" "e 5 \xE2\x82\xAC");
  EXPECT_EQ(shown(), L"Gr\u00F6\u00DFe 5 \u20AC");
}

}  // namespace
}  // namespace norv::platform
