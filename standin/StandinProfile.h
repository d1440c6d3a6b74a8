// The stand-in host's profile values (VPI_GetProfileInt,
// VPI_WriteProfileInt): integers kept per plug-in handle and key, persisted
// in "<home>/profile.tsv" so that the next run of the host reads them back.
//
// File: the first line "#morvane-profile 1", then one line per value:
//
//   PLUGIN <TAB> KEY <TAB> VALUE <LF>
//
// PLUGIN and VALUE decimal, KEY escaped as standin/StandinFiles.h
// describes; every line ends in its line feed. The file is replaced whole
// at every write (platform/ReplacingFile.h); a write that fails gives 0,
// keeps the value held as the file has it, and is told on stderr and
// remembered for the exit code (standin/StandinFiles.h). A host start
// refuses a file that cannot be understood, or a folder, FIFO, device or
// link in its place (profileReadable); met outside a start, such a file
// gives the defaults: an unreadable one is renamed to "profile.tsv.bad",
// so that it is not lost, and reported on stderr; one that is no file is
// left alone and never replaced.

#ifndef MORVANE_STANDIN_STANDINPROFILE_H_
#define MORVANE_STANDIN_STANDINPROFILE_H_

#include <string>

namespace standin {

std::string profilePath();

// Whether the profile file can be understood (or does not exist yet), read
// without touching it; false with *problem saying which file and why.
bool profileReadable(std::string* problem);

// Forgets the values held in memory; the next call reads the file again.
void resetProfile();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINPROFILE_H_
