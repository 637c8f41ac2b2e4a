#include "app/AdapterListingText.hpp"

namespace quillon::app {
namespace {

struct TextRow {
    std::string_view english;
    std::string_view chinese;
};

// Every text the build's adapter listers produce, with the variable part as {}.
constexpr TextRow ADAPTER_TEXTS[] = {
    {"simulated device in this process", "本进程内的模拟设备"},
    {"any adapter library exporting the eight VCI_* calls", "导出八个 VCI_* 函数的任一适配器库"},
    {"needs the library's path in place of PATH", "需将 PATH 换成该库的路径"},
    {"this backend lists no interfaces", "该后端不列出接口"},
    {"not tried", "未试过"},
    {"raw CAN sockets", "原始 CAN 套接字"},
    {"CAN network interface {}", "CAN 网络接口 {}"},
    {"this system has no raw CAN sockets ({}); the can and can_raw kernel modules are needed",
     "本机没有原始 CAN 套接字（{}），需要 can 和 can_raw 内核模块"},
    {"no CAN network interface is up or configured (none of type CAN in /sys/class/net)",
     "没有已启用或已配置的 CAN 网络接口（/sys/class/net 中没有 CAN 类型的接口）"},
    {"Qt SerialBus plugins", "Qt SerialBus 插件"},
    {"Qt SerialBus plugin {}", "Qt SerialBus 插件 {}"},
    {"the plugin sees no device", "该插件未发现设备"},
    {"the plugin made no device", "该插件未能创建设备"},
    {"the Qt thread has stopped; not tried", "Qt 线程已停止，未测试"},
    {"Cannot load library {}", "无法加载库 {}"},
    {"Qt Virtual CAN bus", "Qt 虚拟 CAN 总线"},
    {"Brindle driver with a simulated USB adapter", "Brindle 驱动（模拟 USB 适配器）"},
    {"brindle: {}", "brindle：{}"},
};

constexpr std::string_view HOLE = "{}";

// The text that stands for {} when `pattern` matches `text` whole.
bool Matches(std::string_view pattern, std::string_view text, std::string_view& hole) {
    const auto at = pattern.find(HOLE);
    if (at == std::string_view::npos) {
        return pattern == text;
    }
    const std::string_view before = pattern.substr(0, at);
    const std::string_view after = pattern.substr(at + HOLE.size());
    if (text.size() < before.size() + after.size() || !text.starts_with(before) ||
        !text.ends_with(after)) {
        return false;
    }
    hole = text.substr(before.size(), text.size() - before.size() - after.size());
    return true;
}

std::string Filled(std::string_view chinese, std::string_view hole) {
    std::string text(chinese);
    if (const auto at = text.find(HOLE); at != std::string::npos) {
        text.replace(at, HOLE.size(), hole);
    }
    return text;
}

}  // namespace

std::string AdapterTextForWindow(std::string_view english) {
    for (const TextRow& row : ADAPTER_TEXTS) {
        std::string_view hole;
        if (Matches(row.english, english, hole)) {
            return Filled(row.chinese, hole);
        }
    }
    return std::string(english);
}

}  // namespace quillon::app
