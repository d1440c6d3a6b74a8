// Message boxes without windows: each is recorded, shown to the observer
// and echoed on stderr in UTF-8, and answered with OK at once.

#include "platform/MessageBox.h"

#include <cstdio>
#include <vector>

#include "platform/Sjis.h"
#include "ui/headless/HeadlessUi.h"

namespace headless {
namespace {

struct MessageState {
  std::vector<RecordedMessage> messages;
  bool echo = true;
};

MessageState& state() {
  static MessageState s;
  return s;
}

}  // namespace

const std::vector<RecordedMessage>& messages() { return state().messages; }
void forgetMessages() { state().messages.clear(); }

void setEcho(bool on) { state().echo = on; }
bool echo() { return state().echo; }

}  // namespace headless

int32_t showMessageBox(const char* text, MessageIcon icon) {
  headless::MessageState& s = headless::state();
  s.messages.push_back({text, icon});
  if (headless::Observer* observer = headless::observer()) {
    observer->messageShown(s.messages.back());
  }
  if (s.echo) {
    std::fprintf(stderr, "%s: %s\n",
                 icon == MessageIcon::kExclamation ? "error" : "info",
                 sjisToUtf8(text).c_str());
  }
  return 1;  // IDOK
}
