// The stand-in host's profile values (VPI_GetProfileInt,
// VPI_WriteProfileInt): integers kept per plug-in handle and key, persisted
// in "<home>/profile.tsv" so that the next run of the host reads them back.
//
// File: the first line "#morvane-profile 1", then one line per value:
//
//   PLUGIN <TAB> KEY <TAB> VALUE <LF>
//
// PLUGIN and VALUE decimal, KEY escaped as standin/StandinFiles.h
// describes. The file is rewritten (atomically) at every write. A file that
// cannot be understood gives the defaults: it is renamed to
// "profile.tsv.bad", so that it is not lost, and reported on stderr.

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
