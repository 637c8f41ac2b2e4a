// The host of a benchmark's window: it answers the open-file dialog with the
// image and counts message boxes, since any box means the run failed.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ui/Host.hpp"

namespace quillon::bench {

class BenchHost final : public ui::Host {
  public:
    explicit BenchHost(std::string image) : image_(std::move(image)) {}
    int MessageBox(const ui::Dialog*, std::string_view, std::string_view, unsigned) override {
        ++boxes;
        return ui::IDOK;
    }
    std::optional<std::string> OpenFileDialog(const ui::Dialog*, std::string_view) override {
        return image_;
    }
    int RunModal(ui::Dialog&) override { return ui::IDOK; }
    /// Boxes shown so far, from any thread.
    std::atomic<int> boxes{0};

  private:
    std::string image_;
};

}  // namespace quillon::bench
