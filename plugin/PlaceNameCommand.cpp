#include "plugin/PlaceNameCommand.h"

#include <cstdio>
#include <memory>

#include "base/HostBoundary.h"
#include "e00/E00PlaceNameReader.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "resources/Texts.h"
#include "ui/FailureMessage.h"
#include "ui/ProgressDialog.h"

int32_t importPlaceNamesFile(const char* path) {
  auto progress = std::make_unique<ProgressDialog>();
  progress->create(VPI_GetMainWnd());
  const PlaceNameRead read = readE00PlaceNames(path, *progress);
  // Told over the progress dialog; a reading that went to its end (or found
  // no database to add to) then shows the bar full.
  const bool ended =
      read.result ||
      read.result.reason() == FailureReason::kCannotCreateNameDb;
  if (read.result) {
    char message[128];
    std::snprintf(message, sizeof message, kTextNamesAddedFormat,
                  read.namesAdded);
    showMessageBox(message, MessageIcon::kInformation);
  } else {
    showFailure(read.result);
  }
  if (ended) progress->setPosition(100);
  progress->destroyWindow();
  return ended ? 1 : 0;
}

namespace {

int32_t runPlaceNameCommand(int32_t message, intptr_t lParam) {
  if (message == kMenuQueryEnabled) {
    *reinterpret_cast<int32_t*>(lParam) = 1;
  } else if (message == kMenuRunCommand) {
    OpenFileDialogRequest request = {VPI_GetMainWnd(),
                                     kTextPlaceNameFileDialogTitle,
                                     kTextE00FileFilter, "e00"};
    char path[kVpiPathSize];
    if (!showOpenFileDialog(request, path)) return 0;
    importPlaceNamesFile(path);
    VPI_UpdateAllViews(1);
  }
  return 0;
}

}  // namespace

int32_t placeNameCommand(int32_t message, uintptr_t /*wParam*/,
                         intptr_t lParam) {
  return guardHostCall(
      0, [&] { return runPlaceNameCommand(message, lParam); },
      [] { showMessageBox(kTextOutOfMemory, MessageIcon::kExclamation); });
}
