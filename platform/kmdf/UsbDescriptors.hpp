// Standard USB descriptors, encoded and decoded byte by byte (little-endian).
//
// A configuration descriptor set is the 9-byte configuration descriptor, then
// for each interface its 9-byte descriptor followed by one 7-byte descriptor
// per endpoint; wTotalLength (bytes 2-3) is the length of the whole set.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/kmdf/KernelTypes.hpp"

namespace kmdf {

inline constexpr UCHAR USB_DEVICE_DESCRIPTOR_TYPE = 1;
inline constexpr UCHAR USB_CONFIGURATION_DESCRIPTOR_TYPE = 2;
inline constexpr UCHAR USB_INTERFACE_DESCRIPTOR_TYPE = 4;
inline constexpr UCHAR USB_ENDPOINT_DESCRIPTOR_TYPE = 5;
inline constexpr std::size_t USB_DEVICE_DESCRIPTOR_LENGTH = 18;
inline constexpr std::size_t USB_CONFIGURATION_DESCRIPTOR_LENGTH = 9;
inline constexpr std::size_t USB_INTERFACE_DESCRIPTOR_LENGTH = 9;
inline constexpr std::size_t USB_ENDPOINT_DESCRIPTOR_LENGTH = 7;

/// bmAttributes transfer types of an endpoint.
enum class UsbEndpointType : UCHAR { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

struct UsbEndpointInfo {
    UCHAR address = 0;  ///< bit 7 set for IN
    UsbEndpointType type = UsbEndpointType::Bulk;
    USHORT maxPacketSize = 64;
    UCHAR interval = 0;

    bool IsIn() const { return (address & 0x80) != 0; }
};

struct UsbDeviceIdentity {
    USHORT vendorId = 0;
    USHORT productId = 0;
    USHORT bcdDevice = 0;
};

/// The device descriptor fields the framework hands to drivers.
struct USB_DEVICE_DESCRIPTOR {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdUSB;
    UCHAR bDeviceClass;
    UCHAR bDeviceSubClass;
    UCHAR bDeviceProtocol;
    UCHAR bMaxPacketSize0;
    USHORT idVendor;
    USHORT idProduct;
    USHORT bcdDevice;
    UCHAR iManufacturer;
    UCHAR iProduct;
    UCHAR iSerialNumber;
    UCHAR bNumConfigurations;
};

std::vector<std::uint8_t> EncodeDeviceDescriptor(const UsbDeviceIdentity& identity);
USB_DEVICE_DESCRIPTOR DecodeDeviceDescriptor(std::span<const std::uint8_t> bytes);

/// One configuration with a single interface (number 0, alternate setting 0)
/// holding `endpoints` in order.
std::vector<std::uint8_t> EncodeConfigDescriptor(std::span<const UsbEndpointInfo> endpoints);

struct UsbInterfaceInfo {
    UCHAR number = 0;
    UCHAR alternateSetting = 0;
    std::vector<UsbEndpointInfo> endpoints;
};

struct UsbConfigurationInfo {
    std::vector<UsbInterfaceInfo> interfaces;
    /// Empty when the set was decoded, else what is wrong and at which offset.
    std::string error;
};

/// Decodes a configuration descriptor set, checking every length on the way.
UsbConfigurationInfo DecodeConfigDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace kmdf
