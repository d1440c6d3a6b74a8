// Reads an .e00 file the way the C runtime's text mode hands it to fgets
// with a 255-byte buffer, but from large blocks instead of one call per line:
//
//  - a piece is at most 254 characters; a longer line comes in several
//    pieces, each counting as a line of its own;
//  - CR LF in the file reaches the reader as one LF, and the LF ends the
//    piece (it is part of it);
//  - the last piece of a file without a final line break has no LF.
//
// Positions are counted in bytes of the file as stored (a CR LF counts two),
// so progress computed from them equals what ftell would report.
//
// A compressed file (see E00Decompressor.h) is handed out as its
// uncompressed text, cut into pieces by the same rules, so that a reader
// cannot tell the two apart. It is recognised by its content: a first line
// that starts with "EXP " and fits one piece, and a second line holding the
// end-of-line code "~}" (the header's digit alone is not trusted: plain files
// that say "EXP  1" exist). The header is handed out as the uncompressed
// text has it, "EXP  1" becoming "EXP  0". Positions still count bytes of
// the file as stored; they advance a decoded line at a time. A compressed
// file that turns out damaged or cut short ends reading as a read error
// does (failed() is true); the line holding the damage is not handed out.

#ifndef MORVANE_E00_E00LINEREADER_H_
#define MORVANE_E00_E00LINEREADER_H_

#include <cstdint>
#include <memory>

#include "e00/E00Decompressor.h"
#include "platform/FileSystem.h"

enum class E00Compression {
  kNone,     // plain text
  kPartial,  // compressed; no number codes read so far
  kFull,     // compressed, and number codes were read
};

class E00LineReader {
 public:
  static constexpr int32_t kMaxPiece = 254;

  E00LineReader();
  ~E00LineReader();
  E00LineReader(const E00LineReader&) = delete;
  E00LineReader& operator=(const E00LineReader&) = delete;

  // Opens the file for reading, others may read it too. False when it
  // cannot be opened.
  bool open(const char* path);

  // Length of the file in bytes as stored.
  int64_t length() const { return length_; }

  // The next piece: *text points to size characters followed by a zero,
  // valid until the next call. False at the end of the file or on a read
  // error; failed() tells the two apart.
  bool next(const char** text, int32_t* size);

  // True once reading the file failed, or a compressed file was found
  // damaged: the pieces handed out so far are not the whole file.
  bool failed() const { return failed_; }

  // How the file is stored, known from the first call of next(); kFull
  // once a line holding a number code was handed out.
  E00Compression compression() const;

  // Bytes of the file consumed by the pieces returned so far.
  int64_t position() const { return position_; }

  void close();

 private:
  enum class Mode { kUndecided, kPlain, kCompressed };

  bool refill();
  // At the first call: reads the first block and decides how the file is
  // stored. False on a read error.
  bool start();
  bool nextCompressed(const char** text, int32_t* size);

  std::unique_ptr<PlatformFile> file_;
  int64_t length_ = 0;
  int64_t position_ = 0;
  // Raw bytes read from the file but not yet handed out.
  char* block_ = nullptr;
  int64_t blockStart_ = 0;
  int64_t blockEnd_ = 0;
  bool endOfFile_ = false;
  bool failed_ = false;
  // Index in the block of the next CR at or after blockStart_ (blockEnd_
  // when there is none), or -1 when not yet searched.
  int64_t nextCr_ = -1;
  // A piece handed out in place is ended by a zero written over the byte
  // after it; that byte is put back at the next call.
  char* restoreAt_ = nullptr;
  char restoreByte_ = 0;
  // Pieces that are not a plain run of the file's bytes (lone CRs), and
  // pieces of long decoded lines.
  char piece_[kMaxPiece + 1];

  Mode mode_ = Mode::kUndecided;
  E00Decompressor decoder_;
  // The header of a compressed file, in piece_, until it is handed out:
  // its characters and the bytes it takes in the file.
  int32_t headerSize_ = 0;
  int32_t headerStored_ = 0;
  // The part of the decoded line not yet handed out.
  int32_t lineOffset_ = 0;
  int32_t lineLeft_ = 0;
};

#endif  // MORVANE_E00_E00LINEREADER_H_
