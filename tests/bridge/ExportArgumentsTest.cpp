#include "bridge/ExportArguments.h"

#include <gtest/gtest.h>

namespace vek::bridge {
namespace {

std::optional<ExportCommand> read(const std::string& argument) {
  return export_command("http://export_clips/" + argument);
}

TEST(ExportArguments, ModeElementsPointsAndPaths) {
  const auto command = read("overlay;clock+speed+decimal;0@12.5;1@3.25;/a/A%20B.MOV,/b/x%2Cy.MOV");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->kind, ExportKind::Overlay);
  EXPECT_TRUE(command->overlay.clock && command->overlay.speed && command->overlay.decimal);
  EXPECT_FALSE(command->overlay.position || command->overlay.gforce || command->overlay.route);
  ASSERT_TRUE(command->in && command->out);
  EXPECT_EQ(command->in->clip, 0U);
  EXPECT_DOUBLE_EQ(command->in->seconds, 12.5);
  EXPECT_EQ(command->out->clip, 1U);
  EXPECT_DOUBLE_EQ(command->out->seconds, 3.25);
  EXPECT_EQ(command->paths, (std::vector<std::string>{"/a/A B.MOV", "/b/x,y.MOV"}));
}

TEST(ExportArguments, EmptyFieldsMeanNoElementsAndWholeClips) {
  const auto command = read("copy;;;;/a/A.MOV");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->kind, ExportKind::Copy);
  EXPECT_FALSE(command->in || command->out);
  EXPECT_FALSE(command->overlay.clock);
  EXPECT_EQ(read("reencode;;;;/a/b;c.MOV")->paths, std::vector<std::string>{"/a/b;c.MOV"})
      << "a semicolon after the fourth belongs to the paths";
}

TEST(ExportArguments, WhatDoesNotParseIsRefusedWhole) {
  for (const char* bad : {"", "overlay;clock;;", "merge;;;;/a", "overlay;sound;;;/a", "copy;;0;;/a", "copy;;@1;;/a",
                          "copy;;0@;;/a", "copy;;0@-1;;/a", "copy;;0@nan;;/a", "copy;;0@inf;;/a", "copy;;0@86401;;/a",
                          "copy;;0@1s;;/a", "copy;;-1@1;;/a", "copy;;18446744073709551616@1;;/a"}) {
    EXPECT_FALSE(read(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace vek::bridge
