// One headless main window for the harnesses that drive it, made once per
// fuzzing process: its settings directory is a fresh directory in memory
// (/dev/shm when there is one), its boxes are printed nowhere, and sleeps
// return at once.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

#include "app/CQuillonDlg.hpp"
#include "frontends/cli/CliHost.hpp"
#include "platform/system/SystemServices.hpp"

namespace quillon::fuzz {

class NoSleep final : public sys::Sleeper {
  public:
    void SleepMs(std::uint32_t) override {}
};

class NullBuffer final : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
};

struct FuzzWindow {
    FuzzWindow()
        : directory(MakeDirectory()),
          services{sys::DefaultSystemServices().clock,
                   sleeper,
                   sys::DefaultSystemServices().launcher,
                   sys::DefaultSystemServices().documents,
                   directory,
                   directory / "quillon",
                   sys::CodePages{}},
          host(out, false),
          window(host, services) {
        host.SetQuiet(true);
        window.Create();
    }
    ~FuzzWindow() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    FuzzWindow(const FuzzWindow&) = delete;
    FuzzWindow& operator=(const FuzzWindow&) = delete;

    /// Drops what the window keeps from one input to the next without bound,
    /// the debug display's text, so millions of inputs do not fill the memory.
    void ForgetHistory() { window.DebugPage().ClearDisplay(); }

    static std::filesystem::path MakeDirectory() {
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        auto path = base / ("quillon-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }

    std::filesystem::path directory;
    NoSleep sleeper;
    sys::SystemServices services;
    NullBuffer nothing;
    std::ostream out{&nothing};
    cli::CliHost host;
    app::CQuillonDlg window;
};

}  // namespace quillon::fuzz
