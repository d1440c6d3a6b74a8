#include <cstring>
#include <deque>

#include "platform/FileDialog.h"
#include "ui/headless/FileDialogHeadless.h"

namespace headless {
namespace {

struct Answer {
  bool chosen;
  std::string path;
};

struct FileDialogState {
  std::deque<Answer> answers;
  std::vector<ShownFileDialog> shown;
};

FileDialogState& state() {
  static FileDialogState s;
  return s;
}

}  // namespace

void answerFileDialog(const std::string& path) {
  state().answers.push_back({true, path});
}

void cancelFileDialog() { state().answers.push_back({false, std::string()}); }

const std::vector<ShownFileDialog>& fileDialogsShown() { return state().shown; }

void resetFileDialogs() {
  state().answers.clear();
  state().shown.clear();
}

}  // namespace headless

bool showOpenFileDialog(const OpenFileDialogRequest& request, char* path) {
  headless::FileDialogState& s = headless::state();
  s.shown.push_back({request.owner, request.title ? request.title : "",
                     request.filter ? request.filter : "",
                     request.defaultExtension ? request.defaultExtension : ""});
  path[0] = '\0';
  if (s.answers.empty()) return false;
  headless::Answer answer = s.answers.front();
  s.answers.pop_front();
  if (!answer.chosen) return false;
  // GetOpenFileNameA refuses a name longer than its buffer; so do we.
  if (answer.path.size() + 1 > static_cast<size_t>(kVpiPathSize) ||
      answer.path.find('\0') != std::string::npos) {
    return false;
  }
  std::memcpy(path, answer.path.c_str(), answer.path.size() + 1);
  return true;
}
