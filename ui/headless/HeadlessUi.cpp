#include "ui/headless/HeadlessUi.h"

#include <algorithm>
#include <cstdio>

#include "platform/Sjis.h"

namespace headless {
namespace {

struct ScheduledClick {
  int32_t pumpNumber;
  int32_t templateId;
  int32_t controlId;
};

struct UiState {
  std::vector<RecordedMessage> messages;
  std::vector<Dialog*> dialogs;
  std::vector<ScheduledClick> clicks;
  bool echo = true;
  bool progressEcho = true;
  bool progressLineOpen = false;
};

UiState& state() {
  static UiState s;
  return s;
}

}  // namespace

const std::vector<RecordedMessage>& messages() { return state().messages; }

void setEcho(bool on) { state().echo = on; }
bool echo() { return state().echo; }

void setProgressEcho(bool on) { state().progressEcho = on; }
bool progressEcho() { return state().echo && state().progressEcho; }

void setProgressLineOpen(bool open) { state().progressLineOpen = open; }

void endProgressLine() {
  if (!state().progressLineOpen) return;
  std::fputc('\n', stderr);
  state().progressLineOpen = false;
}

void registerDialog(Dialog* dialog) { state().dialogs.push_back(dialog); }

void unregisterDialog(Dialog* dialog) {
  auto& d = state().dialogs;
  d.erase(std::remove(d.begin(), d.end(), dialog), d.end());
}

Dialog* findDialog(int32_t templateId) {
  auto& d = state().dialogs;
  for (auto it = d.rbegin(); it != d.rend(); ++it) {
    if ((*it)->templateId() == templateId) return *it;
  }
  return nullptr;
}

void scheduleClick(int32_t pumpNumber, int32_t templateId, int32_t controlId) {
  state().clicks.push_back({pumpNumber, templateId, controlId});
}

void dispatchPending(int32_t pumpNumber) {
  auto& clicks = state().clicks;
  std::vector<ScheduledClick> due;
  for (const auto& c : clicks) {
    if (c.pumpNumber == pumpNumber) due.push_back(c);
  }
  clicks.erase(std::remove_if(clicks.begin(), clicks.end(),
                              [&](const ScheduledClick& c) {
                                return c.pumpNumber == pumpNumber;
                              }),
               clicks.end());
  for (const auto& c : due) {
    if (Dialog* d = findDialog(c.templateId)) d->click(c.controlId);
  }
}

void resetUi() {
  UiState& s = state();
  s.messages.clear();
  s.clicks.clear();
  s.dialogs.clear();
}

}  // namespace headless

int32_t showMessageBox(const char* text, MessageIcon icon) {
  headless::state().messages.push_back({text, icon});
  if (headless::echo()) {
    headless::endProgressLine();
    std::fprintf(stderr, "%s: %s\n",
                 icon == MessageIcon::kExclamation ? "error" : "info",
                 sjisToUtf8(text).c_str());
  }
  return 1;  // IDOK
}
