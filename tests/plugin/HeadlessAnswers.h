// Answers to the module's dialogs on the headless user interface that more
// than one test gives.

#ifndef MORVANE_TESTS_PLUGIN_HEADLESSANSWERS_H_
#define MORVANE_TESTS_PLUGIN_HEADLESSANSWERS_H_

#include "resources/DialogIds.h"
#include "ui/headless/HeadlessUi.h"

// The next reopen dialog answered as a user answers it with "read new":
// the radio button chosen, then OK.
inline void answerReopenWithReadNew() {
  headless::onModalDialog([](headless::Window& w) {
    w.control(reopen_dialog::kOpenPreviousRadio).checked = false;
    w.control(reopen_dialog::kReadNewRadio).checked = true;
    w.click(reopen_dialog::kReadNewRadio);
    w.click(reopen_dialog::kOk);
  });
}

#endif  // MORVANE_TESTS_PLUGIN_HEADLESSANSWERS_H_
