#include "platform/console_output.h"

#include <iostream>
#include <streambuf>
#include <string>

#include "platform/utf8.h"

namespace norv::platform {

namespace {

// Passes what a stream writes on at once, holding back only the first bytes
// of a character whose rest comes with the next write, so that a console
// is never handed half a character.
class ProgramTextBuffer final : public std::streambuf {
 public:
  explicit ProgramTextBuffer(std::FILE* stream) : stream_(stream) {}
  ~ProgramTextBuffer() override { pass_on(pending_.size()); }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    pass_on(whole_characters_length(pending_));
    return count;
  }

  int sync() override { return std::fflush(stream_) == 0 ? 0 : -1; }

 private:
  void pass_on(std::size_t length) {
    if (length == 0) return;
    write_program_text(stream_, std::string_view(pending_).substr(0, length));
    pending_.erase(0, length);
  }

  std::FILE* stream_;
  std::string pending_;
};

}  // namespace

struct ProgramTextStreams::Redirection {
  Redirection(std::ostream& stream, std::FILE* file)
      : stream(stream), buffer(file), original(stream.rdbuf(&buffer)) {}
  ~Redirection() {
    stream.flush();
    stream.rdbuf(original);
  }
  std::ostream& stream;
  ProgramTextBuffer buffer;
  std::streambuf* original;
};

ProgramTextStreams::ProgramTextStreams()
    : out_(std::make_unique<Redirection>(std::cout, stdout)),
      err_(std::make_unique<Redirection>(std::cerr, stderr)) {}

ProgramTextStreams::~ProgramTextStreams() = default;

}  // namespace norv::platform
