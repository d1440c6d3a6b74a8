// Shared by the cache file tests: a fresh depot folder per test, and an
// independent writer of the cache layout (plain byte shifts, nothing shared
// with the module's archive code) to compare files with.

#ifndef MORVANE_TESTS_DATASET_CACHEFILETESTSUPPORT_H_
#define MORVANE_TESTS_DATASET_CACHEFILETESTSUPPORT_H_

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "platform/FileSystem.h"
#include "standin/StandinProgressBar.h"
#include "tests/TempName.h"
#include "ui/headless/HeadlessUi.h"

namespace cache_test {

namespace fs = std::filesystem;

inline void putInt32(std::vector<unsigned char>& out, int64_t value) {
  uint32_t u = static_cast<uint32_t>(value);
  out.push_back(static_cast<unsigned char>(u));
  out.push_back(static_cast<unsigned char>(u >> 8));
  out.push_back(static_cast<unsigned char>(u >> 16));
  out.push_back(static_cast<unsigned char>(u >> 24));
}

// The documented layout: 100, colour, width, 3D flag, visible, 100, N,
// then latitude and longitude of every point.
inline std::vector<unsigned char> documentedBytes(
    uint32_t colour, int32_t width, int32_t showIn3d, int32_t visible,
    const std::vector<LinePoint>& points, int32_t headerVersion = 100,
    int32_t blockVersion = 100) {
  std::vector<unsigned char> out;
  putInt32(out, headerVersion);
  putInt32(out, colour);
  putInt32(out, width);
  putInt32(out, showIn3d);
  putInt32(out, visible);
  putInt32(out, blockVersion);
  putInt32(out, static_cast<int64_t>(points.size()));
  for (const LinePoint& p : points) {
    putInt32(out, p.latitude);
    putInt32(out, p.longitude);
  }
  return out;
}

inline std::vector<LinePoint> pointsOf(const LineDataSet& d) {
  return std::vector<LinePoint>(d.points.data(),
                                d.points.data() + d.points.size());
}

inline std::vector<unsigned char> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& path,
                       const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A fresh, empty depot folder for every test, removed afterwards; depot
// holds its module path for LineDataSet::depotPath.
class DepotFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info =
        ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = uniqueTempPath(std::string("morvane-cache-") +
                             info->test_suite_name() + "-" + info->name() +
                             "-");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    setDepot(folder_);
    headless::resetUi();
    headless::setEcho(false);
    standin::resetProgressBar();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Points depot at a native folder (which need not exist).
  void setDepot(const fs::path& native) {
    std::string module = modulePath(native.string());
    ASSERT_FALSE(module.empty());
    ASSERT_LT(module.size(), sizeof(depot_));
    std::memcpy(depot_, module.c_str(), module.size() + 1);
  }

  // A data set as the creators make it: constructed, cleared, named.
  std::unique_ptr<LineDataSet> makeDataSet(const std::string& name) {
    auto d = std::make_unique<LineDataSet>(1);
    d->clear();
    d->name = name;
    d->depotPath = depot_;
    return d;
  }

  fs::path folder_;
  char depot_[kVpiPathSize];
};

}  // namespace cache_test

#endif  // MORVANE_TESTS_DATASET_CACHEFILETESTSUPPORT_H_
