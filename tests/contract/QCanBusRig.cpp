// The "qcanbus" backend's row: Qt SerialBus's virtualcan plugin, whose bus is
// a TCP server on the loopback interface that the first device starts. The
// port is one nobody listens on, chosen once per process, so that the suite
// never shares a bus with another program's (virtualcan's default port).
#include <QHostAddress>
#include <QTcpServer>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"
#include "platform/kelvix/qcanbus/QtEventThread.hpp"
#include "tests/contract/AdapterRig.hpp"

namespace quillon::test {
namespace {

// A loopback port free now; the Qt thread asks, as sockets need its loop.
quint16 FreeLoopbackPort() {
    quint16 port = 0;
    kelvix::QtEventThread::Instance().Call([&] {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, 0)) {
            port = probe.serverPort();
        }
    });
    return port;
}

std::string Interface(const char* name) {
    static const quint16 PORT = FreeLoopbackPort();
    return "tcp://127.0.0.1:" + std::to_string(PORT) + "/" + name;
}

class QCanBusRig final : public AdapterRig {
  public:
    QCanBusRig() { kelvix::RegisterQCanBusBackend(); }

    void Prepare(OpenAs kind) override {
        switch (kind) {
            case OpenAs::Working:
                kelvix::SetAdapterSpecOverride("qcanbus:virtualcan:" + Interface("can0") + "," +
                                               Interface("can1"));
                return;
            case OpenAs::Refusing:
                kelvix::SetAdapterSpecOverride("qcanbus:virtualcan:" + Interface("can0"));
                return;
            case OpenAs::Failing:
                kelvix::SetAdapterSpecOverride("qcanbus:nosuchplugin:can0,can1");
                return;
        }
    }
};

INSTANTIATE_TEST_SUITE_P(QCanBus, AdapterContractTest,
                         ::testing::Values(RigRow{
                             "qcanbus",
                             [] { return std::make_unique<QCanBusRig>(); },
                             0,
                             KELVIX_ERR_BAD_CHANNEL,
                             "virtualcan takes every frame it is given, so the refusing adapter "
                             "has no interface on channel 1 and refuses the batch's first frame",
                             {}}),
                         RowName);

}  // namespace
}  // namespace quillon::test
