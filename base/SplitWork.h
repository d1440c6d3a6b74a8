// Runs independent work on two threads: the caller's and one worker that is
// joined before the call returns, so nothing outlives it and the caller
// (the host's user-interface thread) sees every result when it goes on.

#ifndef MORVANE_BASE_SPLITWORK_H_
#define MORVANE_BASE_SPLITWORK_H_

#include <cstdint>
#include <system_error>
#include <thread>

// Calls work(begin, end) for the two halves of [0, count): the second half
// on a worker thread, the first on the caller's. work must touch nothing
// the other half touches and must not throw. When no thread can be started
// the caller does both halves, in order: the results cannot depend on which
// thread did what.
template <typename Work>
void splitWork(int32_t count, const Work& work) {
  const int32_t half = count / 2;
  // Below this a thread costs more than it saves.
  constexpr int32_t kLeastToSplit = 256;
  if (count < kLeastToSplit) {
    work(0, count);
    return;
  }
  std::thread worker;
  try {
    worker = std::thread([&work, half, count] { work(half, count); });
  } catch (const std::system_error&) {
    work(0, half);
    work(half, count);
    return;
  }
  work(0, half);
  worker.join();
}

#endif  // MORVANE_BASE_SPLITWORK_H_
