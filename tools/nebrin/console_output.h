// Everything the host prints passes through here. Control characters other than newline, tab and
// the CR of a CR LF are spelt out ("\u001B", as in JSON, so JSON output stays valid), so no text from a store or a
// file can drive the terminal. On Windows a console gets the text through WriteConsoleW, so every
// name shows as stored whatever the console's code page; a file or a pipe gets UTF-8.
#pragma once

#include <memory>
#include <streambuf>
#include <string_view>

namespace nebrin::host {

// Where the filtered text goes.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Write(std::string_view utf8) = 0;
};

// The sink for standard output (`error` false) or standard error, by platform.
std::unique_ptr<OutputSink> MakeStandardSink(bool error, std::streambuf* original);

// Escapes control characters on their way to a sink.
class FilteringBuffer final : public std::streambuf {
 public:
  explicit FilteringBuffer(std::unique_ptr<OutputSink> sink) : sink_(std::move(sink)) {}
  ~FilteringBuffer() override;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* data, std::streamsize count) override;
  int sync() override;

 private:
  void Put(unsigned char byte);
  std::unique_ptr<OutputSink> sink_;
  std::string pending_;  // filtered text not yet written
  bool afterC2_ = false;  // the last byte was 0xC2, which may start a C1 control
  bool afterCr_ = false;  // the last byte was a CR, kept only before a LF
};

// Puts standard output and standard error through FilteringBuffers while it lives.
class ConsoleOutput {
 public:
  ConsoleOutput();
  ~ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

 private:
  std::streambuf* originalOut_;
  std::streambuf* originalErr_;
  std::unique_ptr<FilteringBuffer> out_;
  std::unique_ptr<FilteringBuffer> err_;
};

}  // namespace nebrin::host
