#include "e00/E00LineReader.h"

#include <cstring>
#include <new>

namespace {

// Raw bytes read from the file at once.
constexpr int64_t kBlockSize = 1 << 20;

// Raw bytes one piece can take: 254 characters, of which only the final LF
// can stand for two bytes (CR LF), plus one byte to see what follows a CR.
// While the file has more, at least this much is kept ahead of the cursor,
// so that a piece never straddles two blocks and a CR at the end of a block
// is judged by the byte after it.
constexpr int64_t kLookahead = E00LineReader::kMaxPiece + 2;

}  // namespace

E00LineReader::E00LineReader() { piece_[0] = '\0'; }

E00LineReader::~E00LineReader() { close(); }

bool E00LineReader::open(const char* path) {
  close();
  file_ = openFileForReading(path, FileShare::kReadShared);
  if (!file_) return false;
  block_ = new (std::nothrow) char[kBlockSize];
  if (block_ == nullptr) {
    close();
    return false;
  }
  length_ = file_->length();
  if (length_ < 0) {
    close();
    return false;
  }
  return true;
}

void E00LineReader::close() {
  if (file_) file_->close();
  file_.reset();
  delete[] block_;
  block_ = nullptr;
  length_ = 0;
  position_ = 0;
  blockStart_ = 0;
  blockEnd_ = 0;
  endOfFile_ = false;
  piece_[0] = '\0';
}

// Moves the unread bytes to the front of the block and fills the rest.
// False on a read error.
bool E00LineReader::refill() {
  int64_t left = blockEnd_ - blockStart_;
  if (left > 0 && blockStart_ > 0) {
    std::memmove(block_, block_ + blockStart_, static_cast<size_t>(left));
  }
  blockStart_ = 0;
  blockEnd_ = left;
  while (!endOfFile_ && blockEnd_ < kBlockSize) {
    int64_t n = file_->read(block_ + blockEnd_, kBlockSize - blockEnd_);
    if (n < 0) return false;
    if (n == 0) {
      endOfFile_ = true;
      break;
    }
    blockEnd_ += n;
  }
  return true;
}

bool E00LineReader::next(const char** text, int32_t* size) {
  if (!file_ || block_ == nullptr) return false;
  if (blockEnd_ - blockStart_ < kLookahead && !endOfFile_) {
    if (!refill()) return false;
  }
  int64_t avail = blockEnd_ - blockStart_;
  if (avail == 0) return false;
  const char* p = block_ + blockStart_;

  // The usual line: no CR except one right before its LF.
  int64_t span = avail < kMaxPiece + 1 ? avail : kMaxPiece + 1;
  const char* lf = static_cast<const char*>(std::memchr(p, '\n', span));
  int64_t scan = lf ? lf - p : (span < kMaxPiece ? span : kMaxPiece);
  const char* cr = static_cast<const char*>(std::memchr(p, '\r', scan));
  int32_t n = -1;
  int64_t used = 0;
  if (cr == nullptr) {
    if (lf != nullptr && lf - p < kMaxPiece) {
      n = static_cast<int32_t>(lf - p + 1);
    } else {
      n = static_cast<int32_t>(scan);  // no LF within reach: a full piece
    }
    std::memcpy(piece_, p, static_cast<size_t>(n));
    used = n;
  } else if (lf != nullptr && cr == lf - 1) {
    n = static_cast<int32_t>(cr - p);
    std::memcpy(piece_, p, static_cast<size_t>(n));
    piece_[n++] = '\n';
    used = lf - p + 1;
  } else {
    // Lone CRs are characters of the line; only CR LF becomes LF.
    n = 0;
    int64_t i = 0;
    while (n < kMaxPiece && i < avail) {
      char c = p[i];
      if (c == '\r' && i + 1 < avail && p[i + 1] == '\n') {
        ++i;
        continue;
      }
      piece_[n++] = c;
      ++i;
      if (c == '\n') break;
    }
    used = i;
  }
  piece_[n] = '\0';
  blockStart_ += used;
  position_ += used;
  *text = piece_;
  *size = n;
  return true;
}
