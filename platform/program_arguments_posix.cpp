#include "platform/program_arguments.h"

namespace norv::platform {

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace norv::platform
