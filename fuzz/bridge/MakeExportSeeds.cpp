// Writes the export-argument fuzzer's seed corpus: arguments as the page
// sends them (after the command's marker) and near misses. Usage: MakeExportSeeds DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr const char* kSeeds[] = {
    "reencode;;;;/media/card/A.MOV",
    "overlay;clock+speed+position+gforce+route;0@12.500;1@3.250;/a/A.MOV,/a/B.MOV",
    "overlay;speed+decimal;;0@59.999;/media/my%20card/FILE%200001.MOV",
    "copy;;2@0.000;;/a/A.MOV,/b/%C3%A9t%C3%A9.MOV,/c/x%2Cy.MOV",
    "copy;;0@1e2;0@86400;/a/%FF%FE.MOV",
    "overlay;clock++route;;;",
    "reencode;;0@-1;;/a/A.MOV",
    "reencode;;0@nan;;/a/A.MOV",
    "copy;;18446744073709551616@1;;/a/A.MOV",
    "overlay;sound;;;/a/A.MOV",
    "merge;;;;/a/A.MOV",
    "copy;;0@1;0@2",
    "overlay;clock;0@1;0@2;http://export_clips/a;b,http://merger/c",
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: MakeExportSeeds DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::filesystem::create_directories(folder);
  int index = 0;
  for (const char* seed : kSeeds) {
    std::ofstream(folder / ("export-" + std::to_string(index++))) << seed;
  }
  return 0;
}
