// The depot robot natively: the module's menus invoked through the
// stand-in host session, its dialogs answered by the headless robot
// (ui/headless/HeadlessUi.h), the side panel's rows read from the headless
// windows made from the row template, as a host finds the module's windows.

#ifndef MORVANE_TOOLS_HEADLESSDEPOTROBOT_H_
#define MORVANE_TOOLS_HEADLESSDEPOTROBOT_H_

#include <cstddef>

#include "tools/DepotRobot.h"
#include "tools/ToolSession.h"

class HeadlessDepotRobot : public DepotRobot {
 public:
  // session must outlive this. The messages taken start with the first
  // shown since the last headless::resetUi().
  explicit HeadlessDepotRobot(ToolSession& session) : session_(session) {}

  MenuOutcome choose(DepotMenu menu, const DialogAnswers& answers,
                     bool* namesMissing) override;
  std::vector<PanelRow> panelRows() override;
  bool showIn3d() override;
  void setVisible(const PanelRow& row, bool visible) override;
  void setWidth(const PanelRow& row, int width) override;
  void setColour(const PanelRow& row, uint32_t colour) override;
  std::vector<ShownMessage> takeMessages() override;
  std::string printedPath(const char* file) override;

 private:
  ToolSession& session_;
  size_t reported_ = 0;
};

#endif  // MORVANE_TOOLS_HEADLESSDEPOTROBOT_H_
