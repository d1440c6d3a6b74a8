// A cache file that does not fit on a real POSIX disk (beside the in-memory
// one of CacheFileDiskFullTest.cpp, this is the kernel's own behaviour):
// a file-size limit that stops writing at byte k, for every k of a small
// file, and a small tmpfs that fills up (mounted when the tests may). An
// earlier cache file stays byte for byte through a failed save.

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "resources/Texts.h"
#include "tests/dataset/CacheFileTestSupport.h"

namespace {

using namespace cache_test;

// Saves through saveCache, counting the saves refused for a full disk
// since the count was last set to 0; the cache itself never shows a
// message.
int gDiskFull = 0;
Result save(LineDataSet& d) {
  const Result result = saveCache(d);
  if (result.reason() == FailureReason::kDepotDiskFull) ++gDiskFull;
  EXPECT_TRUE(result || result.reason() == FailureReason::kDepotDiskFull);
  EXPECT_TRUE(headless::messages().empty());
  return result;
}
int diskFullMessages() { return gDiskFull; }

std::vector<LinePoint> somePoints(int32_t n) {
  std::vector<LinePoint> points;
  for (int32_t i = 0; i < n; ++i) points.push_back({i, -i});
  return points;
}

class CacheFileDiskFullTest : public DepotFixture {};

TEST_F(CacheFileDiskFullTest, WriteStoppedAtEveryByteLeavesNoFile) {
  // 600 points: 4828 bytes, more than one 4096-byte buffer, so both a
  // write during the data and the flush at close fail somewhere.
  const int32_t n = 600;
  const int64_t size = cache_format::fileSize(n);
  auto d = makeDataSet("full");
  for (const LinePoint& p : somePoints(n)) d->points.append(p);
  const std::vector<unsigned char> expected =
      documentedBytes(0x0000FFFF, 1, 1, 1, somePoints(n));

  // Past the limit the kernel refuses the write (EFBIG) instead of
  // stopping the process.
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);

  for (int64_t k = 0; k <= size; ++k) {
    headless::resetUi();
    headless::setEcho(false);
    gDiskFull = 0;
    struct rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(k);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    save(*d);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    if (k < size) {
      ASSERT_FALSE(fs::exists(folder_ / "full.bin")) << k;
      ASSERT_EQ(diskFullMessages(), 1) << k;
    } else {
      EXPECT_EQ(readBytes(folder_ / "full.bin"), expected);
      EXPECT_EQ(diskFullMessages(), 0);
    }
    ASSERT_EQ(d->points.size(), n);  // the data set is not touched
  }
  sigaction(SIGXFSZ, &previous, nullptr);
}

class CacheFileTmpfsTest : public DepotFixture {
 protected:
  void SetUp() override {
    DepotFixture::SetUp();
    mountPoint_ = folder_ / "small";
    fs::create_directory(mountPoint_);
    if (mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    }
    mounted_ = true;
    setDepot(mountPoint_ / "depot");
  }
  void TearDown() override {
    if (mounted_) umount(mountPoint_.c_str());
    DepotFixture::TearDown();
  }

  fs::path mountPoint_;
  bool mounted_ = false;
};

TEST_F(CacheFileTmpfsTest, FullDiskLeavesNoFileAndSaysSoOncePerSave) {
  gDiskFull = 0;
  auto small = makeDataSet("small");
  for (const LinePoint& p : somePoints(1000)) small->points.append(p);
  save(*small);
  EXPECT_EQ(diskFullMessages(), 0);
  ASSERT_TRUE(fs::exists(mountPoint_ / "depot" / "small.bin"));

  auto big = makeDataSet("big");
  for (const LinePoint& p : somePoints(20000)) big->points.append(p);
  save(*big);
  EXPECT_FALSE(fs::exists(mountPoint_ / "depot" / "big.bin"));
  EXPECT_EQ(diskFullMessages(), 1);
  save(*big);
  EXPECT_FALSE(fs::exists(mountPoint_ / "depot" / "big.bin"));
  EXPECT_EQ(diskFullMessages(), 2);

  // The first file is whole and still reads.
  auto back = makeDataSet("small");
  EXPECT_EQ(loadCache(*back), 1);
  EXPECT_EQ(back->points.size(), 1000);

  // Growing the small data set past the room: the rewrite fails, and the
  // file it would have replaced stays whole and still reads.
  const std::vector<unsigned char> before =
      readBytes(mountPoint_ / "depot" / "small.bin");
  for (const LinePoint& p : somePoints(19000)) small->points.append(p);
  EXPECT_FALSE(save(*small));
  EXPECT_EQ(readBytes(mountPoint_ / "depot" / "small.bin"), before);
  EXPECT_EQ(diskFullMessages(), 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(mountPoint_ / "depot"),
                          fs::directory_iterator()),
            1);  // no temporary file left
  back = makeDataSet("small");
  EXPECT_EQ(readCache(*back), CacheLoad::kWhole);
  EXPECT_EQ(back->points.size(), 1000);
}

}  // namespace
