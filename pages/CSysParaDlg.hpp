// System parameter page (template 131): record-file size slider, record
// options and the identity of the connected device. The SysPara itself is
// held by the main window; the page keeps the file-size text in step with the
// slider and offers the copies in both directions.
#pragma once

#include <string>
#include <string_view>

#include "platform/system/SystemServices.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "protocol/SysPara.hpp"

namespace quillon::pages {

class CSysParaDlg : public ui::Dialog {
  public:
    static constexpr int IDC_SLIDER_FILE_SIZE = 1018;
    static constexpr int IDC_EDIT_FILE_SIZE = 1126;
    static constexpr int IDC_CHECK_CYCLIC = 1021;
    static constexpr int IDC_CHECK_FIRST_FRAME_ZERO = 1022;
    static constexpr int IDC_CHECK_SYSTEM_TIME = 1012;
    static constexpr int IDC_EDIT_HW_VERSION = 1135;
    static constexpr int IDC_EDIT_FW_VERSION = 1136;
    static constexpr int IDC_EDIT_SERIAL = 1137;
    static constexpr int IDC_EDIT_DEVICE_TYPE = 1138;
    static constexpr int IDC_CHECK_ERROR_PROOFING = 1218;
    /// errorProofing value stored while the box is ticked.
    static constexpr std::uint8_t ERROR_PROOFING_ON = 3;

    CSysParaDlg(ui::Host& host, ui::Dialog& parent, const sys::SystemServices& services);

    /// Start-up state: slider range 1..128 at 1, "使用当前系统时间" ticked.
    void SetStartupState();
    /// Shows fileSizeMB on the slider (and its text) and the three options.
    void ShowRecord(const protocol::SysPara& sys);
    /// Takes the slider and the three options into `sys`; other fields kept.
    void StoreToRecord(protocol::SysPara& sys) const;
    /// The four identity texts as the parameter read fills them.
    void SetIdentityTexts(std::string_view hardwareVersion, std::string_view firmwareVersion,
                          std::string_view serial, std::string_view deviceType);

    const std::string& FileSizeText() const { return fileSizeText_; }
    const std::string& HardwareVersionText() const { return hardwareVersionText_; }
    const std::string& FirmwareVersionText() const { return firmwareVersionText_; }
    const std::string& SerialText() const { return serialText_; }
    const std::string& DeviceTypeText() const { return deviceTypeText_; }

  protected:
    void DoDataExchange(ui::DataExchange& exchange) override;

  private:
    ui::LRESULT OnSliderDraw();

    std::string fileSizeText_;
    std::string hardwareVersionText_;
    std::string firmwareVersionText_;
    std::string serialText_;
    std::string deviceTypeText_;
};

}  // namespace quillon::pages
