#include "platform/program_arguments.h"

namespace norv::platform {

ProgramArguments::ProgramArguments(int argc, char** argv) : texts_(utf8_arguments(argc, argv)) {
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

}  // namespace norv::platform
