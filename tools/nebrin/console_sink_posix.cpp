// Linux: the filtered text goes on to the stream's own buffer (UTF-8, as the terminal reads it).
#include "console_output.h"

namespace nebrin::host {
namespace {

class StreamSink final : public OutputSink {
 public:
  explicit StreamSink(std::streambuf* original) : original_(original) {}
  void Write(std::string_view utf8) override {
    original_->sputn(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    original_->pubsync();
  }

 private:
  std::streambuf* original_;
};

}  // namespace

std::unique_ptr<OutputSink> MakeStandardSink(bool, std::streambuf* original) {
  return std::make_unique<StreamSink>(original);
}

}  // namespace nebrin::host
