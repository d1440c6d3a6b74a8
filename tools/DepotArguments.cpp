#include "tools/DepotArguments.h"

#include <algorithm>
#include <cstdio>

#include "platform/Sjis.h"

std::string colourText(uint32_t colour) {
  char text[7];
  std::snprintf(text, sizeof text, "%02X%02X%02X",
                static_cast<unsigned>(colour & 0xFF),
                static_cast<unsigned>((colour >> 8) & 0xFF),
                static_cast<unsigned>((colour >> 16) & 0xFF));
  return text;
}

bool parseRowChange(const char* program, const std::vector<std::string>& args,
                    std::string* name, RowChange* change, FILE* err) {
  if (args.size() < 3 || args.size() % 2 == 0 || args[0].empty() ||
      args[0][0] == '-') {
    std::fprintf(err,
                 "usage: %s set NAME [--colour RRGGBB] [--width N] "
                 "[--visible 0|1]\n",
                 program);
    return false;
  }
  *name = utf8ToSjis(args[0]);
  if (name->empty()) {
    std::fprintf(err, "set: %s has no Shift-JIS form\n", args[0].c_str());
    return false;
  }
  for (size_t i = 1; i + 1 < args.size(); i += 2) {
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    bool ok = false;
    if (option == "--colour") {
      ok = value.size() == 6 &&
           value.find_first_not_of("0123456789abcdefABCDEF") ==
               std::string::npos;
      if (ok) {
        uint32_t rgb = static_cast<uint32_t>(std::stoul(value, nullptr, 16));
        change->colour = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
      }
    } else if (option == "--width") {
      ok = value.size() == 1 && value[0] >= '1' && value[0] <= '9';
      if (ok) change->width = value[0] - '0';
    } else if (option == "--visible") {
      ok = value == "0" || value == "1";
      if (ok) change->visible = value[0] - '0';
    } else {
      std::fprintf(err, "set: unknown option %s\n", option.c_str());
      return false;
    }
    if (!ok) {
      std::fprintf(err, "set: bad value %s for %s\n", value.c_str(),
                   option.c_str());
      return false;
    }
  }
  return true;
}

bool moduleNames(const char* command, const std::vector<std::string>& args,
                 std::vector<std::string>* names, FILE* err) {
  for (const std::string& arg : args) {
    std::string name = utf8ToSjis(arg);
    if (name.empty()) {
      std::fprintf(err, "%s: %s has no Shift-JIS form\n", command,
                   arg.c_str());
      return false;
    }
    names->push_back(name);
  }
  return true;
}

std::vector<std::string> takeNameRound(std::vector<std::string>* names) {
  std::vector<std::string> round;
  std::vector<std::string> later;
  for (const std::string& name : *names) {
    bool seen = std::find(round.begin(), round.end(), name) != round.end();
    (seen ? later : round).push_back(name);
  }
  names->swap(later);
  return round;
}
