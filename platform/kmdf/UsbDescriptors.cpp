#include "platform/kmdf/UsbDescriptors.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace kmdf {

namespace {

void PutU16(std::vector<std::uint8_t>& out, USHORT value) {
    std::uint8_t word[2] = {};
    quillon::byteorder::PutU16LE(word, 0, value);
    out.insert(out.end(), std::begin(word), std::end(word));
}

USHORT GetU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return quillon::byteorder::GetU16LE(bytes, offset);
}

void PutEndpoint(std::vector<std::uint8_t>& out, const UsbEndpointInfo& endpoint) {
    out.insert(out.end(), {static_cast<std::uint8_t>(USB_ENDPOINT_DESCRIPTOR_LENGTH),
                           USB_ENDPOINT_DESCRIPTOR_TYPE, endpoint.address,
                           static_cast<std::uint8_t>(endpoint.type)});
    PutU16(out, endpoint.maxPacketSize);
    out.push_back(endpoint.interval);
}

std::string At(const char* what, std::size_t offset) {
    return std::string(what) + " at offset " + std::to_string(offset);
}

}  // namespace

std::vector<std::uint8_t> EncodeDeviceDescriptor(const UsbDeviceIdentity& identity) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(USB_DEVICE_DESCRIPTOR_LENGTH),
                                  USB_DEVICE_DESCRIPTOR_TYPE};
    PutU16(out, 0x0200);
    out.insert(out.end(), {0xFF, 0x00, 0x00, 64});
    PutU16(out, identity.vendorId);
    PutU16(out, identity.productId);
    PutU16(out, identity.bcdDevice);
    out.insert(out.end(), {1, 2, 3, 1});
    return out;
}

USB_DEVICE_DESCRIPTOR DecodeDeviceDescriptor(std::span<const std::uint8_t> bytes) {
    return USB_DEVICE_DESCRIPTOR{
        bytes[0],  bytes[1],  GetU16(bytes, 2), bytes[4],          bytes[5],
        bytes[6],  bytes[7],  GetU16(bytes, 8), GetU16(bytes, 10), GetU16(bytes, 12),
        bytes[14], bytes[15], bytes[16],        bytes[17]};
}

std::vector<std::uint8_t> EncodeConfigDescriptor(std::span<const UsbEndpointInfo> endpoints) {
    const auto total = USB_CONFIGURATION_DESCRIPTOR_LENGTH + USB_INTERFACE_DESCRIPTOR_LENGTH +
                       endpoints.size() * USB_ENDPOINT_DESCRIPTOR_LENGTH;
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(USB_CONFIGURATION_DESCRIPTOR_LENGTH),
                                  USB_CONFIGURATION_DESCRIPTOR_TYPE};
    PutU16(out, static_cast<USHORT>(total));
    // One interface, configuration value 1, no string, bus powered, 100 mA.
    out.insert(out.end(), {1, 1, 0, 0x80, 50});
    out.insert(out.end(), {static_cast<std::uint8_t>(USB_INTERFACE_DESCRIPTOR_LENGTH),
                           USB_INTERFACE_DESCRIPTOR_TYPE, 0, 0,
                           static_cast<std::uint8_t>(endpoints.size()), 0xFF, 0, 0, 0});
    for (const UsbEndpointInfo& endpoint : endpoints) {
        PutEndpoint(out, endpoint);
    }
    return out;
}

UsbConfigurationInfo DecodeConfigDescriptor(std::span<const std::uint8_t> bytes) {
    UsbConfigurationInfo info;
    if (bytes.size() < USB_CONFIGURATION_DESCRIPTOR_LENGTH ||
        bytes[1] != USB_CONFIGURATION_DESCRIPTOR_TYPE) {
        info.error = At("no configuration descriptor", 0);
        return info;
    }
    if (GetU16(bytes, 2) != bytes.size()) {
        info.error = At("wTotalLength differs from the set's length", 2);
        return info;
    }
    for (std::size_t offset = bytes[0]; offset < bytes.size();) {
        const std::size_t length = bytes[offset];
        if (length < 2 || offset + length > bytes.size()) {
            info.error = At("descriptor length runs past the set", offset);
            return info;
        }
        const std::uint8_t type = bytes[offset + 1];
        if (type == USB_INTERFACE_DESCRIPTOR_TYPE && length >= USB_INTERFACE_DESCRIPTOR_LENGTH) {
            info.interfaces.push_back(UsbInterfaceInfo{bytes[offset + 2], bytes[offset + 3], {}});
        } else if (type == USB_ENDPOINT_DESCRIPTOR_TYPE &&
                   length >= USB_ENDPOINT_DESCRIPTOR_LENGTH) {
            if (info.interfaces.empty()) {
                info.error = At("endpoint descriptor before any interface", offset);
                return info;
            }
            info.interfaces.back().endpoints.push_back(UsbEndpointInfo{
                bytes[offset + 2], static_cast<UsbEndpointType>(bytes[offset + 3] & 0x03),
                static_cast<USHORT>(GetU16(bytes, offset + 4) & 0x07FF), bytes[offset + 6]});
        }
        offset += length;
    }
    return info;
}

}  // namespace kmdf
