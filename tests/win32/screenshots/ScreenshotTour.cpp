// quillon-screenshots DIR: pictures of quillon.exe's windows for review, on
// the simulated device: main.png (as delivered), main-pages.png (with
// --show-pages), message-box.png (the read's notice), tab-0.png .. tab-9.png
// (after a read), about.png, adapter.png and upgrade.png (a 64 KiB image
// halfway), baudly.png and refold.png (the tools' windows). Each saved path is printed; exit status
// 1 when one could not be.
#include "app/WindowStart.hpp"
#include "baudly/CBaudlyDlg.hpp"
#include "frontends/adapters/BuildBackends.hpp"
#include "frontends/win32/DialogFont.hpp"
#include "frontends/win32/MainWindow.hpp"
#include "frontends/win32/WindowApplication.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/CommandLine.hpp"
#include "platform/system/Utf8Path.hpp"
#include "refold/CRefoldDlg.hpp"
#include "sim/SimDevices.hpp"
#include "tests/win32/WindowWatcher.hpp"
#include "tests/win32/screenshots/PngFile.hpp"

#include <cstdio>
#include <fstream>
#include <functional>

namespace quillon::test {
namespace {

/// Time for the display to show what was drawn.
constexpr unsigned SETTLE_MS = 200;
constexpr std::size_t IMAGE_BYTES = 64 * 1024;

RgbImage Capture(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    RgbImage image{rect.right - rect.left, rect.bottom - rect.top, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    // The window's own surface: the screen of a display without a compositor
    // does not give back what the windows drew.
    HDC screen = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < image.width * image.height; ++i) {
        image.pixels.insert(image.pixels.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return image;
}

/// The picture of a dialog the tour opens, by its template.
std::string DialogPictureName(int templateNumber) {
    switch (templateNumber) {
        case app::IDD_ADAPTER:
            return "adapter.png";
        case baudly::IDD_BAUDLY:
            return "baudly.png";
        case refold::IDD_REFOLD:
            return "refold.png";
        default:
            return "about.png";
    }
}

/// The window's pauses, without the waiting: the tour only needs their order.
class TourSleeper final : public sys::Sleeper {
  public:
    explicit TourSleeper(win32::Win32Host& host) : host_(host) {}
    void SleepMs(std::uint32_t) override {
        if (host_.OnUiThread()) {
            host_.RunPendingWindowMessages();
            if (onWindowPause) {
                onWindowPause();
            }
        }
    }
    std::function<void()> onWindowPause;

  private:
    win32::Win32Host& host_;
};

class Tour {
  public:
    explicit Tour(std::filesystem::path directory)
        : directory_(std::move(directory)), sleeper_(host_) {
        win32::InstallWindowFactory(host_, {}, faceName_);
    }

    int Run();

  private:
    void Settle() {
        const ULONGLONG end = GetTickCount64() + SETTLE_MS;
        for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now),
                                      QS_ALLINPUT);
            host_.RunPendingWindowMessages();
            host_.PumpMessages();
            if (view_) {
                view_->FlushAll();
            }
        }
        if (view_) {
            RedrawWindow(view_->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        }
    }
    void Save(HWND window, const std::string& name) {
        const std::filesystem::path path = directory_ / name;
        if (!WritePng(path, Capture(window))) {
            std::fprintf(stderr, "quillon-screenshots: cannot write %s\n", path.string().c_str());
            failed_ = true;
            return;
        }
        std::printf("%s\n", path.string().c_str());
    }
    void Open(bool showPages);
    void Close();
    void Click(int id) {
        SendMessageW(GetDlgItem(view_->Handle(), id), BM_CLICK, 0, 0);
        Settle();
    }
    void ShowAfterRead();
    void Upgrade();
    void OnWindowFound(HWND window, const SeenWindow& seen);

    std::filesystem::path directory_;
    win32::Win32Host host_;
    TourSleeper sleeper_;
    std::u16string faceName_ = win32::DialogFaceName();
    std::unique_ptr<app::CQuillonDlg> main_;
    std::unique_ptr<win32::MainWindow> view_;
    bool opening_ = false;
    bool boxSaved_ = false;
    bool failed_ = false;
    WindowWatcher watcher_{[this](HWND window) {
        if (host_.DialogShownBy(window) != nullptr) {
            return WindowWatcher::Role::ModelDialog;
        }
        return opening_ || (view_ && window == view_->Handle()) ? WindowWatcher::Role::Ignored
                                                                : WindowWatcher::Role::SystemBox;
    }};
};

void Tour::OnWindowFound(HWND window, const SeenWindow& seen) {
    if (seen.messageBox && !boxSaved_) {
        boxSaved_ = true;
        Save(window, "message-box.png");
    } else if (const ui::Dialog* dialog = host_.DialogShownBy(window)) {
        Save(window, DialogPictureName(dialog->Template().number));
    }
}

void Tour::Open(bool showPages) {
    const sys::SystemServices& defaults = sys::DefaultSystemServices();
    static sys::SystemServices services{defaults.clock,
                                        sleeper_,
                                        defaults.launcher,
                                        defaults.documents,
                                        defaults.programDirectory,
                                        defaults.executablePath,
                                        defaults.codePages,
                                        directory_ / "settings"};
    opening_ = true;
    main_ = std::make_unique<app::CQuillonDlg>(host_, services);
    main_->Create();
    app::PrepareMainWindow(*main_, showPages);
    view_ = std::make_unique<win32::MainWindow>(
        *main_, faceName_, [this] { win32::OpenAdapterDialog(host_, *main_); },
        [this] { host_.DismissBoxesFromOtherThreads(); });
    ShowWindow(view_->Handle(), SW_SHOW);
    opening_ = false;
    Settle();
}

void Tour::Close() {
    if (main_->IsRunning()) {
        main_->ToggleConnection();
    }
    view_.reset();
    main_.reset();
}

void Tour::ShowAfterRead() {
    Click(app::IDC_CONNECT);
    Click(app::IDC_READ_PARAMETERS);
    const ULONGLONG end = GetTickCount64() + 10000;
    while (main_->ReadsJudged() == 0 && GetTickCount64() < end) {
        Settle();
    }
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        main_->SelectItem(app::IDC_TAB, tab);
        Settle();
        Save(view_->Handle(), "tab-" + std::to_string(tab) + ".png");
    }
    main_->SelectItem(app::IDC_TAB, 0);
    Settle();
}

void Tour::Upgrade() {
    const auto image = directory_ / "settings" / "image.bin";
    {
        std::ofstream file(image, std::ios::binary);
        for (std::size_t i = 0; i < IMAGE_BYTES; ++i) {
            file.put(static_cast<char>(i));
        }
    }
    watcher_.ChooseFile(image.wstring());
    int pauses = 0;
    // The erase wait takes fifty pauses, then one after each block: the third
    // block's pause is about halfway through the image.
    sleeper_.onWindowPause = [this, &pauses] {
        if (++pauses == 53) {
            view_->FlushAll();
            RedrawWindow(view_->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
            Save(view_->Handle(), "upgrade.png");
        }
    };
    Click(app::IDC_UPGRADE);
    sleeper_.onWindowPause = nullptr;
}

int Tour::Run() {
    std::error_code error;
    std::filesystem::create_directories(directory_ / "settings", error);
    if (error) {
        std::fprintf(stderr, "quillon-screenshots: cannot create %s: %s\n",
                     directory_.string().c_str(), error.message().c_str());
        return 1;
    }
    watcher_.BeforeAnswering(
        [this](HWND window, const SeenWindow& seen) { OnWindowFound(window, seen); });
    Open(false);
    Save(view_->Handle(), "main.png");
    Close();
    Open(true);
    Save(view_->Handle(), "main-pages.png");
    ShowAfterRead();
    SendMessageW(view_->Handle(), WM_SYSCOMMAND, app::IDM_ABOUTBOX, 0);
    SendMessageW(view_->Handle(), WM_SYSCOMMAND, win32::MainWindow::IDM_ADAPTER, 0);
    Upgrade();
    Close();
    // The tools' windows, as Baudly.exe and Refold.exe show them.
    baudly::CBaudlyDlg calculator(host_);
    calculator.DoModal();
    refold::CRefoldDlg converter(host_);
    converter.DoModal();
    return failed_ ? 1 : 0;
}

}  // namespace
}  // namespace quillon::test

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = quillon::sys::Utf8Arguments(argc, argv);
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: quillon-screenshots DIR\n");
        return 2;
    }
    if (!quillon::win32::PrepareControls()) {
        return 1;
    }
    quillon::sim::RegisterSimDevice();
    quillon::adapters::RegisterBuildBackends();
    kelvix::SetAdapterSpecOverride("sim:state=none");
    quillon::test::Tour tour(quillon::sys::PathFromUtf8(arguments[1]));
    return tour.Run();
}
