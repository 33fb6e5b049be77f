#include "ClipBuilder.h"
#include "MovBuilder.h"
#include "base/files/Publisher.h"
#include "support/ScratchFolder.h"
#include "track/TrackPath.h"
#include "track/io/Extract.h"
#include "track/io/Home.h"
#include "track/io/MappedFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>
#include <vector>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;

class TrackIo : public ::testing::Test {
 protected:
  static std::string read(const fs::path& path) { return vek::test::ScratchFolder::read(path); }
  static void write(const fs::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }
  std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {})); }

  const vek::test::ScratchFolder scratch_{"vek-io"};
  const fs::path& folder_ = scratch_.path();
};

TEST_F(TrackIo, AtomicWriteCreatesAndReplacesWithoutLeftovers) {
  const fs::path target = folder_ / "A.data";
  ASSERT_TRUE(base::publish_file(target, "first\n", base::PublishMode::Replace));
  EXPECT_EQ(read(target), "first\n");
  ASSERT_TRUE(base::publish_file(target, "second", base::PublishMode::Replace));
  EXPECT_EQ(read(target), "second");
  EXPECT_EQ(entries(), 1U) << "no temporary file is left";
}

TEST_F(TrackIo, AtomicWriteIntoAMissingFolderFailsCleanly) {
  IoError error;
  EXPECT_FALSE(base::publish_file(folder_ / "missing" / "A.data", "x", base::PublishMode::Replace, &error));
  EXPECT_NE(error.message.find("cannot create"), std::string::npos) << error.message;
  EXPECT_NE(error.detail.find("No such file"), std::string::npos) << error.detail;
}

// A file-size limit makes the write fail part-way, as a full disk does.
TEST_F(TrackIo, FailedWriteKeepsThePreviousFile) {
  const fs::path target = folder_ / "A.data";
  write(target, "previous");
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ::getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  IoError error;
  const bool written = base::publish_file(target, std::string(100000, 'x'), base::PublishMode::Replace, &error);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_NE(error.message.find("cannot write"), std::string::npos) << error.message;
  EXPECT_EQ(read(target), "previous");
  EXPECT_EQ(entries(), 1U);
}

TEST_F(TrackIo, MapsFilesAndRefusesFoldersAndMissingFiles) {
  write(folder_ / "clip.MOV", "gps0 bytes");
  IoError error;
  auto mapped = MappedFile::open(folder_ / "clip.MOV", error);
  ASSERT_TRUE(mapped.has_value());
  EXPECT_EQ(mapped->bytes().size(), 10U);
  EXPECT_EQ(static_cast<char>(mapped->bytes()[5]), 'b');

  write(folder_ / "empty.MOV", "");
  auto empty = MappedFile::open(folder_ / "empty.MOV", error);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->bytes().empty());

  EXPECT_FALSE(MappedFile::open(folder_, error).has_value());
  EXPECT_NE(error.message.find("is a folder"), std::string::npos);
  EXPECT_FALSE(MappedFile::open(folder_ / "none.MOV", error).has_value());
  EXPECT_NE(error.message.find("no such file"), std::string::npos);
}

TEST_F(TrackIo, ExtractWritesAtHomePlusSavepath) {
  fs::create_directories(folder_ / "VEK" / "data");
  write(folder_ / "C.MOV", "no markers here");
  const ExtractResult result =
      extract_clip(folder_ / "C.MOV", folder_, "/VEK/data/C.data", "C.MOV", Form::standard, {});
  ASSERT_TRUE(result.written) << result.error.message;
  EXPECT_EQ(result.track_path, folder_ / "VEK" / "data" / "C.data");
  EXPECT_EQ(read(result.track_path), "//C12\ndata['C.MOV']=new Array();\n");

  const ExtractResult missing =
      extract_clip(folder_ / "none.MOV", folder_, "/VEK/data/none.data", "none.MOV", Form::standard, {});
  EXPECT_FALSE(missing.written);
  EXPECT_FALSE(fs::exists(missing.track_path));
}

// The caller's records land with the track, whole; one that cannot be
// written is logged and costs only itself.
TEST_F(TrackIo, ExtractPublishesTheRecordsBesideWithTheTrack) {
  write(folder_ / "C.MOV", "no markers here");
  write(folder_ / "C.data.id", "an older clip's record\n");
  const RecordBeside beside[] = {{folder_ / "C.data.id", "15 1700000000\n/card/C.MOV\n"},
                                 {folder_ / "missing" / "C.note", "text"}};
  std::vector<std::string> lines;
  const ExtractResult result = extract_clip(
      folder_ / "C.MOV", folder_, "/C.data", "C.MOV", Form::standard,
      [&](std::string_view line) { lines.emplace_back(line); }, nullptr, ReadMode::located, kMaxTrackBytes, nullptr,
      beside);
  ASSERT_TRUE(result.written) << result.error.message;
  EXPECT_EQ(read(folder_ / "C.data"), "//C12\ndata['C.MOV']=new Array();\n");
  EXPECT_EQ(read(folder_ / "C.data.family"), "no GPS data found\n");
  EXPECT_EQ(read(folder_ / "C.data.id"), "15 1700000000\n/card/C.MOV\n");
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("missing/C.note") != std::string::npos; }),
            1)
      << "one line for the record that could not be written";
  EXPECT_EQ(entries(), 4U) << "the clip, the track and two records; no temporary";
}

