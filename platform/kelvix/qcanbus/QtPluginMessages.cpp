#include "platform/kelvix/qcanbus/QtPluginMessages.hpp"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace kelvix {
namespace {

constexpr const char* PLUGIN_CATEGORY = "qt.canbus";

// A plain pointer: nothing to destroy when a thread ends.
thread_local PluginMessageCapture* innermost = nullptr;

// Read by whichever thread logs, possibly while the handler is being installed.
std::atomic<QtMessageHandler> previousHandler = nullptr;
std::atomic<bool> showPluginMessages = false;

bool FromPlugin(const QMessageLogContext& context) {
    return context.category != nullptr &&
           std::strncmp(context.category, PLUGIN_CATEGORY, std::strlen(PLUGIN_CATEGORY)) == 0;
}

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (const QtMessageHandler previous = previousHandler.load(); previous != nullptr) {
        previous(type, context, message);
    } else {
        fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!FromPlugin(context) || showPluginMessages) {
        PassOn(type, context, message);
    }
    if (FromPlugin(context) && innermost != nullptr) {
        innermost->Add(message.toStdString());
    }
}

}  // namespace

void InstallPluginMessageHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        showPluginMessages = std::getenv("QT_LOGGING_RULES") != nullptr;
        previousHandler = qInstallMessageHandler(Handle);
    });
}

PluginMessageCapture::PluginMessageCapture() : outer_(innermost) {
    innermost = this;
}

PluginMessageCapture::~PluginMessageCapture() {
    innermost = outer_;
}

void PluginMessageCapture::Add(const std::string& message) {
    text_ += text_.empty() ? message : "; " + message;
}

}  // namespace kelvix
