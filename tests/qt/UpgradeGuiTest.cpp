// The window during a firmware upgrade: it keeps running its events while the
// image streams, and a close asks first and, confirmed, stops the transfer
// after the frame it is sending.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <fstream>

#include "frontends/qt/QtSleeper.hpp"
#include "tests/qt/GuiFixture.hpp"
#include "upgrade/UpgradeTexts.hpp"

namespace quillon::gui {
namespace {

// Erase and program command, then one block of 2000 full frames and the frame
// of length 0 that follows an image of whole blocks.
constexpr std::size_t IMAGE_BYTES = 16000;
constexpr std::size_t COMMAND_FRAMES = 2;
constexpr std::size_t TOTAL_FRAMES = COMMAND_FRAMES + IMAGE_BYTES / 8 + 1;

class UpgradeGuiTest : public test::GuiFixture {
  protected:
    UpgradeGuiTest() {
        // Each look at the clock is one millisecond later: the pacing then
        // depends on how often the transfer pumps, not on this machine's speed.
        host.SetEventClock([this] { return ++clockMs; });
        std::ofstream(image, std::ios::binary) << std::string(IMAGE_BYTES, '\x3C');
        watcher.OnFileDialogShown([this](QFileDialog& dialog) {
            dialog.selectFile(QString::fromStdString(image.string()));
            static_cast<QDialog&>(dialog).accept();
        });
        // Fires whenever the toolkit runs its events; notes how far the stream was.
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout,
                         [this] { ticks.push_back(adapter.Bus().Transmitted().size()); });
    }
    void StartUpgrade() {
        ticker.start();
        QTest::mouseClick(MainWidget<QPushButton>(app::IDC_UPGRADE), Qt::LeftButton);
        ticker.stop();
    }
    /// Ticks that came while image frames were going out.
    std::size_t TicksWhileStreaming() const {
        return static_cast<std::size_t>(std::count_if(ticks.begin(), ticks.end(), [](auto sent) {
            return sent > COMMAND_FRAMES && sent < TOTAL_FRAMES;
        }));
    }

    std::uint64_t clockMs = 0;
    std::filesystem::path image = system.directory.Path() / "firmware.bin";
    QTimer ticker;
    std::vector<std::size_t> ticks;
};

TEST_F(UpgradeGuiTest, EventsRunWhileTheImageStreams) {
    Open(false);
    StartUpgrade();
    ASSERT_EQ(adapter.Bus().Transmitted().size(), TOTAL_FRAMES);
    // One pump a frame and one look at the clock each: the events run every
    // TOOLKIT_EVENTS_INTERVAL_MS pumps.
    EXPECT_GE(TicksWhileStreaming(), 2000 / QtHost::TOOLKIT_EVENTS_INTERVAL_MS - 2);
    EXPECT_EQ(MainWidget<QProgressBar>(app::IDC_PROGRESS)->value(), 100);
}

TEST_F(UpgradeGuiTest, ClosingAsksAndAConfirmedCloseStopsAfterTheCurrentFrame) {
    Open(false);
    std::size_t sentAtClose = 0;
    bool askedTwice = false;
    watcher.AnswerBoxesWith({QMessageBox::No, QMessageBox::Yes});
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const std::size_t sent = adapter.Bus().Transmitted().size();
        if (sent > 500 && watcher.Boxes().empty()) {
            view->close();  // answered No: the upgrade goes on
        } else if (sent > 1000 && watcher.Boxes().size() == 1) {
            sentAtClose = sent;
            view->close();  // answered Yes
            askedTwice = true;
        }
    });
    StartUpgrade();

    ASSERT_TRUE(askedTwice);
    ASSERT_EQ(watcher.Boxes().size(), 2u);
    EXPECT_EQ(watcher.Boxes()[0].text, QString::fromUtf8(upgrade::CLOSE_DURING_UPGRADE));
    EXPECT_EQ(watcher.Boxes()[0].caption, "警告");
    EXPECT_EQ(adapter.Bus().Transmitted().size(), sentAtClose) << "no frame after the stop";
    EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), upgrade::STATUS_STOPPED);
    EXPECT_TRUE(window->IsEnded()) << "the window closed once the upgrade had stopped";
    EXPECT_FALSE(window->IsRunning());
}

/// The window's own pause (event loop, input held off) with every wait cut to
/// nothing: the upgrade runs its real pauses without taking real time.
class ZeroLengthPauses final : public sys::Sleeper {
  public:
    explicit ZeroLengthPauses(const GuiDispatcher& dispatcher) : pause_(dispatcher) {}
    void SleepMs(std::uint32_t) override { pause_.SleepMs(0); }

  private:
    QtSleeper pause_;
};

// The window system's close request (what the platform makes of the close box,
// Alt+F4 or WM_DELETE_WINDOW) arrives as an event while the upgrade waits for
// the erase, and must reach the close question rather than vanish.
TEST_F(UpgradeGuiTest, WindowSystemCloseDuringTheEraseWaitAsksAndStopsTheUpgrade) {
    ZeroLengthPauses pauses(host.Dispatcher());
    sys::SystemServices services = system.ServicesWith(pauses);
    Open(false, &services);
    watcher.AnswerBoxesWith({QMessageBox::Yes});
    bool requested = false;
    const upgrade::UpgradeObserver firstProgress([&](const upgrade::UpgradeProgress&) {
        if (!std::exchange(requested, true)) {
            // Queued, as a request read from the window system's connection is.
            QMetaObject::invokeMethod(
                view.get(), [this] { view->windowHandle()->close(); }, Qt::QueuedConnection);
        }
    });
    window->UpgradeFirmware(&firstProgress);

    ASSERT_TRUE(requested);
    ASSERT_EQ(watcher.Boxes().size(), 1u) << "the close request got no question";
    EXPECT_EQ(watcher.Boxes()[0].text, QString::fromUtf8(upgrade::CLOSE_DURING_UPGRADE));
    EXPECT_EQ(watcher.Boxes()[0].caption, "警告");
    EXPECT_EQ(adapter.Bus().Transmitted().size(), 1u) << "only the erase command went out";
    EXPECT_EQ(window->GetDlgItemText(app::IDC_STATUS), upgrade::STATUS_STOPPED);
    EXPECT_TRUE(window->IsEnded()) << "the window closed once the upgrade had stopped";
}

}  // namespace
}  // namespace quillon::gui