TEST_F(TrackIo, ClipNamesUpToTheFileSystemLimitGetATrack) {
  fs::create_directories(folder_ / "VEK" / "data");
  for (const std::size_t length : {230U, 245U, 250U}) {
    const std::string name = std::string(length - 4, 'c') + ".MOV";
    write(folder_ / name, "no markers here");
    const ExtractResult result =
        extract_clip(folder_ / name, folder_, relative_track_path(name), name, Form::standard, {});
    EXPECT_TRUE(result.written) << length << ": " << result.error.message << " (" << result.error.detail << ")";
    EXPECT_TRUE(fs::exists(result.track_path)) << length;
  }
}

TEST_F(TrackIo, ExtractNeverReplacesAFileThatIsNoTrackFile) {
  fs::create_directories(folder_ / "VEK" / "data");
  const fs::path settings = folder_ / "VEK" / "data" / "ini.txt";
  write(settings, "mile,CHT");
  write(folder_ / "ini.txt", "no markers here");
  const ExtractResult result =
      extract_clip(folder_ / "ini.txt", folder_, relative_track_path("ini.txt"), "ini.txt", Form::standard, {});
  EXPECT_FALSE(result.written);
  EXPECT_NE(result.error.message.find("not a clip name"), std::string::npos) << result.error.message;
  EXPECT_EQ(read(settings), "mile,CHT");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "VEK" / "data"), {}), 1) << "no temporary either";
}

TEST_F(TrackIo, ExtractStreamsLargeTextsWhole) {
  // Enough close-form records to pass the spill size several times.
  test::ClipBuilder clip(36 * 2000);
  clip.ascii(0, "gps0");
  std::ofstream(folder_ / "L.MOV", std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.bytes().data()), static_cast<std::streamsize>(clip.size()));
  const ExtractResult result = extract_clip(folder_ / "L.MOV", folder_, "/L.data", "L.MOV", Form::close, {});
  ASSERT_TRUE(result.written);
  EXPECT_EQ(read(result.track_path), splitData_new_close(clip.bytes(), "L.MOV"));
  EXPECT_GT(fs::file_size(result.track_path), 3 * TextOut::kSpillSize);
}

TEST_F(TrackIo, AFifoNamedLikeAClipIsRefusedWithoutWaitingForAWriter) {
  const fs::path fifo = folder_ / "FIFO.MOV";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::promise<ExtractResult> outcome;
  std::thread reader(
      [&] { outcome.set_value(extract_clip(fifo, folder_, "/FIFO.data", "FIFO.MOV", Form::standard, {})); });
  std::future<ExtractResult> done = outcome.get_future();
  const bool returned = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  if (!returned)  // let the blocked open go, so the test can end
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  reader.join();
  ASSERT_TRUE(returned) << "the open waited for a writer";
  const ExtractResult result = done.get();
  EXPECT_FALSE(result.written);
  EXPECT_NE(result.error.message.find("is not a regular file"), std::string::npos) << result.error.message;
  EXPECT_FALSE(fs::exists(folder_ / "FIFO.data"));
}

TEST_F(TrackIo, ATrackPastTheCapIsNotWrittenAndSaysWhy) {
  test::ClipBuilder clip(36 * 200);
  clip.ascii(0, "gps0");
  write(folder_ / "B.MOV", std::string_view(reinterpret_cast<const char*>(clip.bytes().data()), clip.size()));
  const std::string text = splitData_new_close(clip.bytes(), "B.MOV");
  const ExtractResult fits = extract_clip(folder_ / "B.MOV", folder_, "/B.data", "B.MOV", Form::close, {}, nullptr,
                                          ReadMode::located, text.size());
  EXPECT_TRUE(fits.written) << "a text of exactly the cap is written";
  EXPECT_FALSE(fits.too_large);
  EXPECT_TRUE(fs::exists(folder_ / "B.data.family")) << "a written track gets its family record";
  fs::remove(folder_ / "B.data");
  fs::remove(folder_ / "B.data.family");
  const ExtractResult over = extract_clip(folder_ / "B.MOV", folder_, "/B.data", "B.MOV", Form::close, {}, nullptr,
                                          ReadMode::located, text.size() - 1);
  EXPECT_FALSE(over.written);
  EXPECT_TRUE(over.too_large);
  EXPECT_NE(over.error.message.find("track too large"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder_ / "B.data"));
  EXPECT_FALSE(fs::exists(folder_ / "B.data.family")) << "nor a record of a track not written";
  EXPECT_EQ(entries(), 1U) << "no temporary file is left";
}

