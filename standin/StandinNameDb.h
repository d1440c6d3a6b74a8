// The stand-in host's place-name database (VPI_IsOpenName, VPI_NewNameDB,
// VPI_AddNameDBItem, VPI_RemoveNameDBBlock). It keeps what it is given on
// disk in the host's home folder, so that one run of the command-line host
// sees the names another run added.
//
// File: <home>/names.tsv. The first line is "#morvane-names 1"; then one
// line per name, in the order added:
//
//   NAME <TAB> LATITUDE <TAB> LONGITUDE <LF>
//
// NAME is the item's Shift-JIS bytes as the module passed them, except that
// bytes below 0x20 and "%" are written as "%" and two upper-case hex digits.
// Neither occurs inside a two-byte character (second bytes are 0x40 and
// above), so every Shift-JIS character stands in the file as it is. The
// numbers are printed with 17 significant digits and read back exactly.
//
// The database is open when the file exists and reads; VPI_NewNameDB
// creates it (empty), and never replaces something there that does not read
// as the database (a folder, an unreadable file, a symbolic link). The file is never written
// in place: names added go to a new file beside it, which replaces it at
// VPI_RemoveNameDBBlock, saveNameDb(), resetNameDb() or process exit; until
// then, and when that fails, names.tsv is as it was.
//
// VPI_AddNameDBItem gives a refusal (-1) for a name it cannot keep: no
// database open, its line could not be written (a full disk), out of
// memory. No exception of the stand-in's own leaves a VPI_ function.

#ifndef MORVANE_STANDIN_STANDINNAMEDB_H_
#define MORVANE_STANDIN_STANDINNAMEDB_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/PluginIf.h"

namespace standin {

struct NameEntry {
  std::string name;  // Shift-JIS bytes
  double latitude;
  double longitude;
};

// The names of the database in the order added (loaded from the home folder
// on first use); empty when no database is open.
const std::vector<NameEntry>& nameEntries();
bool nameDbOpen();
std::string nameDbPath();

// Test controls. A refusing filter sees each VPI_AddNameDBItem call (its
// number, 1 for the first since the reset, and the item) and returns false
// to refuse it (the call then gives -1); what it throws is passed on to the
// module, as from a host that lets an exception out. setNewNameDbFails makes
// VPI_NewNameDB fail (return 0, nothing created).
void setNameItemFilter(
    std::function<bool(int32_t call, const tagNAMEDBITEM& item)> filter);
void setNewNameDbFails(bool fails);
// The VPI_AddNameDBItem call with this number (0: none) runs out of memory
// inside the stand-in, which then refuses the name (-1).
void setNameDbOutOfMemoryAt(int32_t call);

// What the module asked, since the last reset.
struct NameDbCalls {
  int32_t isOpenName = 0;
  int32_t newNameDb = 0;
  int32_t addItem = 0;
  std::vector<std::pair<int32_t, int32_t>> removeBlock;  // arguments
};
const NameDbCalls& nameDbCalls();

// Replaces names.tsv with the names held; false when that failed (the names
// added since the last save are then forgotten, and names.tsv is as it was).
bool saveNameDb();
// The first failure to write the database since the last call (or reset),
// as a sentence naming the file; empty when there was none.
std::string nameDbError();

// Saves the names held, forgets everything held in memory (the next use
// reads the home folder again), the counters and the test controls.
void resetNameDb();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINNAMEDB_H_
