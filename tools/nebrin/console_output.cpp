#include "console_output.h"

#include <cstdio>
#include <iostream>

namespace nebrin::host {
namespace {

std::string Escape(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04X", value);
  return buffer;
}

}  // namespace

FilteringBuffer::~FilteringBuffer() {
  if (afterC2_) pending_.push_back(static_cast<char>(0xC2));
  if (afterCr_) pending_ += Escape('\r');
  afterC2_ = afterCr_ = false;
  sync();
}

void FilteringBuffer::Put(unsigned char byte) {
  if (afterCr_) {  // a CR stays only as the start of a line end (the address script's CR LF)
    afterCr_ = false;
    pending_ += byte == '\n' ? std::string("\r") : Escape('\r');
  }
  if (byte == '\r') {
    if (afterC2_) pending_.push_back(static_cast<char>(0xC2));
    afterC2_ = false;
    afterCr_ = true;
    return;
  }
  if (afterC2_) {
    afterC2_ = false;
    if (byte >= 0x80 && byte <= 0x9F) {  // U+0080..U+009F, the C1 controls
      pending_ += Escape(byte);
      return;
    }
    pending_.push_back(static_cast<char>(0xC2));
  }
  if (byte == 0xC2) {
    afterC2_ = true;
  } else if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
    pending_ += Escape(byte);
  } else {
    pending_.push_back(static_cast<char>(byte));
  }
}

FilteringBuffer::int_type FilteringBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  Put(static_cast<unsigned char>(traits_type::to_char_type(c)));
  if (pending_.size() >= 4096) sync();
  return c;
}

std::streamsize FilteringBuffer::xsputn(const char* data, std::streamsize count) {
  for (std::streamsize i = 0; i < count; ++i) Put(static_cast<unsigned char>(data[i]));
  if (pending_.size() >= 4096) sync();
  return count;
}

int FilteringBuffer::sync() {
  // A 0xC2 or a CR waiting for the byte after it stays back: written with it, or on destruction.
  if (!pending_.empty()) sink_->Write(pending_);
  pending_.clear();
  return 0;
}

ConsoleOutput::ConsoleOutput()
    : originalOut_(std::cout.rdbuf()),
      originalErr_(std::cerr.rdbuf()),
      out_(std::make_unique<FilteringBuffer>(MakeStandardSink(false, originalOut_))),
      err_(std::make_unique<FilteringBuffer>(MakeStandardSink(true, originalErr_))) {
  std::cout.rdbuf(out_.get());
  std::cerr.rdbuf(err_.get());
  std::cerr.setf(std::ios::unitbuf);
}

ConsoleOutput::~ConsoleOutput() {
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(originalOut_);
  std::cerr.rdbuf(originalErr_);
  out_.reset();
  err_.reset();
  std::cout.flush();
  std::cerr.flush();
}

}  // namespace nebrin::host
