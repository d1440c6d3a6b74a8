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

// Whether the line that starts at begin holds the end-of-line code "~}"
// before its LF (or before end).
bool holdsEndOfLineCode(const char* begin, const char* end) {
  for (const char* p = begin; p + 1 < end && *p != '\n'; ++p) {
    if (p[0] == '~' && p[1] == '}') return true;
  }
  return false;
}

}  // namespace

E00LineReader::E00LineReader() { piece_[0] = '\0'; }

E00LineReader::~E00LineReader() { close(); }

bool E00LineReader::open(const char* path) {
  close();
  file_ = openFileForReading(path, FileShare::kReadShared);
  if (!file_) return false;
  // One byte more for the zero after a piece that ends the data read.
  block_ = new (std::nothrow) char[kBlockSize + 1];
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
  failed_ = false;
  nextCr_ = -1;
  restoreAt_ = nullptr;
  piece_[0] = '\0';
  mode_ = Mode::kUndecided;
  decoder_.reset();
  headerSize_ = 0;
  headerStored_ = 0;
  lineOffset_ = 0;
  lineLeft_ = 0;
}

E00Compression E00LineReader::compression() const {
  if (mode_ != Mode::kCompressed) return E00Compression::kNone;
  return decoder_.sawNumbers() ? E00Compression::kFull
                               : E00Compression::kPartial;
}

bool E00LineReader::start() {
  if (!refill()) return false;
  mode_ = Mode::kPlain;
  const char* p = block_;
  const int64_t avail = blockEnd_;
  if (avail < 4 || std::memcmp(p, "EXP ", 4) != 0) return true;
  // The header must be one piece, its LF included.
  const void* found = std::memchr(p, '\n', static_cast<size_t>(
                                                avail < kMaxPiece ? avail
                                                                  : kMaxPiece));
  if (found == nullptr) return true;
  const int64_t lf = static_cast<const char*>(found) - p;
  const int64_t window = avail - (lf + 1) < E00Decompressor::kMaxStoredLine
                             ? avail - (lf + 1)
                             : E00Decompressor::kMaxStoredLine;
  if (!holdsEndOfLineCode(p + lf + 1, p + lf + 1 + window)) return true;

  mode_ = Mode::kCompressed;
  // The header as text mode reads it: CR LF becomes LF, lone CRs stay.
  int32_t n = static_cast<int32_t>(lf);
  if (n > 0 && p[n - 1] == '\r') --n;
  std::memcpy(piece_, p, static_cast<size_t>(n));
  piece_[n++] = '\n';
  piece_[n] = '\0';
  // The uncompressed text says "EXP  0" where the file says "EXP  1".
  int32_t i = 3;
  while (i < n && piece_[i] == ' ') ++i;
  if (i + 1 < n && piece_[i] == '1' &&
      (piece_[i + 1] == ' ' || piece_[i + 1] == '\n')) {
    piece_[i] = '0';
  }
  headerSize_ = n;
  headerStored_ = static_cast<int32_t>(lf + 1);
  return true;
}

bool E00LineReader::nextCompressed(const char** text, int32_t* size) {
  if (failed_) return false;
  if (headerSize_ > 0) {
    blockStart_ += headerStored_;
    position_ += headerStored_;
    *text = piece_;
    *size = headerSize_;
    headerSize_ = 0;
    return true;
  }
  if (lineLeft_ == 0) {
    if (blockEnd_ - blockStart_ < E00Decompressor::kMaxStoredLine &&
        !endOfFile_) {
      if (!refill()) return false;
    }
    const char* begin = block_ + blockStart_;
    const char* cursor = begin;
    E00Decompressor::Result result =
        decoder_.decodeLine(&cursor, block_ + blockEnd_, endOfFile_);
    if (result == E00Decompressor::Result::kDamaged) {
      failed_ = true;
      return false;
    }
    blockStart_ += cursor - begin;
    position_ += cursor - begin;
    if (result == E00Decompressor::Result::kEnd) return false;
    lineOffset_ = 0;
    lineLeft_ = decoder_.lineSize();
  }
  // A decoded line longer than a piece comes in several, as in a plain file.
  const char* line = decoder_.line() + lineOffset_;
  if (lineLeft_ <= kMaxPiece) {
    *text = line;  // the line's own zero follows
    *size = lineLeft_;
  } else {
    std::memcpy(piece_, line, kMaxPiece);
    piece_[kMaxPiece] = '\0';
    *text = piece_;
    *size = kMaxPiece;
  }
  lineOffset_ += *size;
  lineLeft_ -= *size;
  return true;
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
  nextCr_ = -1;
  while (!endOfFile_ && blockEnd_ < kBlockSize) {
    int64_t n = file_->read(block_ + blockEnd_, kBlockSize - blockEnd_);
    if (n < 0) {
      failed_ = true;
      return false;
    }
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
  if (mode_ != Mode::kPlain) {
    if (mode_ == Mode::kUndecided && !start()) return false;
    if (mode_ == Mode::kCompressed) return nextCompressed(text, size);
  }
  if (restoreAt_ != nullptr) {
    *restoreAt_ = restoreByte_;
    restoreAt_ = nullptr;
  }
  if (blockEnd_ - blockStart_ < kLookahead && !endOfFile_) {
    if (!refill()) return false;
  }
  int64_t avail = blockEnd_ - blockStart_;
  if (avail == 0) return false;
  char* p = block_ + blockStart_;

  // The usual line: no CR except one right before its LF. Most files have
  // no CR at all, so the next one is searched once per block, not per line.
  int64_t span = avail < kMaxPiece + 1 ? avail : kMaxPiece + 1;
  char* lf = static_cast<char*>(std::memchr(p, '\n', span));
  int64_t scan = lf ? lf - p : (span < kMaxPiece ? span : kMaxPiece);
  if (nextCr_ < blockStart_) {
    void* found = std::memchr(p, '\r', static_cast<size_t>(avail));
    nextCr_ = found ? static_cast<char*>(found) - block_ : blockEnd_;
  }
  char* cr = nextCr_ - blockStart_ < scan ? block_ + nextCr_ : nullptr;
  int32_t n;
  int64_t used;
  if (cr == nullptr) {
    // In place: the byte after the piece becomes its zero for a while.
    if (lf != nullptr && lf - p < kMaxPiece) {
      n = static_cast<int32_t>(lf - p + 1);
    } else {
      n = static_cast<int32_t>(scan);  // no LF within reach: a full piece
    }
    used = n;
    restoreAt_ = p + n;
    restoreByte_ = p[n];
    p[n] = '\0';
    *text = p;
  } else if (lf != nullptr && cr == lf - 1) {
    // In place: CR LF becomes LF and a zero, both bytes being used up.
    n = static_cast<int32_t>(cr - p) + 1;
    *cr = '\n';
    *lf = '\0';
    used = lf - p + 1;
    *text = p;
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
    piece_[n] = '\0';
    *text = piece_;
  }
  blockStart_ += used;
  position_ += used;
  *size = n;
  return true;
}
