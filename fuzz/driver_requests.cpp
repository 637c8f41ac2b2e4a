// What a user-mode caller hands the driver: any file name after the device's
// interface path (the pipe is taken from its digits) and, on what opened, any
// device-control code with input and output buffers of any length. No USB
// transfer may complete twice or be malformed, whatever the buffers held.
// Opening and closing cost more than the requests, so most inputs send their
// requests on handles opened once (the device itself, pipes 0 and 1) and one
// in eight opens and closes a name of its own; pipes 2 and 3 stay free for
// those, so an open that takes a pipe and the cleanup that frees it run too.
#include <array>
#include <cstdlib>
#include <vector>

#include "driver/BrindleIoctl.hpp"
#include "fuzz/AdapterBench.hpp"
#include "fuzz/FuzzInput.hpp"

using namespace quillon;

namespace {

constexpr std::uint32_t CODES[] = {brindle::IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR,
                                   brindle::IOCTL_ADAPTER_RESET_DEVICE,
                                   brindle::IOCTL_ADAPTER_RESET_PIPE,
                                   brindle::IOCTL_ADAPTER_GET_PIPE_INFORMATION,
                                   brindle::IOCTL_ADAPTER_GET_PIPE_COUNT,
                                   brindle::IOCTL_ADAPTER_GET_ENDPOINT_STATUS};

std::uint32_t Code(fuzz::FuzzInput& input) {
    const std::uint8_t pick = input.Byte();
    return pick < 0xF0 ? CODES[pick % std::size(CODES)] : input.U32();
}

void SendRequests(kmdf::HandleApi& api, kmdf::UserHandle handle, fuzz::FuzzInput& input) {
    while (!input.Empty()) {
        const std::uint32_t code = Code(input);
        const auto in = input.Take(input.U16() % 300);
        std::vector<std::uint8_t> out(input.U16() % 300);
        (void)api.DeviceIoControl(fuzz::FUZZ_PROCESS, handle, code, in, out);
    }
}

std::array<kmdf::UserHandle, 3> KeptHandles(fuzz::AdapterBench& bench) {
    const kmdf::OpenResult opened[] = {
        bench.machine->Api().CreateFile(fuzz::FUZZ_PROCESS, bench.path), bench.Open("PIPE00"),
        bench.Open("PIPE01")};
    std::array<kmdf::UserHandle, 3> handles{};
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (!kmdf::NT_SUCCESS(opened[i].status)) {
            std::abort();
        }
        handles[i] = opened[i].handle;
    }
    return handles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::AdapterBench bench;
    auto& api = bench.machine->Api();
    static const std::array<kmdf::UserHandle, 3> kept = KeptHandles(bench);
    fuzz::FuzzInput input(data, size);
    const std::uint8_t pick = input.Byte();
    if (pick % 8 != 7) {
        SendRequests(api, kept[pick % kept.size()], input);
    } else {
        const kmdf::OpenResult opened = bench.Open(input.Text(24));
        if (!kmdf::NT_SUCCESS(opened.status)) {
            return 0;
        }
        SendRequests(api, opened.handle, input);
        api.CloseHandle(fuzz::FUZZ_PROCESS, opened.handle);
    }
    const kmdf::SimUsbStats usb = bench.usb->Stats();
    if (usb.doubleCompletions != 0 || usb.malformed != 0) {
        std::abort();
    }
    return 0;
}
