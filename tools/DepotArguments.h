// The arguments of the depot commands that morvane-host and
// morvane-window-host share: the names of data sets and depot items, and
// what set changes in a row.

#ifndef MORVANE_TOOLS_DEPOTARGUMENTS_H_
#define MORVANE_TOOLS_DEPOTARGUMENTS_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What set changes; -1 (colour: kKeep) where the command line left it.
struct RowChange {
  static constexpr uint32_t kKeep = 0xFFFFFFFF;
  uint32_t colour = kKeep;  // 0x00BBGGRR, as the colour dialog returns it
  int32_t width = -1;
  int32_t visible = -1;
};

// set's arguments, NAME [--colour RRGGBB] [--width N] [--visible 0|1], the
// name in Shift-JIS; false, after saying why on err (the usage line naming
// program), when they are wrong.
bool parseRowChange(const char* program, const std::vector<std::string>& args,
                    std::string* name, RowChange* change, FILE* err);

// A colour reference (0x00BBGGRR) as set's --colour takes it and list
// prints it: RRGGBB, red first, so that a value read from list can be given
// back to set as it stands.
std::string colourText(uint32_t colour);

// Names on the command line are UTF-8; the module's are Shift-JIS. False,
// after saying why on err, when one cannot be converted.
bool moduleNames(const char* command, const std::vector<std::string>& args,
                 std::vector<std::string>* names, FILE* err);

// A list entry is chosen once in a run of a command, so a name given twice
// needs a second run: takes from names the first occurrence of each name,
// in order, and leaves the repeats in names for the next round.
std::vector<std::string> takeNameRound(std::vector<std::string>* names);

#endif  // MORVANE_TOOLS_DEPOTARGUMENTS_H_
