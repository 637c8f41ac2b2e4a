// What a user-mode caller hands the driver: any file name after the device's
// interface path (the pipe is taken from its digits) and, on what opened, any
// device-control code with input and output buffers of any length. No USB
// transfer may complete twice or be malformed, whatever the buffers held.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::AdapterBench bench;
    auto& api = bench.machine->Api();
    fuzz::FuzzInput input(data, size);
    const kmdf::OpenResult opened = bench.Open(input.Text(24));
    if (!kmdf::NT_SUCCESS(opened.status)) {
        return 0;
    }
    while (!input.Empty()) {
        const std::uint32_t code = Code(input);
        const auto in = input.Take(input.U16() % 300);
        std::vector<std::uint8_t> out(input.U16() % 300);
        (void)api.DeviceIoControl(fuzz::FUZZ_PROCESS, opened.handle, code, in, out);
    }
    api.CloseHandle(fuzz::FUZZ_PROCESS, opened.handle);
    const kmdf::SimUsbStats usb = bench.usb->Stats();
    if (usb.doubleCompletions != 0 || usb.malformed != 0) {
        std::abort();
    }
    return 0;
}
