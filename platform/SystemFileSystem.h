// The system's own files, as the posix/ or win32/ backend provides them: the
// operations of platform/FileSystem.h without the in-memory trees. Only
// platform/FileSystem.cpp calls these; everyone else goes through
// FileSystem.h.

#ifndef MORVANE_PLATFORM_SYSTEMFILESYSTEM_H_
#define MORVANE_PLATFORM_SYSTEMFILESYSTEM_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace system_files {

std::unique_ptr<PlatformFile> openFileForReading(const char* path,
                                                 FileShare share);
std::unique_ptr<PlatformFile> openFileForWriting(const char* path,
                                                 FileCreation creation);
FileKind fileKind(const char* path);
bool fileStamp(const char* path, FileStamp* stamp);
bool isSymbolicLink(const char* path);
bool renameFile(const char* from, const char* to);
bool createDirectory(const char* path);
bool deleteFile(const char* path);
bool deleteFolderTree(const char* path);
bool findFirstFile(const char* pattern);
std::vector<std::string> folderEntries(const char* folder);

}  // namespace system_files

#endif  // MORVANE_PLATFORM_SYSTEMFILESYSTEM_H_
