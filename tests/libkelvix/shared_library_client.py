#!/usr/bin/env python3
"""A Python program using the shared adapter library through ctypes, as any
program written against its C interface could: open, initialise, start, send
the read request to the simulated device and receive its identity frame 1.

Usage: shared_library_client.py PATH-OF-LIBKELVIX
Exit status 0 when every call answered as expected."""
import ctypes
import os
import sys

DEVICE_TYPE, INDEX, CHANNEL = 4, 0, 0


class CanFrameRecord(ctypes.Structure):
    _fields_ = [("ID", ctypes.c_uint32), ("TimeStamp", ctypes.c_uint32),
                ("TimeFlag", ctypes.c_uint8), ("SendType", ctypes.c_uint8),
                ("RemoteFlag", ctypes.c_uint8), ("ExternFlag", ctypes.c_uint8),
                ("DataLen", ctypes.c_uint8), ("Data", ctypes.c_uint8 * 8),
                ("Reserved", ctypes.c_uint8 * 3)]


class CanInitRecord(ctypes.Structure):
    _fields_ = [("AccCode", ctypes.c_uint32), ("AccMask", ctypes.c_uint32),
                ("Reserved", ctypes.c_uint32), ("Filter", ctypes.c_uint8),
                ("Timing0", ctypes.c_uint8), ("Timing1", ctypes.c_uint8),
                ("Mode", ctypes.c_uint8)]


class CanErrorRecord(ctypes.Structure):
    _fields_ = [("ErrCode", ctypes.c_uint32), ("Passive_ErrData", ctypes.c_uint8 * 3),
                ("ArLost_ErrData", ctypes.c_uint8)]


def check(what, got, expected):
    if got != expected:
        raise SystemExit(f"FAILED: {what} returned {got}, expected {expected}")
    print(f"ok: {what}")


def declare(lib):
    u32, i32, ptr = ctypes.c_uint32, ctypes.c_int32, ctypes.POINTER
    signatures = {
        "VCI_OpenDevice": (u32, [u32, u32, u32]),
        "VCI_CloseDevice": (u32, [u32, u32]),
        "VCI_InitCAN": (u32, [u32, u32, u32, ptr(CanInitRecord)]),
        "VCI_StartCAN": (u32, [u32, u32, u32]),
        "VCI_Transmit": (u32, [u32, u32, u32, ptr(CanFrameRecord), u32]),
        "VCI_Receive": (i32, [u32, u32, u32, ptr(CanFrameRecord), u32, i32]),
        "VCI_ReadErrInfo": (u32, [u32, u32, u32, ptr(CanErrorRecord)]),
        "VCI_SetReference": (u32, [u32, u32, u32, u32, ctypes.c_void_p]),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype, function.argtypes = restype, argtypes


def receive_identity(lib):
    frames = (CanFrameRecord * 50)()
    for _ in range(25):
        received = lib.VCI_Receive(DEVICE_TYPE, INDEX, CHANNEL, frames, 50, 200)
        for frame in frames[:max(received, 0)]:
            if frame.ID == 1 and frame.ExternFlag == 0 and frame.DataLen == 8:
                print("ok: identity frame 1 received")
                return
    raise SystemExit("FAILED: no identity frame 1 within 5000 ms")


def main():
    check("size of CanFrameRecord", ctypes.sizeof(CanFrameRecord), 24)
    check("size of CanInitRecord", ctypes.sizeof(CanInitRecord), 16)
    os.environ.pop("KELVIX_ADAPTER", None)  # the library's default: the simulated device
    lib = ctypes.CDLL(sys.argv[1])
    declare(lib)
    check("VCI_OpenDevice", lib.VCI_OpenDevice(DEVICE_TYPE, INDEX, 0), 1)
    init = CanInitRecord(AccCode=1, AccMask=0x10, Timing0=0xFF, Timing1=0xFF)
    check("VCI_InitCAN", lib.VCI_InitCAN(DEVICE_TYPE, INDEX, CHANNEL, ctypes.byref(init)), 1)
    check("VCI_StartCAN", lib.VCI_StartCAN(DEVICE_TYPE, INDEX, CHANNEL), 1)
    reference = ctypes.c_uint32(1000)
    check("VCI_SetReference",
          lib.VCI_SetReference(DEVICE_TYPE, INDEX, CHANNEL, 3, ctypes.byref(reference)), 1)
    request = CanFrameRecord(ID=6, DataLen=8)
    request.Data[0] = 0xFF
    check("VCI_Transmit", lib.VCI_Transmit(DEVICE_TYPE, INDEX, CHANNEL, ctypes.byref(request), 1), 1)
    receive_identity(lib)
    error = CanErrorRecord()
    check("VCI_ReadErrInfo", lib.VCI_ReadErrInfo(DEVICE_TYPE, INDEX, CHANNEL, ctypes.byref(error)), 1)
    check("error code", error.ErrCode, 0)
    check("VCI_CloseDevice", lib.VCI_CloseDevice(DEVICE_TYPE, INDEX), 1)


if __name__ == "__main__":
    main()
