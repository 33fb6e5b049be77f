#include "ClipBuilder.h"
#include "io/AtomicFile.h"
#include "io/Extract.h"
#include "io/Home.h"
#include "io/MappedFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;

class TrackIo : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("vek-io-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const fs::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {})); }

    fs::path folder_;
};

TEST_F(TrackIo, AtomicWriteCreatesAndReplacesWithoutLeftovers)
{
    const fs::path target = folder_ / "A.data";
    ASSERT_TRUE(write_file_atomically(target, "first\n"));
    EXPECT_EQ(read(target), "first\n");
    ASSERT_TRUE(write_file_atomically(target, "second"));
    EXPECT_EQ(read(target), "second");
    EXPECT_EQ(entries(), 1U) << "no temporary file is left";
}

TEST_F(TrackIo, AtomicWriteIntoAMissingFolderFailsCleanly)
{
    IoError error;
    EXPECT_FALSE(write_file_atomically(folder_ / "missing" / "A.data", "x", &error));
    EXPECT_NE(error.message.find("cannot create"), std::string::npos) << error.message;
    EXPECT_NE(error.detail.find("No such file"), std::string::npos) << error.detail;
}

// A file-size limit makes the write fail part-way, as a full disk does.
TEST_F(TrackIo, FailedWriteKeepsThePreviousFile)
{
    const fs::path target = folder_ / "A.data";
    write(target, "previous");
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    IoError error;
    const bool written = write_file_atomically(target, std::string(100000, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.message.find("cannot write"), std::string::npos) << error.message;
    EXPECT_EQ(read(target), "previous");
    EXPECT_EQ(entries(), 1U);
}

TEST_F(TrackIo, MapsFilesAndRefusesFoldersAndMissingFiles)
{
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

TEST_F(TrackIo, ExtractWritesAtHomePlusSavepath)
{
    fs::create_directories(folder_ / "VEK" / "data");
    write(folder_ / "C.MOV", "no markers here");
    const ExtractResult result = extract_clip(folder_ / "C.MOV", folder_, "/VEK/data/C.data", "C.MOV", Form::standard, {});
    ASSERT_TRUE(result.written) << result.error.message;
    EXPECT_EQ(result.track_path, folder_ / "VEK" / "data" / "C.data");
    EXPECT_EQ(read(result.track_path), "//C12\ndata['C.MOV']=new Array();\n");

    const ExtractResult missing = extract_clip(folder_ / "none.MOV", folder_, "/VEK/data/none.data", "none.MOV",
                                               Form::standard, {});
    EXPECT_FALSE(missing.written);
    EXPECT_FALSE(fs::exists(missing.track_path));
}

TEST_F(TrackIo, ExtractStreamsLargeTextsWhole)
{
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

TEST(Home, FromEnvironmentOrPasswordDatabase)
{
    const char* saved = std::getenv("HOME");
    const std::string before = saved ? saved : "";
    ::setenv("HOME", "/some/home", 1);
    EXPECT_EQ(home_directory(), fs::path("/some/home"));
    ::setenv("HOME", "", 1);
    EXPECT_TRUE(home_directory().is_absolute());
    ::setenv("HOME", before.c_str(), 1);
}

} // namespace
} // namespace vek::track::io
