// Feeds arbitrary bytes to readE00PlaceNames as an .e00 file, and checks
// what must hold whatever the bytes (unless the file is refused as not in
// degrees, with that reason): every name handed to the host is 1 to 40
// bytes of whole Shift-JIS characters with no white space at either end,
// the item's fixed fields are as the host expects, the progress runs from 0
// in steps of 5, the count returned is the number of names the host took,
// and the reader itself shows nothing.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "e00/E00PlaceNameReader.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "platform/SjisLeadByte.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

// The input and the host's home folder (its place-name database) live in
// a tree in memory: no file is written per input.
struct Home {
  MemoryFileSystem memory{"Z:\\morvane-fuzz-memory\\"};
  const char* input = "Z:\\morvane-fuzz-memory\\input.e00";
  Home() {
    headless::setEcho(false);
    standin::setHome("/morvane-fuzz-memory/home");
  }
};

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void checkItem(const tagNAMEDBITEM& item) {
  if (item.size != 56 || item.name == nullptr || item.name != item.name2) {
    std::abort();
  }
  if (item.value32a != 0 || item.value32b != 0 || item.value8 != 0 ||
      item.value16a != 1 || item.value16b != 80 || item.value32c != 1) {
    std::abort();
  }
  size_t n = std::strlen(item.name);
  if (n == 0 || n > 40) std::abort();
  if (isBlank(item.name[0]) || isBlank(item.name[n - 1])) std::abort();
  for (size_t i = 0; i < n; ++i) {
    if (isCodePage932LeadByte(static_cast<unsigned char>(item.name[i]))) {
      if (i + 1 >= n) std::abort();  // a lead byte paired with the zero
      ++i;
    }
  }
}

// One of the readers' refusals of coordinates: the fixed texts, or a PRJ
// message naming what was not understood.
bool isRefusal(const std::string& text) {
  if (text == kTextNotGeographicDegrees ||
      text == kTextCannotConvertToDegrees) {
    return true;
  }
  for (const char* format :
       {kTextPrjNotSupportedFormat, kTextPrjUnreadableFormat}) {
    const std::string f = format;
    const size_t at = f.find("%s");
    const std::string before = f.substr(0, at);
    const std::string after = f.substr(at + 2);
    if (text.size() > before.size() + after.size() &&
        text.compare(0, before.size(), before) == 0 &&
        text.compare(text.size() - after.size(), after.size(), after) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Home home;
  home.memory.putFile(home.input,
                      std::string(reinterpret_cast<const char*>(data), size));

  headless::resetUi();
  standin::resetNameDb();
  standin::resetPump();
  deleteFile(modulePath(standin::nameDbPath()).c_str());
  // Refuse every seventh item, so refusals are exercised too.
  int32_t taken = 0;
  standin::setNameItemFilter([&](int32_t call, const tagNAMEDBITEM& item) {
    checkItem(item);
    if (call % 7 == 0) return false;
    ++taken;
    return true;
  });

  ProgressDialog progress;
  progress.create(nullptr);
  const PlaceNameRead read = readE00PlaceNames(home.input, progress);

  const auto& positions = headless::windowOf(progress)->control(kProgressBarControl).positions;
  for (size_t i = 1; i < positions.size(); ++i) {
    if (positions[i] % 5 != 0 || positions[i] < 0 || positions[i] > 100) {
      std::abort();
    }
  }
  if (!headless::messages().empty()) std::abort();
  // The file opens and nobody cancels: a failure only for a file whose
  // coordinates are not degrees and cannot be converted.
  if (!read.result) {
    const char* text = failureText(read.result);
    if (text == nullptr || !isRefusal(text)) std::abort();
    standin::setNameItemFilter(nullptr);
    return 0;
  }
  if (read.namesAdded != taken) std::abort();
  if (static_cast<int32_t>(standin::nameEntries().size()) != taken) {
    std::abort();
  }
  if (standin::nameDbCalls().removeBlock.size() != (taken > 0 ? 1u : 0u)) {
    std::abort();
  }
  standin::setNameItemFilter(nullptr);
  return 0;
}
