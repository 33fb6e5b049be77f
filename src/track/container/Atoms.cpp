#include "track/container/Atoms.h"

#include <algorithm>

namespace vek::track::container {
namespace {

constexpr std::uint64_t kHeader = 8;
constexpr std::uint64_t kLargeHeader = 16;
constexpr std::uint32_t kSizeIsLarge = 1;
constexpr std::uint32_t kSizeToEnd = 0;

std::uint64_t big_endian(Bytes bytes) noexcept {
  std::uint64_t value = 0;
  for (const std::byte b : bytes)
    value = (value << 8U) | static_cast<std::uint64_t>(b);
  return value;
}

// The atom whose header starts at `at`, inside [at, end).
std::optional<Atom> read_header(ByteSource& source, std::uint64_t at, std::uint64_t end) {
  std::array<std::byte, kLargeHeader> raw{};
  if (end - at < kHeader || !source.read(at, std::span(raw).first(kHeader))) return std::nullopt;
  Atom atom;
  atom.offset = at;
  atom.header = kHeader;
  std::transform(raw.begin() + 4, raw.begin() + 8, atom.type.begin(), [](std::byte b) { return static_cast<char>(b); });
  const auto size32 = static_cast<std::uint32_t>(big_endian(std::span(raw).first(4)));
  if (size32 == kSizeIsLarge) {
    if (end - at < kLargeHeader || !source.read(at + kHeader, std::span(raw).subspan(kHeader))) return std::nullopt;
    atom.header = kLargeHeader;
    atom.size = big_endian(std::span(raw).subspan(kHeader));
  } else {
    atom.size = size32 == kSizeToEnd ? end - at : size32;
  }
  if (atom.size < atom.header || atom.size > end - at) return std::nullopt;
  return atom;
}

}  // namespace

std::optional<std::vector<Atom>> walk_atoms(ByteSource& source, std::uint64_t begin, std::uint64_t end) {
  if (begin > end || end > source.size()) return std::nullopt;
  std::vector<Atom> atoms;
  for (std::uint64_t at = begin; at < end;) {
    if (atoms.size() == kMaxAtomsPerLevel) return std::nullopt;
    const std::optional<Atom> atom = read_header(source, at, end);
    if (!atom) return std::nullopt;
    atoms.push_back(*atom);
    at = atom->end();
  }
  return atoms;
}

const Atom* find_atom(const std::vector<Atom>& atoms, std::string_view type) noexcept {
  const auto found = std::find_if(atoms.begin(), atoms.end(), [type](const Atom& a) { return a.is(type); });
  return found == atoms.end() ? nullptr : &*found;
}

}  // namespace vek::track::container
