#include "pages/CDialogDebugMsg.hpp"

#include <gtest/gtest.h>

#include <thread>

#include "pages/PageFixture.hpp"
#include "pages/RecordingTransmitter.hpp"

namespace quillon::test {
namespace {

using D = pages::CDialogDebugMsg;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t GREEN = 0x00FF00;
constexpr std::uint32_t BLUE = 0xEE6E43;  // 0x00BBGGRR of (67, 110, 238)

// A main window that answers the debug page's send request the way the real one does.
class SendingWindow : public ui::Dialog {
  public:
    SendingWindow(ui::Host& host, const sys::CodePage& oem, RecordingTransmitter& link)
        : ui::Dialog(ParentTemplate(), host) {
        OnMessage(pages::WM_APP_DEBUG_SEND, [this, &oem, &link](ui::WPARAM w, ui::LPARAM l) {
            requests.emplace_back(w, l);
            return static_cast<ui::LRESULT>(page->SendToDevice(oem, link));
        });
    }
    D* page = nullptr;
    std::vector<std::pair<ui::WPARAM, ui::LPARAM>> requests;
};

class DebugMsgTest : public ::testing::Test {
  protected:
    DebugMsgTest() {
        window.page = &page;
        page.Create();
        page.SetDefaults();
    }

    void Receive(int level, const Bytes& data) { page.AppendDeviceMessage(level, data); }

    ScriptedHost host;
    FakeSystem system;
    RecordingTransmitter link;
    SendingWindow window{host, system.services.codePages.oem, link};
    D page{host, window, system.services};
};

TEST_F(DebugMsgTest, FormatChangesOnlyWithTheLevel) {
    Receive(0, {'a', 'b', 0, 'c', 'd'});
    Receive(1, {'o', 'k'});
    Receive(1, {'!'});
    Receive(3, {0x01, 0xAB});
    EXPECT_EQ(page.GetRuns(D::IDC_RICHEDIT_DISPLAY),
              (std::vector<ui::TextRun>{
                  {"ab", 0, 0}, {"ok", GREEN, 144}, {"!", GREEN, 144}, {"01 AB ", BLUE, 144}}));
}

// Observers get each shown message as its level and bytes, not its colour.
TEST_F(DebugMsgTest, ObserversGetEveryShownMessageWithItsLevel) {
    std::vector<std::pair<int, Bytes>> seen;
    page.AddMessageObserver([&seen](const D::DeviceMessage& m) {
        seen.push_back({m.level, m.bytes});
    });
    Receive(2, {'e', 'r', 'r'});
    Receive(3, {0x01, 0xAB});
    Receive(4, {'x'});  // no such level: not shown, not told
    page.Click(D::IDC_BUTTON_PAUSE);
    Receive(1, {'o', 'k'});  // paused: dropped
    EXPECT_EQ(seen, (std::vector<std::pair<int, Bytes>>{{2, {'e', 'r', 'r'}}, {3, {0x01, 0xAB}}}));
    EXPECT_EQ(page.MessageText(3, Bytes{0x01, 0xAB}), "01 AB ");
}

TEST_F(DebugMsgTest, PausedMessagesAreLostAndClearEmptiesTheDisplay) {
    Receive(0, {'x'});
    page.Click(D::IDC_BUTTON_PAUSE);
    EXPECT_EQ(page.GetDlgItemText(D::IDC_BUTTON_PAUSE), "继续显示");
    std::thread receiver([this] { Receive(2, {'l', 'o', 's', 't'}); });
    receiver.join();
    page.Click(D::IDC_BUTTON_PAUSE);
    EXPECT_EQ(page.GetDlgItemText(D::IDC_BUTTON_PAUSE), "暂停显示");
    EXPECT_EQ(page.GetRuns(D::IDC_RICHEDIT_DISPLAY).size(), 1u);
    page.Click(D::IDC_BUTTON_CLEAR);
    EXPECT_TRUE(page.GetRuns(D::IDC_RICHEDIT_DISPLAY).empty());
}

TEST_F(DebugMsgTest, SendButtonWithEmptyEditSendsOnlyTheLineEnd) {
    page.Click(D::IDC_BUTTON_SEND);
    ASSERT_EQ(window.requests, (std::vector<std::pair<ui::WPARAM, ui::LPARAM>>{{1, 1}}));
    const auto frames = link.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].ID, 0xF0u);
    EXPECT_EQ(frames[0].ExternFlag, 0);
    EXPECT_EQ(frames[0].RemoteFlag, 0);
    EXPECT_EQ(RecordingTransmitter::Data(frames[0]), (Bytes{'\r', '\n'}));
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_SEND), "") << "the line end is not kept";
}

struct SendCase {
    const char* name;
    std::string text;
    std::size_t sent;
    std::vector<std::uint8_t> frameLengths;
};

class SendDebugTextTest : public ::testing::TestWithParam<SendCase> {};

TEST_P(SendDebugTextTest, FramesOfEightAndARemainder) {
    RecordingTransmitter link;
    const SendCase& c = GetParam();
    EXPECT_EQ(pages::SendDebugText(c.text, sys::CodePage("GBK"), link), c.sent);
    std::vector<std::uint8_t> lengths;
    for (const auto& frame : link.Frames()) {
        lengths.push_back(frame.DataLen);
    }
    if (c.frameLengths.size() > 3) {
        EXPECT_EQ(lengths.size(), c.frameLengths.size());
    } else {
        EXPECT_EQ(lengths, c.frameLengths);
    }
    for (const auto& event : link.Events()) {
        EXPECT_EQ(event.frames.size(), 1u) << "every frame goes alone, without pauses";
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SendDebugTextTest,
                         ::testing::Values(SendCase{"Empty", "", 0, {}},
                                           SendCase{"Eight", "12345678", 8, {8}},
                                           SendCase{"Nine", "123456789", 9, {8, 1}},
                                           SendCase{"TwoChineseCharacters", "调试", 4, {4}},
                                           SendCase{"CutAtOneThousand", std::string(1200, 'a'),
                                                    1000, std::vector<std::uint8_t>(125, 8)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DebugMsgTest, RefusedFrameStopsTheSendWithTheMessage) {
    link.RefuseFrom(2);
    page.TypeText(D::IDC_EDIT_SEND, std::string(30, 'z'));
    page.Click(D::IDC_BUTTON_SEND);
    EXPECT_EQ(link.Frames().size(), 2u);
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(138, "写入参数失败，请检查设备是否连接正常!")});
}

}  // namespace
}  // namespace quillon::test
