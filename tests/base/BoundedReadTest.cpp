#include "base/files/BoundedRead.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/ScratchFolder.h"

namespace vek::base {
namespace {

using test::ScratchFolder;

TEST(ReadRegularFile, ReadsAFileUpToItsCapExactly) {
  const ScratchFolder folder;
  const auto path = folder.write("FILE.nmea", "12345");
  FileError error;
  EXPECT_EQ(read_regular_file(path, 5, error), std::optional<std::string>("12345"));
  EXPECT_EQ(read_regular_file(folder.write("EMPTY.gps", ""), 5, error), std::optional<std::string>(""));
}

TEST(ReadRegularFile, RefusesAFileOverItsCapWithoutReadingIt) {
  const ScratchFolder folder;
  const auto path = folder / "BIG.nmea";
  std::filesystem::resize_file(folder.write("BIG.nmea", ""), std::uintmax_t{1} << 30);  // sparse: a gigabyte of holes
  FileError error;
  EXPECT_FALSE(read_regular_file(path, 5, error).has_value());
  EXPECT_EQ(error.message, path.string() + ": too large");
  EXPECT_NE(error.detail.find("1073741824 bytes"), std::string::npos) << error.detail;
}

TEST(ReadRegularFile, RefusesAFifoAtOnceAndAFolder) {
  const ScratchFolder folder;
  const auto fifo = folder / "FILE.gps";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FileError error;
  EXPECT_FALSE(read_regular_file(fifo, 1024, error).has_value()) << "no writer: opening must not block";
  EXPECT_EQ(error.message, fifo.string() + ": not a regular file");
  EXPECT_FALSE(read_regular_file(folder.path(), 1024, error).has_value());
  EXPECT_EQ(error.message, folder.path().string() + ": not a regular file");
}

TEST(ReadRegularFile, AMissingFileSaysSo) {
  const ScratchFolder folder;
  FileError error;
  EXPECT_FALSE(read_regular_file(folder / "gone.srt", 1024, error).has_value());
  EXPECT_EQ(error.message, (folder / "gone.srt").string() + ": cannot be read");
  EXPECT_FALSE(error.detail.empty());
}

}  // namespace
}  // namespace vek::base
