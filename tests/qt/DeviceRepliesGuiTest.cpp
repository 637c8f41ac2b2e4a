// What the device sends reaches the widgets through the receive thread: debug
// text in the display in its level's colour, and the storage reply's box shown
// on the GUI thread while the receive thread waits for the answer.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QThread>
#include <fstream>

#include "protocol/ParameterFrames.hpp"
#include "tests/qt/GuiFixture.hpp"

namespace quillon::gui {
namespace {

using test::MakeFrame;
using test::RunUntil;
using DebugPage = pages::CDialogDebugMsg;

struct Fragment {
    QString text;
    QColor colour;
};

std::vector<Fragment> Fragments(const QTextEdit& display) {
    std::vector<Fragment> fragments;
    for (QTextBlock block = display.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            fragments.push_back({fragment.text(), fragment.charFormat().foreground().color()});
        }
    }
    return fragments;
}

class DeviceRepliesGuiTest : public test::GuiFixture {
  protected:
    void ConnectByButton() {
        QTest::mouseClick(MainWidget<QPushButton>(app::IDC_CONNECT), Qt::LeftButton);
        ASSERT_TRUE(window->IsRunning());
    }
    /// Asks for storage initialisation with the real button, confirming both boxes.
    void StartStorageInit() {
        watcher.AnswerBoxesWith({QMessageBox::Yes, QMessageBox::Ok});
        QTest::mouseClick(MainWidget<QPushButton>(app::IDC_STORAGE_INIT), Qt::LeftButton);
        ASSERT_TRUE(window->StorageInitPending());
        ASSERT_EQ(watcher.Boxes().size(), 2u);
        EXPECT_EQ(watcher.Boxes()[0].text, "确认初始化？");
        EXPECT_EQ(watcher.Boxes()[0].buttons, (QStringList{"是(&Y)", "否(&N)"}));
    }
};

TEST_F(DeviceRepliesGuiTest, DebugMessagesOfLevelOneAndThreeShowGreenThenBlue) {
    Open(true);
    ConnectByButton();
    DeviceSends(0,
                {MakeFrame(0xF1, false, {'o', 'k'}, 2), MakeFrame(0xF3, false, {0x01, 0xAB}, 2)});
    auto* display = PageWidget<QTextEdit>(9, DebugPage::IDC_RICHEDIT_DISPLAY);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(RunUntil([&] { return display->toPlainText() == "ok01 AB "; }))
        << display->toPlainText().toStdString();

    const auto fragments = Fragments(*display);
    ASSERT_EQ(fragments.size(), 2u);
    EXPECT_EQ(fragments[0].text, "ok");
    EXPECT_EQ(fragments[0].colour, QColor(0, 255, 0));
    EXPECT_EQ(fragments[1].text, "01 AB ");
    EXPECT_EQ(fragments[1].colour, QColor(67, 110, 238));
}

TEST_F(DeviceRepliesGuiTest, ClearingTheDisplayEmptiesTheWidget) {
    Open(true);
    ConnectByButton();
    DeviceSends(0, {MakeFrame(0xF2, false, {'e', 'r', 'r'}, 3)});
    auto* display = PageWidget<QTextEdit>(9, DebugPage::IDC_RICHEDIT_DISPLAY);
    ASSERT_TRUE(RunUntil([&] { return display->toPlainText() == "err"; }));
    window->SelectItem(app::IDC_TAB, 9);
    ASSERT_TRUE(RunUntil([&] { return view->PageView(9).isVisible(); }));

    QTest::mouseClick(PageWidget<QPushButton>(9, DebugPage::IDC_BUTTON_CLEAR), Qt::LeftButton);
    EXPECT_TRUE(RunUntil([&] { return display->toPlainText().isEmpty(); }));
}

TEST_F(DeviceRepliesGuiTest, StorageReplyBoxIsShownOnTheGuiThreadWhileTheReceiverWaits) {
    Open(true);
    ConnectByButton();
    StartStorageInit();
    const auto handledBefore = window->FramesHandled();
    std::optional<std::uint64_t> handledWhileShown;
    watcher.OnBoxShown([&](const test::SeenBox&) { handledWhileShown = window->FramesHandled(); });

    DeviceSends(0, {MakeFrame(protocol::ID_STORAGE_INIT, false, {1}, 8)});
    ASSERT_TRUE(RunUntil([&] { return watcher.Boxes().size() == 3; }));

    const test::SeenBox& reply = watcher.Boxes()[2];
    EXPECT_EQ(reply.text, "初始化SD卡成功");
    EXPECT_EQ(reply.caption, "恭喜");
    EXPECT_EQ(reply.icon, QMessageBox::Question);
    EXPECT_EQ(reply.buttons, QStringList{"确定"});
    EXPECT_TRUE(reply.onGuiThread);
    EXPECT_EQ(handledWhileShown, handledBefore) << "the receive thread waits for the answer";
    EXPECT_TRUE(
        adapter.Bus().WaitFor([&] { return window->FramesHandled() == handledBefore + 1; }));
}

TEST_F(DeviceRepliesGuiTest, StorageReplyClosesTheWaitBoxBeforeItsResultOpens) {
    const QString wait = QString::fromUtf8("初次初始化大概需要1分钟时间，请耐心等待!");
    Open(true);
    ConnectByButton();
    bool replied = false;
    std::optional<bool> waitOpenUnderResult;
    watcher.OnBoxShown([&](const test::SeenBox& box) {
        if (box.text == wait && !replied) {
            // The device answers while the wait box is still on screen.
            replied = true;
            DeviceSends(0, {MakeFrame(protocol::ID_STORAGE_INIT, false, {1}, 8)});
            EXPECT_TRUE(RunUntil([&] { return watcher.Boxes().size() == 3; }));
        } else if (box.text == "初始化SD卡成功") {
            waitOpenUnderResult = false;
            for (QWidget* shown : QApplication::topLevelWidgets()) {
                auto* other = qobject_cast<QMessageBox*>(shown);
                if (other != nullptr && other->isVisible() && other->text() == wait) {
                    waitOpenUnderResult = true;
                }
            }
        }
    });
    watcher.AnswerBoxesWith({QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Ok});
    QTest::mouseClick(MainWidget<QPushButton>(app::IDC_STORAGE_INIT), Qt::LeftButton);

    ASSERT_TRUE(replied);
    ASSERT_EQ(watcher.Boxes().size(), 3u);
    EXPECT_EQ(watcher.Boxes()[1].text, wait);
    EXPECT_EQ(watcher.Boxes()[2].text, "初始化SD卡成功");
    EXPECT_EQ(waitOpenUnderResult, false) << "closing the result must not lead back to the wait";
    EXPECT_FALSE(window->StorageInitPending());
}

TEST_F(DeviceRepliesGuiTest, ClosingWhileAReplyBoxIsDueNeitherHangsNorShowsIt) {
    Open(true);
    ConnectByButton();
    StartStorageInit();
    DeviceSends(0, {MakeFrame(protocol::ID_STORAGE_INIT, false, {0}, 8)});
    ASSERT_TRUE(adapter.Bus().WaitFor([&] { return adapter.Bus().Pending(0) == 0; }));

    view->close();  // joins the receive thread, which may be asking for its box now
    EXPECT_FALSE(window->IsRunning());
    EXPECT_TRUE(window->IsEnded());
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.Boxes().size(), 2u) << "no box for a window that has gone";
}

