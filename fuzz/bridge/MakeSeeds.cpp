// Writes the command fuzzer's seed corpus: one navigation of each kind the
// page sends, with the path shapes WebKit produces. Usage: MakeSeeds DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr const char* kSeeds[] = {
    "http://file_del_fun//media/card/DCIM/FILE0001.MOV,",
    "http://file_del_fun//media/my%20card/FILE%200001.MOV,/a/B.MOV,",
    "http://file_copy_fun/",
    "http://check_file//nowhere/A.MOV,/media/%E8%BB%8A/A.MOV",
    "http://get_photo/file:///media/card/FILE0001.MOV;1;5",
    "http://get_photo/file:///x.MOV;-2147483648;99999999999",
    "http://get_full_photo/",
    "http://open_dir/",
    "http://recode/",
    "http://norecode/",
    "http://save_set/mi,CHT",
    "http://merger//a/A.MOV,/a/A.MOV,/b/%C3%A9t%C3%A9.MOV",
    "http://merger/%FF%FE,%,%4,%zz",
    "http://merger//a/it's%20a\\b\n%27%0A.MOV",
    "file:///usr/share/vek/www/index.html",
    "https://www.openstreetmap.org/copyright",
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: MakeSeeds DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::filesystem::create_directories(folder);
  int index = 0;
  for (const char* seed : kSeeds) {
    std::ofstream(folder / ("command-" + std::to_string(index++))) << seed;
  }
  return 0;
}
