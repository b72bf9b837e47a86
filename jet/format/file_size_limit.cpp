#include "jet/format/file_size_limit.h"

#include <fmt/format.h>

#include "platform/error.h"

namespace norv::jet {

void refuse_pages_past_the_limit(const std::filesystem::path& file, const Format& format,
                                 std::uint64_t pages, std::string_view what,
                                 std::string_view advice) {
  if (pages * format.page_size <= format.max_file_size) return;
  throw NotSupportedError(fmt::format("{}: {} larger than {} GiB, the most a {} database may "
                                      "hold; {}",
                                      file.string(), what, format.max_file_size >> 30,
                                      format.version == FormatVersion::jet3 ? "Jet 3" : "Jet 4",
                                      advice));
}

}  // namespace norv::jet
