// Names for the files and folders tests make in the temporary folder, unique
// across test programs running at the same time (ctest -j, or two builds
// tested at once), not only within one program.

#ifndef MORVANE_TESTS_TEMPNAME_H_
#define MORVANE_TESTS_TEMPNAME_H_

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

// A path in the temporary folder: the prefix, a token drawn once per
// process, and a counter.
inline std::string uniqueTempPath(const std::string& prefix,
                                  const std::string& suffix = "") {
  static const std::string token = [] {
    std::random_device device;
    std::mt19937_64 engine((static_cast<uint64_t>(device()) << 32) ^ device());
    return std::to_string(engine());
  }();
  static std::atomic<int> counter{0};
  return (std::filesystem::temp_directory_path() /
          (prefix + token + "-" + std::to_string(counter++) + suffix))
      .string();
}

#endif  // MORVANE_TESTS_TEMPNAME_H_
