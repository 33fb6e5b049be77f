// Writes the seed corpus of the camera family fuzz target: one well-formed
// payload of each family, the same cut into samples, and a few truncations.
// Usage: vek-families-fuzz-seeds FOLDER

#include "FamilyPayloads.h"
#include "Int32TrioPayloads.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using vek::track::formats::test::ByteWriter;
namespace payloads = vek::track::formats::test;

void write(const std::filesystem::path& folder, const std::string& name, const std::vector<std::byte>& bytes) {
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A lead byte telling the target to cut the rest into samples of `size` bytes.
std::vector<std::byte> as_samples(const ByteWriter& sample) {
  ByteWriter out;
  out.u8(static_cast<std::uint8_t>(sample.size() - 1)).bytes(sample.view()).bytes(sample.view());
  return out.vector();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const std::string rmc_line = payloads::nmea(payloads::kRmcBody) + "\r\n";
  write(folder, "freegps-clock", payloads::freegps_clock_atom().vector());
  write(folder, "xor-record", as_samples(payloads::xor_record()));
  write(folder, "camm", payloads::camm_sample().vector());
  write(folder, "subtitle-binary", payloads::subtitle_binary_288().vector());
  write(folder, "subtitle-gsensor", payloads::subtitle_sample("gsensori,2,512,1,2,3;" + rmc_line).vector());
  write(folder, "nmea-log", payloads::bytes_of("[1456852307000]" + rmc_line + "$GSENSORD,0.1,0.2,0.9\n"));
  write(folder, "map", payloads::bytes_of("A,010316,090507,2502.0378,N,12133.8681,E,36.0,12,-3,1010;\n"));
  write(folder, "srt-new", payloads::bytes_of(payloads::srt_new_dialect()));
  write(folder, "srt-old", payloads::bytes_of(payloads::srt_old_dialect()));
  write(folder, "v02-log", payloads::bytes_of(payloads::v02_log()));
  write(folder, "gps-box", payloads::gps_box_payload().vector());
  write(folder, "int32-atom", payloads::int32_atom().vector());
  ByteWriter aitg_clip;
  aitg_clip.u32be(16).text("ftyp").text("qt  ").zeros(4).bytes(payloads::aitg_trailer().view());
  write(folder, "aitg-clip", aitg_clip.vector());
  ByteWriter gps0_xor_clip;
  auto gps0_record = payloads::xor_record().vector();
  gps0_record.resize(311, std::byte{0xAA});
  gps0_xor_clip.u32be(16).text("ftyp").text("qt  ").zeros(4);
  gps0_xor_clip.u32be(8 + 2 * 311).text("gps0").bytes(gps0_record).bytes(gps0_record);
  write(folder, "gps0-xor-clip", gps0_xor_clip.vector());
  ByteWriter gps_box_clip;
  const auto box = payloads::gps_box_payload();
  gps_box_clip.u32be(8 + 108).text("moov").u32be(108).text("mvhd").zeros(4).u32be(3539667907U).zeros(92);
  gps_box_clip.u32be(static_cast<std::uint32_t>(8 + box.size())).text("GPS ").bytes(box.view());
  write(folder, "gps-box-clip", gps_box_clip.vector());
  auto truncated = payloads::freegps_clock_atom().vector();
  truncated.resize(90);
  write(folder, "freegps-truncated", truncated);
  return 0;
}
