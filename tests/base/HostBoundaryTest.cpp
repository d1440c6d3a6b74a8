#include "base/HostBoundary.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

TEST(HostBoundaryTest, NothingThrownEscapesAndOutOfMemoryTakesItsPath) {
  struct Case {
    const char* name;
    std::function<int(int*)> fn;
    bool onOutOfMemoryThrows;
    int result;
    int outOfMemoryCalls;
  };
  const Case cases[] = {
      {"result passes", [](int*) { return 7; }, false, 7, 0},
      {"bad_alloc", [](int*) -> int { throw std::bad_alloc(); }, false, 3, 1},
      {"bad_alloc, its path throws too",
       [](int*) -> int { throw std::bad_alloc(); }, true, 3, 1},
      {"other exception", [](int*) -> int { throw std::logic_error("x"); },
       false, 3, 0},
      {"not an exception type", [](int*) -> int { throw 5; }, false, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int calls = 0;
    int result = guardHostCall(3, [&] { return c.fn(&calls); }, [&] {
      ++calls;
      if (c.onOutOfMemoryThrows) throw std::bad_alloc();
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(calls, c.outOfMemoryCalls);
    EXPECT_EQ(guardHostCall(3, [&] { return c.fn(&calls); }), c.result);
  }
}

}  // namespace
