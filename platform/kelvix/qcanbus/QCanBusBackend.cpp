#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"

#include <QCanBus>
#include <QCoreApplication>
#include <thread>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/qcanbus/QCanBusAdapter.hpp"
#include "platform/kelvix/qcanbus/QtEventThread.hpp"

namespace kelvix {
namespace {

std::vector<InterfaceListing> ListPlugin(const QString& plugin) {
    const std::string name = plugin.toStdString();
    QString error;
    const QList<QCanBusDeviceInfo> devices = QCanBus::instance()->availableDevices(plugin, &error);
    if (!error.isEmpty()) {
        return {{"qcanbus", "", "Qt SerialBus plugin " + name, error.toStdString()}};
    }
    if (devices.isEmpty()) {
        return {{"qcanbus", "", "Qt SerialBus plugin " + name, "the plugin sees no device"}};
    }
    std::vector<InterfaceListing> listings;
    for (const QCanBusDeviceInfo& device : devices) {
        const std::string description = device.description().toStdString();
        listings.push_back({"qcanbus", "qcanbus:" + name + ":" + device.name().toStdString(),
                            description.empty() ? "Qt SerialBus plugin " + name : description, ""});
    }
    return listings;
}

}  // namespace

void RegisterQCanBusBackend() {
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
    std::vector<InterfaceListing> listings;
    QtEventThread::Instance().Call([&] {
        for (const QString& plugin : QCanBus::instance()->plugins()) {
            for (auto& listing : ListPlugin(plugin)) {
                listings.push_back(std::move(listing));
            }
        }
    });
    return listings;
}

}  // namespace kelvix
