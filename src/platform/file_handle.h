// RAII ownership of file handles.
#pragma once

#include <utility>

#include "platform/files.h"

namespace nebrin::platform {

// Owns one open file of a Files service and closes it when it goes out of scope.
class UniqueFile {
 public:
  UniqueFile() = default;
  UniqueFile(Files& files, FileHandle file) : files_(&files), file_(file) {}
  ~UniqueFile() { reset(); }
  UniqueFile(UniqueFile&& other) noexcept
      : files_(other.files_), file_(std::exchange(other.file_, kNoFile)) {}
  UniqueFile& operator=(UniqueFile&& other) noexcept {
    if (this != &other) {
      reset();
      files_ = other.files_;
      file_ = std::exchange(other.file_, kNoFile);
    }
    return *this;
  }
  UniqueFile(const UniqueFile&) = delete;
  UniqueFile& operator=(const UniqueFile&) = delete;

  FileHandle get() const { return file_; }
  explicit operator bool() const { return file_ != kNoFile; }
  void reset() {
    if (file_ != kNoFile && files_ != nullptr) files_->CloseFile(file_);
    file_ = kNoFile;
  }

 private:
  Files* files_ = nullptr;
  FileHandle file_ = kNoFile;
};

}  // namespace nebrin::platform
