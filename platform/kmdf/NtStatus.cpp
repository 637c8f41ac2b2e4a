#include "platform/kmdf/NtStatus.hpp"

#include <array>
#include <cstdio>
#include <utility>

namespace kmdf {

namespace {

constexpr std::array<std::pair<NTSTATUS, const char*>, 20> NAMES{{
    {STATUS_SUCCESS, "STATUS_SUCCESS"},
    {STATUS_PENDING, "STATUS_PENDING"},
    {STATUS_UNSUCCESSFUL, "STATUS_UNSUCCESSFUL"},
    {STATUS_INVALID_HANDLE, "STATUS_INVALID_HANDLE"},
    {STATUS_INVALID_PARAMETER, "STATUS_INVALID_PARAMETER"},
    {STATUS_NO_SUCH_DEVICE, "STATUS_NO_SUCH_DEVICE"},
    {STATUS_INVALID_DEVICE_REQUEST, "STATUS_INVALID_DEVICE_REQUEST"},
    {STATUS_ACCESS_DENIED, "STATUS_ACCESS_DENIED"},
    {STATUS_BUFFER_TOO_SMALL, "STATUS_BUFFER_TOO_SMALL"},
    {STATUS_OBJECT_NAME_NOT_FOUND, "STATUS_OBJECT_NAME_NOT_FOUND"},
    {STATUS_INSUFFICIENT_RESOURCES, "STATUS_INSUFFICIENT_RESOURCES"},
    {STATUS_DEVICE_DATA_ERROR, "STATUS_DEVICE_DATA_ERROR"},
    {STATUS_DEVICE_NOT_CONNECTED, "STATUS_DEVICE_NOT_CONNECTED"},
    {STATUS_IO_TIMEOUT, "STATUS_IO_TIMEOUT"},
    {STATUS_INTERNAL_ERROR, "STATUS_INTERNAL_ERROR"},
    {STATUS_CANCELLED, "STATUS_CANCELLED"},
    {STATUS_FILE_CLOSED, "STATUS_FILE_CLOSED"},
    {STATUS_INVALID_DEVICE_STATE, "STATUS_INVALID_DEVICE_STATE"},
    {STATUS_INVALID_BUFFER_SIZE, "STATUS_INVALID_BUFFER_SIZE"},
    {STATUS_NOT_FOUND, "STATUS_NOT_FOUND"},
}};

}  // namespace

std::string NtStatusText(NTSTATUS status) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(status));
    for (const auto& [code, name] : NAMES) {
        if (code == status) {
            return std::string(name) + " (" + hex + ")";
        }
    }
    return hex;
}

}  // namespace kmdf
