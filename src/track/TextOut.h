#pragma once
// The track text under construction. Without a sink it stays whole in memory;
// with one, full buffers go to the sink (an atomic file), so the extractor's
// heap stays bounded however large the clip and its track.

#include <cstddef>
#include <string>
#include <string_view>

namespace vek::track {

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void write(std::string_view text) = 0;
};

class TextOut {
 public:
  static constexpr std::size_t kSpillSize = std::size_t{1} << 20;  // a write per MiB keeps syscalls rare

  explicit TextOut(TextSink* sink = nullptr) : sink_(sink) {}

  std::string& text() noexcept { return text_; }

  // Hands the text so far to the sink once it has grown past kSpillSize.
  void spill_if_large() {
    if (sink_ != nullptr && text_.size() >= kSpillSize) finish();
  }

  void finish() {
    if (sink_ != nullptr && !text_.empty()) {
      sink_->write(text_);
      text_.clear();
    }
  }

  std::string take() noexcept { return std::move(text_); }

 private:
  TextSink* sink_;
  std::string text_;
};

}  // namespace vek::track
