#include "media/core/CodeMemory.h"

#include <gtest/gtest.h>

#include <map>

namespace vek::media {
namespace {

constexpr std::uint64_t kPlenty = std::uint64_t{10} << 30;

FolderProbe folders(std::map<std::string, FolderState> states) {
  return [states](const std::string& folder) {
    const auto found = states.find(folder);
    return found == states.end() ? FolderState{} : found->second;
  };
}

TEST(CodeMemory, TheFolderOrcPicksDecides) {
  const auto probe = folders({{"/run/user/1", {true, kPlenty}}, {"/home/u", {true, 0}}, {"/tmp", {true, kPlenty}}});
  EXPECT_TRUE(generated_code_is_safe("/run/user/1", "/home/u", nullptr, probe)) << "the runtime folder comes first";
  EXPECT_FALSE(generated_code_is_safe(nullptr, "/home/u", nullptr, probe)) << "a full home without a runtime folder";
  EXPECT_FALSE(generated_code_is_safe("", "/home/u", "/tmp", probe)) << "an empty variable counts as unset";
  EXPECT_FALSE(generated_code_is_safe("/run/user/gone", "/home/u", nullptr, probe)) << "an unusable runtime folder";
  EXPECT_TRUE(generated_code_is_safe(nullptr, "/home/none", nullptr, probe)) << "on to /tmp, which has room";
}

TEST(CodeMemory, HeadroomIsTheLine) {
  EXPECT_TRUE(generated_code_is_safe(nullptr, "/h", nullptr, folders({{"/h", {true, kCodeMemoryHeadroom}}})));
  EXPECT_FALSE(generated_code_is_safe(nullptr, "/h", nullptr, folders({{"/h", {true, kCodeMemoryHeadroom - 1}}})));
  EXPECT_TRUE(generated_code_is_safe(nullptr, nullptr, nullptr, folders({}))) << "nothing writable: anonymous memory";
}

}  // namespace
}  // namespace vek::media
