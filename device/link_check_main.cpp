// A diagnostic program: the log window, attached to a device channel, shows every frame
// of identifying the device on one COM port. Usage: t6linkcheck [COM number], default 7.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "device/channel.h"
#include "device/log_window.h"

static void Identify(DeviceChannel& channel, int com, HWND window)
{
    char path[20];
    snprintf(path, sizeof path, "\\\\.\\COM%i", com);
    char title[160];
    if (channel.OpenPort(path) != CW_S_OK) {
        snprintf(title, sizeof title, "COM%i: no port", com);
        SetWindowTextA(window, title);
        return;
    }
    uint8_t version[3] = {};
    DeviceResult result = channel.GetFirmwareVersion(version);
    DeviceCaps caps = 0;
    if (result != CW_S_OK || !IdentifyModel(char(version[2]), version, &caps)) {
        snprintf(title, sizeof title, "COM%i: no device (%s)", com, DeviceResultName(result));
        SetWindowTextA(window, title);
        channel.ClosePort();
        return;
    }
    channel.capabilities = caps;
    uint8_t block[7] = {};
    if (caps & kCapsExtendedProtocol)
        channel.ReadEEPROM(1, 7, block);
    char name[100] = "";
    DeviceModelName(caps, name, sizeof name, version);
    snprintf(title, sizeof title, "COM%i: %s", com, name);
    SetWindowTextA(window, title);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    int com = atoi(commandLine);
    if (com <= 0 || com > 255)
        com = 7;
    RegisterLogWindowClass(instance);
    LogSink sink = {nullptr, nullptr, nullptr, nullptr, GetStockObject(ANSI_FIXED_FONT)};
    HWND window = CreateWindowExA(0, kLogWindowClass, "Device log", WS_OVERLAPPEDWINDOW, 0, 0, 720, 480, nullptr,
                                  nullptr, instance, &sink);
    if (window == nullptr)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    DeviceChannel channel;
    channel.SetLogTarget(&sink);
    Identify(channel, com, window);

    MSG msg;
    while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    channel.SetLogTarget(nullptr);
    if (channel.IsPortOpen())
        channel.ClosePort();
    return 0;
}
