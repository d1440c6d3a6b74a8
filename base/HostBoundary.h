// The guard around every function the host calls (menu callbacks, layer and
// point callbacks, entry points): no exception crosses into the host, which
// is not C++ and could not unwind our frames.
//
//   return guardHostCall(kPointEnd, [&] { return drawNextPoint(index); });
//
// guardHostCall runs fn and returns its result. If fn throws, the host gets
// fallback instead: the result its protocol documents for an operation that
// ended (a menu callback's 0, a point callback's "end"). Given onOutOfMemory,
// a std::bad_alloc first takes the operation's own out-of-memory path (its
// message box); whatever that throws is swallowed too.

#ifndef MORVANE_BASE_HOSTBOUNDARY_H_
#define MORVANE_BASE_HOSTBOUNDARY_H_

#include <new>
#include <type_traits>

// The result type is fn's; fallback converts to it.
template <typename Fn, typename OnOutOfMemory>
std::invoke_result_t<Fn&> guardHostCall(std::invoke_result_t<Fn&> fallback,
                                        Fn&& fn,
                                        OnOutOfMemory&& onOutOfMemory) noexcept {
  try {
    return fn();
  } catch (const std::bad_alloc&) {
    try {
      onOutOfMemory();
    } catch (...) {
    }
  } catch (...) {
  }
  return fallback;
}

template <typename Fn>
std::invoke_result_t<Fn&> guardHostCall(std::invoke_result_t<Fn&> fallback,
                                        Fn&& fn) noexcept {
  return guardHostCall(fallback, fn, [] {});
}

#endif  // MORVANE_BASE_HOSTBOUNDARY_H_
