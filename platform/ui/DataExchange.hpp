// Data exchange between a dialog's controls and its members. Created by
// Dialog::UpdateData and passed to DoDataExchange. Saving stops at the first
// control whose text fails its check, after the standard complaint:
//   "请输入一个整数。"                     (not a whole number)
//   "请输入一个介于 1 和 128 之间的整数。"  (outside a range)
// Members bound before the failing control keep their new values.
#pragma once

#include <cstdint>
#include <string>

namespace quillon::ui {

class Dialog;

/// The standard complaints, with the caption and style they are shown with.
inline constexpr const char* PARSE_INT_COMPLAINT = "请输入一个整数。";
inline constexpr const char* PARSE_UINT_COMPLAINT = "请输入一个正整数。";
std::string RangeComplaint(long long minimum, long long maximum);

class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saveAndValidate);

    bool Saving() const { return saving_; }
    bool Failed() const { return failed_; }
    Dialog& GetDialog() const { return dialog_; }

    void Text(int id, std::string& value);
    /// Whole number, optionally signed.
    void Int(int id, int& value);
    /// Whole number without sign.
    void UInt(int id, unsigned& value);
    /// Range check of the member just exchanged through `id` (saving only).
    void IntRange(int id, int value, int minimum, int maximum);
    void Check(int id, int& value);
    /// Index of the ticked radio button of the group starting at `firstId`, -1 = none.
    void Radio(int firstId, int& value);
    void ComboIndex(int id, int& value);
    void SliderPos(int id, int& value);

  private:
    bool Skip() const { return failed_; }
    void Fail(std::string_view complaint);

    Dialog& dialog_;
    bool saving_;
    bool failed_ = false;
};

}  // namespace quillon::ui
