// Feeds arbitrary bytes to LineDataSet::readE00Arcs as an .e00 file, and
// checks what must hold whatever the bytes: a successful read leaves
// well-formed arcs (no leading or doubled separator, no vertex holding the
// separator value), bounds that are exactly those of the vertices, compacted
// storage and a bar that climbed in steps of 5 to 100; a failed read says
// why, and the reader shows nothing either way.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "fuzz/FuzzSupport.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is handed to the reader as a file in memory.
  const char* input = memoryInputFile(data, size);
  headless::resetUi();
  headless::setEcho(false);
  ProgressDialog progress;
  progress.create(nullptr);
  LineDataSet set(1);
  set.clear();
  const Result read = readE00Arcs(set, input, progress);

  check(headless::messages().empty(), "the reader shows no message");
  if (!read) {
    check(failureText(read) != nullptr, "a failure says why");
    return 0;
  }

  UnitBounds box = kEmptyBounds;
  for (int32_t i = 0; i < set.points.size(); ++i) {
    const LinePoint& p = set.points[i];
    if (isSeparator(p)) {
      check(i > 0 && !isSeparator(set.points[i - 1]),
            "separators stand between arcs");
      check(p.longitude == kSeparatorLatitude, "separator is all ones");
      continue;
    }
    check(p.longitude != kSeparatorLatitude, "no vertex holds 0x7FFFFFFF");
    if (p.latitude < box.top) box.top = p.latitude;
    if (p.latitude > box.bottom) box.bottom = p.latitude;
    if (p.longitude < box.left) box.left = p.longitude;
    if (p.longitude > box.right) box.right = p.longitude;
  }
  check(box.left == set.bounds.left && box.top == set.bounds.top &&
            box.right == set.bounds.right && box.bottom == set.bounds.bottom,
        "bounds are those of the vertices");
  check(set.points.capacity() == set.points.size(), "storage compacted");

  const std::vector<int32_t>& shown = headless::windowOf(progress)->control(kProgressBarControl).positions;
  check(shown.size() >= 3 && shown.back() == 100, "bar ends at 100");
  // The dialog's own 0, the reader's 0, the steps shown, the final 100.
  for (size_t i = 1; i < shown.size(); ++i) {
    check(shown[i] % 5 == 0 && shown[i] >= 0 && shown[i] <= 100,
          "bar moves in steps of 5");
    if (i >= 3 && i + 1 < shown.size()) {
      check(shown[i] > shown[i - 1], "bar climbs");
    }
  }
  return 0;
}