// An indexed clip whose two freeGPS blocks hold an enciphered LIGOGPSINFO log.
void write_enciphered_clip(const fs::path& path) {
  test::ByteVector block;
  test::put_be(block, 256, 4);
  test::put_text(block, "freeGPS ");
  block.resize(48);
  test::put_text(block, "LIGOGPSINFO");
  block.resize(256, std::byte{0x5A});
  block[59] = std::byte{0};
  test::MovBuilder mov;
  mov.add(test::atom("ftyp", test::ByteVector(8)));
  test::ByteVector media = block;
  media.insert(media.end(), block.begin(), block.end());
  mov.add(test::atom("mdat", media));
  mov.add(test::atom("moov", test::atom("gps ", test::gps_index({{24, 256}, {280, 256}}, 2))));
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(mov.view().data()), static_cast<std::streamsize>(mov.view().size()));
}

TEST_F(TrackIo, AnEncipheredClipGetsATrackWithoutRows) {
  write_enciphered_clip(folder_ / "E.MOV");
  for (const ReadMode mode : {ReadMode::located, ReadMode::full_scan}) {
    const ExtractResult result =
        extract_clip(folder_ / "E.MOV", folder_, "/E.data", "E.MOV", Form::standard, {}, nullptr, mode);
    ASSERT_TRUE(result.written) << result.error.message;
    EXPECT_EQ(read(folder_ / "E.data"), "data['E.MOV']=new Array();") << "never read as another layout";
  }
}

// One freeGPS box near the start and one near the end of a 1 MiB clip.
void write_two_box_clip(const fs::path& path) {
  test::ClipBuilder clip(1 << 20);
  for (const std::size_t at : {std::size_t{100}, std::size_t{900000}})
    clip.ascii(at, "freeGPS").u16be(at + 44 + 6, 2016);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.bytes().data()), static_cast<std::streamsize>(clip.size()));
}

TEST_F(TrackIo, ClipThatShrinksWhileMappedReadsAsZerosAndIsFlagged) {
  const fs::path path = folder_ / "S.MOV";
  write_two_box_clip(path);
  IoError error;
  const auto mapped = MappedFile::open(path, error);
  ASSERT_TRUE(mapped.has_value());
  EXPECT_TRUE(mapped->intact());
  fs::resize_file(path, 4096);  // as a pulled memory card or another program would
  const std::string text = splitData(mapped->bytes(), "S.MOV");
  EXPECT_FALSE(mapped->intact());
  EXPECT_EQ(test::count_of(text, "\n"), 10U) << "the lost box reads as zeros";
}

TEST_F(TrackIo, ExtractOfAClipThatShrinksWritesNothing) {
  const fs::path path = folder_ / "S.MOV";
  write_two_box_clip(path);
  const fs::path target = folder_ / "S.data";
  write(target, "previous");
  // The first log line comes before the search: the clip shrinks mid-parse.
  const LogSink shrink = [&](std::string_view) { fs::resize_file(path, 4096); };
  const ExtractResult result = extract_clip(path, folder_, "/S.data", "S.MOV", Form::close, shrink);
  EXPECT_FALSE(result.written);
  EXPECT_NE(result.error.message.find("changed or removed while it was read"), std::string::npos);
  EXPECT_EQ(read(target), "previous");
  EXPECT_EQ(entries(), 2U) << "clip and previous track, no temporary file";
}

TEST_F(TrackIo, CancelledExtractionWritesNothingAndLeavesNoTemporaryFile) {
  const fs::path path = folder_ / "S.MOV";
  write_two_box_clip(path);
  write(folder_ / "S.data", "previous");
  Cancellation before;
  before.cancel();
  const ExtractResult early = extract_clip(path, folder_, "/S.data", "S.MOV", Form::standard, {}, &before);
  EXPECT_TRUE(early.cancelled);
  EXPECT_FALSE(early.written);

  // Cancelled while the parser runs: the temporary file exists by then.
  Cancellation during;
  const LogSink cancel = [&](std::string_view) { during.cancel(); };
  const RecordBeside beside[] = {{folder_ / "S.data.id", "record"}};
  const ExtractResult late = extract_clip(path, folder_, "/S.data", "S.MOV", Form::close, cancel, &during,
                                          ReadMode::located, kMaxTrackBytes, nullptr, beside);
  EXPECT_TRUE(late.cancelled);
  EXPECT_FALSE(late.written);
  EXPECT_TRUE(late.error.message.empty()) << "a cancel is no failure";
  EXPECT_EQ(read(folder_ / "S.data"), "previous");
  EXPECT_EQ(entries(), 2U) << "no record either";
}

TEST(Home, FromEnvironmentOrPasswordDatabase) {
  const char* saved = std::getenv("HOME");
  const std::string before = saved ? saved : "";
  ::setenv("HOME", "/some/home", 1);
  EXPECT_EQ(home_directory(), fs::path("/some/home"));
  ::setenv("HOME", "", 1);
  EXPECT_TRUE(home_directory().is_absolute());
  ::setenv("HOME", before.c_str(), 1);
}

}  // namespace
}  // namespace vek::track::io
