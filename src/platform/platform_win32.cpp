// platform_win32.cpp - the Win32 side of the platform seam.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

bool CreateBitmapPixels(int32_t width, int32_t height, void** bitmap, uint8_t** pixels) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(width) * DWORD(height) * 4;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP handle = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!handle || !bits) {
        if (handle) DeleteObject(handle);
        return false;
    }
    *bitmap = handle;
    *pixels = static_cast<uint8_t*>(bits);
    return true;
}

void DeleteBitmap(void* bitmap) { DeleteObject(static_cast<HGDIOBJ>(bitmap)); }

void WriteDebugOutput(const char* text) {
    if (text) OutputDebugStringA(text);
}

std::u16string AnsiToUtf16(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::u16string();
    std::u16string out(size_t(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(&out[0]), length);
    out.resize(size_t(length) - 1);
    return out;
}

std::string Utf16ToAnsi(const char16_t* text) {
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string out(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &out[0], length, nullptr, nullptr);
    out.resize(size_t(length) - 1);
    return out;
}

bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* contents) {
    if (!path || !contents) return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    bool ok = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0 && low <= maxBytes;
    std::vector<uint8_t> data;
    if (ok) {
        data.resize(low);
        DWORD done = 0;
        while (ok && done < low) {
            DWORD got = 0;
            ok = ReadFile(file, data.data() + done, low - done, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (ok) contents->swap(data);
    return ok;
}

}  // namespace platform
