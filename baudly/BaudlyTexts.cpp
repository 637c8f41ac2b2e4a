#include "baudly/BaudlyTexts.hpp"

#include <cstdio>

namespace quillon::baudly {
namespace {

std::string Format(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string NearestList(const bittiming::TimingSearch& search) {
    std::string text;
    for (const auto& near : search.nearest) {
        text += (text.empty() ? "" : "、") + RateText(near.timing.BitRate()) + " bit/s（" +
                ErrorText(near.errorPercent) + "）";
    }
    return text;
}

}  // namespace

std::string RateText(double bitRateBps) {
    return Format("%.0f", bitRateBps);
}

std::string SamplePointText(double fraction) {
    return Format("%.1f%%", fraction * 100);
}

std::string ErrorText(double errorPercent) {
    // A rounding remainder must not read as a signed error.
    return Format("%+.2f%%", errorPercent == 0 ? 0.0 : errorPercent);
}

std::string RegisterText(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value);
    return text;
}

std::string SearchSummary(const bittiming::TimingSearch& search) {
    const std::string rate = RateText(search.wantedBps) + " bit/s";
    if (search.choices.empty()) {
        return "没有一组 BTR0/BTR1 能使 " + rate + " 的误差在 " +
               Format("%.1f", bittiming::MAX_ERROR_PERCENT) + "% 以内。最接近的波特率：" +
               NearestList(search) + "。";
    }
    std::string text = rate + "，目标采样点 " + SamplePointText(search.targetSamplePoint) + "：" +
                       std::to_string(search.choices.size()) + " 组可用，第一组为推荐。";
    if (search.pagePair) {
        const auto label = bittiming::PageRateLabel(search.pagePair->registers);
        text += "波特率列表的 " + label.value_or("") + " 设置与推荐的一组不同，两者都已列出。";
    }
    return text;
}

std::string PairSummary(protocol::BtrEntry registers) {
    const auto t = bittiming::DecodeBtr(registers);
    std::string text =
        RateText(t.BitRate()) + " bit/s，采样点 " + SamplePointText(t.SamplePoint()) +
        "（分频系数 " + std::to_string(t.prescaler) + "，" + std::to_string(t.Quanta()) +
        " 个时间份额，TSEG1 " + std::to_string(t.tseg1) + "，TSEG2 " + std::to_string(t.tseg2) +
        "，SJW " + std::to_string(t.jumpWidth) + (t.threeSamples ? "，三次采样" : "") + "）";
    if (const auto label = bittiming::PageRateLabel(registers)) {
        text += "，即波特率列表的 " + *label + " 设置";
    }
    return text;
}

std::string PairNote(protocol::BtrEntry registers, bool recommended) {
    std::string note = recommended ? NOTE_RECOMMENDED : "";
    if (const auto label = bittiming::PageRateLabel(registers)) {
        note += (note.empty() ? "" : "，") + ("波特率列表的 " + *label + " 设置");
    }
    return note;
}

}  // namespace quillon::baudly
