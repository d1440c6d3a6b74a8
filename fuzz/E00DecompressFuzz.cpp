// Feeds arbitrary bytes to E00LineReader as an .e00 file and checks what
// must hold whatever the bytes: every piece is 1 to 254 characters followed
// by a zero, only its last character may be an LF, positions never go back
// nor past the file's length; and when the file is taken as compressed, the
// pieces are exactly those of its lines decoded in memory by
// E00Decompressor (the header first, "EXP  1" as "EXP  0"), up to the end
// or to the damage, which the reader then reports as failed.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "e00/E00Decompressor.h"
#include "e00/E00LineReader.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is handed to the reader as a file in memory.
  const char* input = memoryInputFile(data, size);
  E00LineReader reader;
  check(reader.open(input), "the file opens");
  std::vector<std::string> pieces;
  const char* text;
  int32_t pieceSize;
  int64_t last = 0;
  while (reader.next(&text, &pieceSize)) {
    check(pieceSize >= 1 && pieceSize <= E00LineReader::kMaxPiece,
          "a piece holds 1 to 254 characters");
    check(text[pieceSize] == '\0', "a zero follows the piece");
    const void* lf = std::memchr(text, '\n', static_cast<size_t>(pieceSize));
    check(lf == nullptr || lf == text + pieceSize - 1,
          "an LF only ends a piece");
    check(reader.position() >= last, "positions never go back");
    check(reader.position() <= static_cast<int64_t>(size),
          "positions stay in the file");
    last = reader.position();
    pieces.emplace_back(text, static_cast<size_t>(pieceSize));
  }
  check(reader.compression() == E00Compression::kNone || !pieces.empty(),
        "a compressed file has its header");
  if (reader.compression() == E00Compression::kNone) {
    check(!reader.failed(), "a plain file is read to its end");
    return 0;
  }

  // The same text decoded in memory, cut into pieces.
  const char* bytes = reinterpret_cast<const char*>(data);
  const char* lf = static_cast<const char*>(std::memchr(bytes, '\n', size));
  check(lf != nullptr, "a compressed file has a header line");
  check(pieces[0].compare(0, 4, "EXP ") == 0, "the header comes first");
  std::vector<std::string> expected = {pieces[0]};
  E00Decompressor decoder;
  const char* cursor = lf + 1;
  const char* end = bytes + size;
  bool damaged = false;
  for (;;) {
    E00Decompressor::Result r = decoder.decodeLine(&cursor, end, true);
    if (r == E00Decompressor::Result::kEnd) break;
    if (r == E00Decompressor::Result::kDamaged) {
      damaged = true;
      break;
    }
    for (int32_t at = 0; at < decoder.lineSize();
         at += E00LineReader::kMaxPiece) {
      int32_t n = decoder.lineSize() - at;
      if (n > E00LineReader::kMaxPiece) n = E00LineReader::kMaxPiece;
      expected.emplace_back(decoder.line() + at, static_cast<size_t>(n));
    }
  }
  check(reader.failed() == damaged, "damage is reported as a failure");
  check(pieces == expected, "the reader hands out the decoded lines");
  check(damaged || reader.position() == static_cast<int64_t>(size),
        "an undamaged file is read to its end");
  return 0;
}
