// A file under the system's temporary folder, written by a test and removed
// when the test ends. Works the same natively and under Wine.

#ifndef MORVANE_TESTS_E00_TEMPFILE_H_
#define MORVANE_TESTS_E00_TEMPFILE_H_

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileSystem.h"
#include "tests/TempName.h"

class TempFile {
 public:
  explicit TempFile(const std::string& contents, const char* suffix = ".e00") {
    native_ = uniqueTempPath("morvane-e00-test-", suffix);
    std::ofstream out(native_, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    module_ = modulePath(native_);
  }
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(native_, ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // The path as the module takes it.
  const char* path() const { return module_.c_str(); }
  const std::string& nativePath() const { return native_; }

 private:
  std::string native_;
  std::string module_;
};

#endif  // MORVANE_TESTS_E00_TEMPFILE_H_