TEST_F(DeviceRepliesGuiTest, UpgradeAsksForTheImageWithItsFilterAndShowsTheProgress) {
    Open(false);
    const auto image = system.directory.Path() / "firmware.bin";
    std::ofstream(image, std::ios::binary) << std::string(20, '\x5A');
    QStringList filters;
    bool detailsHidden = false;
    watcher.OnFileDialogShown([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        detailsHidden = dialog.testOption(QFileDialog::HideNameFilterDetails);
        dialog.selectFile(QString::fromStdString(image.string()));
        static_cast<QDialog&>(dialog).accept();  // as the Open button does
    });

    QTest::mouseClick(MainWidget<QPushButton>(app::IDC_UPGRADE), Qt::LeftButton);
    EXPECT_EQ(filters, QStringList{"Files (*.bin,*.dat) (*.bin *.dat)"});
    EXPECT_TRUE(detailsHidden) << "the user sees the filter's own description";
    auto* progress = MainWidget<QProgressBar>(app::IDC_PROGRESS);
    auto* status = MainWidget<QLabel>(app::IDC_STATUS);
    ASSERT_TRUE(RunUntil([&] { return status->text() == "请给设备重新上电"; }))
        << status->text().toStdString();
    EXPECT_EQ(progress->value(), 100);
    EXPECT_TRUE(MainWidget<QPushButton>(app::IDC_UPGRADE)->isEnabled()) << "enabled again";
    EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text.toStdString();
    // Erase, program, then the 20 bytes in frames of 8, 8 and 4.
    EXPECT_EQ(adapter.Bus().Transmitted().size(), 5u);
}

}  // namespace
}  // namespace quillon::gui
