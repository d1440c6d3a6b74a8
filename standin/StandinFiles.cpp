#include "standin/StandinFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace standin {

bool readWholeFile(const std::string& path, std::string* content) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return false;
  content->assign(std::istreambuf_iterator<char>(in),
                  std::istreambuf_iterator<char>());
  return !in.bad();
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  fs::path temporary = target;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
      fs::remove(temporary, ec);
      return false;
    }
  }
  // std::filesystem::rename replaces an existing target on Windows too
  // (std::rename does not).
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

std::string setAsideUnreadable(const std::string& path) {
  namespace fs = std::filesystem;
  for (int n = 1; n < 1000; ++n) {
    std::string aside = path + ".bad" + (n == 1 ? "" : std::to_string(n));
    std::error_code ec;
    if (fs::exists(fs::path(aside), ec) || ec) continue;
    fs::rename(fs::path(path), fs::path(aside), ec);
    return ec ? std::string() : aside;
  }
  return std::string();
}

std::string escapeField(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool unescapeField(const std::string& field, std::string* text) {
  text->clear();
  for (size_t i = 0; i < field.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(field[i]);
    if (c < 0x20 || c == 0x7F) return false;
    if (c != '%') {
      *text += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return false;
    int hi = hexValue(field[i + 1]);
    int lo = hexValue(field[i + 2]);
    if (hi < 0 || lo < 0) return false;
    *text += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

}  // namespace standin
