// The main window on the scripted adapter and fake system services, rendered
// by the real Qt view on the offscreen platform. Tests drive the widgets the
// way a user does and read back what the widgets and the bus show.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/MainWindow.hpp"
#include "frontends/qt/QtHost.hpp"
#include "frontends/qt/ShowPagesOption.hpp"
#include "frontends/qt/WindowFactory.hpp"
#include "protocol/FirmwareKey.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "tests/qt/WindowWatcher.hpp"

namespace quillon::test {

class GuiFixture : public ::testing::Test {
  protected:
    GuiFixture() {
        host.SetWindowFactory([this](ui::Dialog& dialog) { return factory.Create(dialog); });
    }
    void TearDown() override {
        view.reset();
        window.reset();
    }

    /// Opens the window on the fake services, or on `services` (another sleeper).
    void Open(bool showPages, sys::SystemServices* services = nullptr) {
        window = std::make_unique<app::CQuillonDlg>(host, services ? *services : system.services);
        window->Create();
        if (showPages) {
            gui::ShowPages(*window);
        }
        view = std::make_unique<gui::MainWindow>(*window, host,
                                                 gui::DialogUnits(QApplication::font()), showPages);
        view->show();
        view->FlushAll();
    }

    template <class W>
    W* MainWidget(int id) const {
        return dynamic_cast<W*>(view->View().Widget(id));
    }
    template <class W>
    W* PageWidget(int tab, int id) const {
        return dynamic_cast<W*>(view->PageView(tab).Widget(id));
    }

    /// Enciphers `frames` as the device would and queues them on `channel`.
    void DeviceSends(std::uint32_t channel, std::vector<CanFrameRecord> frames) {
        for (auto& frame : frames) {
            cipher.EncipherPayload(frame.Data);
        }
        adapter.Bus().Deliver(channel, frames);
    }

    ScriptedAdapterScope adapter;
    FakeSystem system;
    gui::QtHost host;
    gui::WindowFactory factory{host, gui::DialogUnits(QApplication::font()), {}};
    WindowWatcher watcher;
    protocol::Cpc1crypt cipher{protocol::FIRMWARE_KEY};
    std::unique_ptr<app::CQuillonDlg> window;
    std::unique_ptr<gui::MainWindow> view;
};

}  // namespace quillon::test
