// Runs independent work on two threads: the caller's and one worker that is
// joined before the call returns, so nothing outlives it and the caller
// (the host's user-interface thread) sees every result when it goes on.

#ifndef MORVANE_BASE_SPLITWORK_H_
#define MORVANE_BASE_SPLITWORK_H_

#include <atomic>
#include <cstdint>
#include <system_error>
#include <thread>

// Calls work(begin, end) once for each piece of [0, count), the pieces
// following each other, each taken by whichever of the two threads is free
// first: a worker that starts late, or a thread the system gives less time
// than the other, leaves more pieces to the other, and neither waits for
// the other longer than one piece takes. work must touch nothing another
// piece touches and must not throw. When no thread can be started the
// caller does every piece, in order: the results cannot depend on which
// thread did what.
template <typename Work>
void splitWork(int32_t count, const Work& work) {
  // Small enough that the last piece keeps the other thread waiting only
  // briefly, large enough that taking one costs nothing beside it.
  constexpr int32_t kPiece = 512;
  // Below this a thread costs more than it saves.
  constexpr int32_t kLeastToSplit = 2 * kPiece;
  if (count < kLeastToSplit) {
    if (count > 0) work(0, count);
    return;
  }
  // 64 bits: taking the pieces past the end cannot wrap around.
  std::atomic<int64_t> next{0};
  auto takePieces = [&work, &next, count] {
    for (;;) {
      const int64_t begin = next.fetch_add(kPiece, std::memory_order_relaxed);
      if (begin >= count) return;
      const int64_t end = count - begin < kPiece ? count : begin + kPiece;
      work(static_cast<int32_t>(begin), static_cast<int32_t>(end));
    }
  };
  std::thread worker;
  try {
    worker = std::thread(takePieces);
  } catch (const std::system_error&) {
    takePieces();
    return;
  }
  takePieces();
  worker.join();
}

#endif  // MORVANE_BASE_SPLITWORK_H_
