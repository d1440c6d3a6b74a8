// The file operations of the module: a path under a mounted in-memory tree
// goes to that tree, every other path to the system's backend.

#include "platform/FileSystem.h"

#include "platform/MemoryFileSystem.h"
#include "platform/SystemFileSystem.h"

std::unique_ptr<PlatformFile> openFileForReading(const char* path,
                                                 FileShare share) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->openForReading(path, share);
  }
  return system_files::openFileForReading(path, share);
}

std::unique_ptr<PlatformFile> openFileForWriting(const char* path,
                                                 FileCreation creation) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->openForWriting(path, creation);
  }
  return system_files::openFileForWriting(path, creation);
}

FileKind fileKind(const char* path) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->kind(path);
  }
  return system_files::fileKind(path);
}

bool fileStamp(const char* path, FileStamp* stamp) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->stamp(path, stamp);
  }
  return system_files::fileStamp(path, stamp);
}

bool isSymbolicLink(const char* path) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->isLink(path);
  }
  return system_files::isSymbolicLink(path);
}

bool renameFile(const char* from, const char* to) {
  MemoryFileSystem* memory = MemoryFileSystem::owning(from);
  if (memory != nullptr || MemoryFileSystem::owning(to) != nullptr) {
    // Between a tree and the disk there is no rename, as between volumes.
    return memory != nullptr && memory->rename(from, to);
  }
  return system_files::renameFile(from, to);
}

bool createDirectory(const char* path) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->makeDirectory(path);
  }
  return system_files::createDirectory(path);
}

bool deleteFile(const char* path) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->remove(path);
  }
  return system_files::deleteFile(path);
}

bool deleteFolderTree(const char* path) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(path)) {
    return memory->removeTree(path);
  }
  return system_files::deleteFolderTree(path);
}

std::vector<std::string> folderEntries(const char* folder) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(folder)) {
    return memory->entries(folder);
  }
  return system_files::folderEntries(folder);
}

bool findFirstFile(const char* pattern) {
  if (MemoryFileSystem* memory = MemoryFileSystem::owning(pattern)) {
    return memory->findFirst(pattern);
  }
  return system_files::findFirstFile(pattern);
}
