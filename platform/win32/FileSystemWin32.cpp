// Files and directories through the Win32 ANSI functions: the module's paths
// are already Windows paths in the ANSI code page, so they go to the system
// as they are.

#include "platform/SystemFileSystem.h"

#include <windows.h>

#include <cstring>

#include "platform/Sjis.h"

namespace {

// Paths longer than a 260-byte buffer can hold are refused before the
// system sees them.
bool usablePath(const char* path) {
  return path != nullptr && path[0] != '\0' && std::strlen(path) < MAX_PATH;
}

class Win32File : public PlatformFile {
 public:
  Win32File() : handle_(INVALID_HANDLE_VALUE) {}
  ~Win32File() override { close(); }
  // Takes over an open handle.
  void adopt(HANDLE handle) { handle_ = handle; }

  int64_t length() override {
    LARGE_INTEGER size;
    if (handle_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_, &size)) {
      return -1;
    }
    return size.QuadPart;
  }

  int64_t read(void* buffer, int64_t bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE || bytes < 0) return -1;
    char* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < bytes) {
      DWORD chunk = static_cast<DWORD>(
          bytes - done < kChunk ? bytes - done : kChunk);
      DWORD got = 0;
      if (!ReadFile(handle_, out + done, chunk, &got, nullptr)) {
        return done > 0 ? done : -1;
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  bool write(const void* buffer, int64_t bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE || bytes < 0) return false;
    const char* in = static_cast<const char*>(buffer);
    while (bytes > 0) {
      DWORD chunk = static_cast<DWORD>(bytes < kChunk ? bytes : kChunk);
      DWORD written = 0;
      if (!WriteFile(handle_, in, chunk, &written, nullptr) || written == 0) {
        return false;
      }
      in += written;
      bytes -= written;
    }
    return true;
  }

  bool flush() override {
    return handle_ != INVALID_HANDLE_VALUE && FlushFileBuffers(handle_) != 0;
  }

  bool close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != 0;
  }

 private:
  // ReadFile and WriteFile take 32-bit counts.
  static constexpr int64_t kChunk = 1 << 30;
  HANDLE handle_;
};

// file is made before the handle is opened: running out of memory once it
// is open would leak the handle, and with it the file's sharing lock.
std::unique_ptr<PlatformFile> wrap(std::unique_ptr<Win32File> file,
                                   HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  file->adopt(handle);
  return file;
}

}  // namespace

namespace system_files {

std::unique_ptr<PlatformFile> openFileForReading(const char* path,
                                                 FileShare share) {
  if (!usablePath(path)) return nullptr;
  // A directory cannot be opened this way (it would need
  // FILE_FLAG_BACKUP_SEMANTICS), which is what the contract wants. A shared
  // reader lets writers in, as the runtime's text-mode fopen does: an .e00
  // file that another program is still writing (a copy in progress, a GIS
  // tool that keeps it open) can be read. Such a program has to let readers
  // in itself, so openFileForWriting below still keeps a reader out.
  std::unique_ptr<Win32File> file(new Win32File());
  DWORD shareMode = share == FileShare::kExclusive
                        ? 0
                        : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE handle = CreateFileA(path, GENERIC_READ, shareMode, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  // A named pipe or a device (CON, NUL, COM1) opens too; only disk files are
  // files here.
  if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return nullptr;
  }
  return wrap(std::move(file), handle);
}

std::unique_ptr<PlatformFile> openFileForWriting(const char* path,
                                                 FileCreation creation) {
  if (!usablePath(path)) return nullptr;
  // CREATE_ALWAYS truncates only once the open has succeeded, so a file
  // held open elsewhere is left as it is. It would truncate the target of a
  // symbolic link, so a reparse point there is refused first. CREATE_NEW
  // fails on any name taken, a link included; FILE_FLAG_OPEN_REPARSE_POINT
  // makes sure that no reparse point is followed to create its target.
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  DWORD disposition = CREATE_NEW;
  if (creation == FileCreation::kNew) {
    flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  } else {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return nullptr;
    }
    disposition = CREATE_ALWAYS;
  }
  std::unique_ptr<Win32File> file(new Win32File());
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition,
                              flags, nullptr);
  if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return nullptr;
  }
  return wrap(std::move(file), handle);
}

