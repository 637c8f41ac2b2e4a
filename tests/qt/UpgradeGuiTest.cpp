// The window during a firmware upgrade: it keeps running its events while the
// image streams, and a close asks first and, confirmed, stops the transfer
// after the frame it is sending.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

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

}  // namespace
}  // namespace quillon::gui
