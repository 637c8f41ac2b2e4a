#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"

#include <QCanBus>
#include <QCoreApplication>
#include <memory>
#include <thread>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/qcanbus/QCanBusAdapter.hpp"
#include "platform/kelvix/qcanbus/QCanBusListing.hpp"
#include "platform/kelvix/qcanbus/QtEventThread.hpp"
#include "platform/kelvix/qcanbus/QtPluginMessages.hpp"

namespace kelvix {
namespace {

std::vector<std::string> Plugins() {
    std::vector<std::string> names;
    for (const QString& plugin : QCanBus::instance()->plugins()) {
        names.push_back(plugin.toStdString());
    }
    return names;
}

PluginDevices Devices(const std::string& plugin) {
    PluginMessageCapture logged;
    QString error;
    const QList<QCanBusDeviceInfo> found =
        QCanBus::instance()->availableDevices(QString::fromStdString(plugin), &error);
    PluginDevices seen;
    for (const QCanBusDeviceInfo& device : found) {
        seen.devices.push_back({device.name().toStdString(), device.description().toStdString()});
    }
    seen.answer = {error.toStdString(), logged.Text()};
    return seen;
}

PluginAnswer Create(const std::string& plugin, const std::string& name) {
    PluginMessageCapture logged;
    QString error;
    std::unique_ptr<QCanBusDevice> device(QCanBus::instance()->createDevice(
        QString::fromStdString(plugin), QString::fromStdString(name), &error));
    if (device != nullptr) {
        return {};
    }
    return {error.toStdString(),
            logged.Text().empty() ? "the plugin made no device" : logged.Text()};
}

}  // namespace

void RegisterQCanBusBackend() {
    InstallPluginMessageHandler();
    RegisterBackend(
        "qcanbus",
        [](const AdapterSpec& spec, std::uint32_t, std::string& error) -> std::unique_ptr<Adapter> {
            auto options = ParseQCanBusOptions(spec.options, error);
            if (!options) {
                return nullptr;
            }
            return std::make_unique<QCanBusAdapter>(std::move(*options));
        });
}

int RunWithQtEventLoop(const std::function<int()>& program) {
    if (QCoreApplication::instance() != nullptr) {
        return program();  // an application runs the loop already
    }
    int argc = 1;
    char name[] = "quillon";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QtEventThread::Instance();
    int status = 0;
    std::thread worker([&] {
        status = program();
        CloseAllAdapters();
        QtEventThread::Instance().Shutdown();
        QMetaObject::invokeMethod(
            &application, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    application.exec();
    worker.join();
    return status;
}

std::vector<InterfaceListing> ListQCanBusInterfaces() {
    InstallPluginMessageHandler();
    std::vector<InterfaceListing> listings;
    const bool ran = QtEventThread::Instance().Call([&] {
        listings = ListPluginInterfaces({Plugins, Devices, Create});
    });
    if (!ran) {
        return {
            {"qcanbus", "", "Qt SerialBus plugins", "the Qt thread has stopped; not tried", true}};
    }
    return listings;
}

}  // namespace kelvix