FileKind fileKind(const char* path) {
  if (!usablePath(path)) return FileKind::kUnusable;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? FileKind::kMissing
               : FileKind::kOther;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::kDevice;
  return FileKind::kFile;
}

bool fileStamp(const char* path, FileStamp* stamp) {
  if (!usablePath(path)) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  // A reparse point (a symbolic link, a junction) is not followed.
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY |
                               FILE_ATTRIBUTE_DEVICE |
                               FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  stamp->size = static_cast<int64_t>(
      (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  stamp->modified = static_cast<int64_t>(
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool isSymbolicLink(const char* path) {
  if (!usablePath(path)) return false;
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool renameFile(const char* from, const char* to) {
  // MOVEFILE_REPLACE_EXISTING replaces the file in one step (a symbolic
  // link there is replaced itself, never followed); without
  // MOVEFILE_COPY_ALLOWED a move to another volume fails instead of copying.
  // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk. A
  // target held open, or a directory, is refused by the system; a device
  // name (CON, NUL) is no file to replace.
  if (!usablePath(from) || !usablePath(to)) return false;
  HANDLE probe = CreateFileA(to, 0, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                        FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT |
                                 FILE_FLAG_BACKUP_SEMANTICS,
                             nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    DWORD type = GetFileType(probe);
    CloseHandle(probe);
    if (type != FILE_TYPE_DISK) return false;
  }
  return MoveFileExA(from, to,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool createDirectory(const char* path) {
  return usablePath(path) && CreateDirectoryA(path, nullptr) != 0;
}

bool deleteFile(const char* path) {
  return usablePath(path) && DeleteFileA(path) != 0;
}

// Deletes what is in folder (a path ending without a backslash), deepest
// first; a reparse point (a link, a junction) is deleted itself, never
// entered.
static bool deleteInside(const std::string& folder) {
  if (folder.size() + 4 >= MAX_PATH) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool all = true;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (path.size() >= MAX_PATH) {
      all = false;
      continue;
    }
    const DWORD attributes = found.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        all = deleteInside(path) && all;
      }
      all = RemoveDirectoryA(path.c_str()) != 0 && all;
    } else {
      all = DeleteFileA(path.c_str()) != 0 && all;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return all;
}

bool deleteFolderTree(const char* path) {
  if (!usablePath(path)) return false;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) deleteInside(path);
  return RemoveDirectoryA(path) != 0;
}

std::vector<std::string> folderEntries(const char* folder) {
  std::vector<std::string> names;
  if (!usablePath(folder) || std::strlen(folder) + 2 >= MAX_PATH) return names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(folder) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  // Closed however this ends (out of memory included).
  struct Search {
    HANDLE handle;
    ~Search() { FindClose(handle); }
  } owner{search};
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  return names;
}

bool findFirstFile(const char* pattern) {
  if (!usablePath(pattern)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace system_files

std::string hostPath(const char* path) {
  if (!usablePath(path)) return std::string();
  return path;
}

std::string modulePath(const std::string& nativePath) {
  // Native paths are UTF-8 on both backends (test data folders compiled into
  // the programs, std::filesystem's u8string); the module's are Shift-JIS.
  std::string sjis = utf8ToSjis(nativePath);
  if (sjis.find('?') != std::string::npos &&
      nativePath.find('?') == std::string::npos) {
    return std::string();  // a character without a Shift-JIS form
  }
  // A path with a drive letter or a UNC path is already a Windows path.
  if ((sjis.size() >= 2 && sjis[1] == ':') ||
      sjis.compare(0, 2, "\\\\") == 0) {
    return sjis;
  }
  // A path from the Linux side of Wine: Wine's drive Z: is the Linux root.
  // '/' is never the second byte of a Shift-JIS character.
  std::string out = !sjis.empty() && sjis[0] == '/' ? "Z:" : "";
  for (char c : sjis) out += c == '/' ? '\\' : c;
  return out;
}

const char* textLineEnd() { return "\r\n"; }
