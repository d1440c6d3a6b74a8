// How morvane-host gets a line data set from a file named on the command
// line, the way the module would: an .e00 file through the arc reader, a
// .bin cache file through loadCache. Shared by the subcommands so that they
// accept the same files and refuse them with the same words.

#ifndef MORVANE_TOOLS_DATASETFILE_H_
#define MORVANE_TOOLS_DATASETFILE_H_

#include <string>

#include "dataset/LineDataSet.h"
#include "host/PluginIf.h"

// The module path of a native path; empty after printing why (prefixed with
// the command's name) when it cannot be given to the module: too long for a
// 260-byte path, a character without a Shift-JIS form, a backslash in a
// Linux name.
std::string modulePathOrComplain(const char* command,
                                 const std::string& nativePath);

// True, after printing why, when the module path names something that is no
// regular file: a directory, a FIFO, a device, a name that matches several
// files, or (unless missingIsFine) nothing. Looked at without opening it, so
// nothing blocks.
bool refuseKind(const char* command, const std::string& nativePath,
                const std::string& path, bool missingIsFine);

// modulePathOrComplain for a file to be read, which must be a regular file
// or missing (the reader then says it cannot read it).
std::string inputPathOrComplain(const char* command,
                                const std::string& nativePath);

// Whether two module paths name one file as the system finds it.
bool sameFile(const std::string& a, const std::string& b);

// Whether the path names a cache file (".bin", in any case).
bool isCacheFileName(const std::string& nativePath);

// Reads the arcs of an .e00 file, with headless progress labelled with the
// file's name without its extension, as the open command labels it. False
// when the file cannot be read; the reader or this function has said why.
bool readE00File(const char* command, const std::string& nativePath,
                 LineDataSet& data);

// Reads a cache file as the module reopens a data set: the file's folder
// plays the depot folder (copied into depot, which must outlive data) and
// its name without ".bin" the data set's name. False, after saying why, when
// the file cannot be read whole.
bool readCacheFile(const char* command, const std::string& nativePath,
                   LineDataSet& data, char (&depot)[kVpiPathSize]);

// readCacheFile for a ".bin" name, readE00File for any other.
bool readDataSetFile(const char* command, const std::string& nativePath,
                     LineDataSet& data, char (&depot)[kVpiPathSize]);

#endif  // MORVANE_TOOLS_DATASETFILE_H_
