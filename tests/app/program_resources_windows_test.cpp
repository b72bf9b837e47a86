// Every program of the Windows download carries a manifest, so that it runs
// with the user's rights and the system's ANSI code page, and a version
// resource, both with the project's version.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/system_text_windows.h"

namespace norv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Resources {
  std::string manifest;
  std::string file_version;  // "major.minor.patch.build" of the fixed version
};

std::string fixed_file_version(const std::wstring& program) {
  DWORD ignored = 0;
  std::string data(::GetFileVersionInfoSizeW(program.c_str(), &ignored), '\0');
  if (data.empty() || !::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()),
                                             data.data()))
    return "(no version resource)";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length))
    return "(no fixed version)";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

Resources resources_of(const std::string& path) {
  const std::wstring program = platform::utf8_to_wide(path);
  Resources found{"(no manifest)", fixed_file_version(program)};
  HMODULE module = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return found;
  // 24: RT_MANIFEST, whose macro names the ANSI form alone.
  if (HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, manifest)));
    found.manifest.assign(bytes, ::SizeofResource(module, manifest));
  }
  ::FreeLibrary(module);
  return found;
}

TEST(ProgramResources, EveryProgramRunsAsInvokerWithTheProjectsVersion) {
  const std::string version = std::string(NORV_VERSION) + ".0";
  for (const char* program : {NORV_CLI, NORV_JET_CLI, NORV_DIALOG}) {
    const Resources found = resources_of(program);
    EXPECT_THAT(found.manifest, HasSubstr("level=\"asInvoker\"")) << program;
    EXPECT_THAT(found.manifest, HasSubstr("version=\"" + version + "\"")) << program;
    EXPECT_THAT(found.manifest, HasSubstr("<supportedOS Id=")) << program;
    EXPECT_THAT(found.manifest, Not(HasSubstr("<activeCodePage"))) << program;
    EXPECT_EQ(found.file_version, version) << program;
  }
}

}  // namespace
}  // namespace norv::test
