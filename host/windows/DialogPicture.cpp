// Pictures of dialogs on Windows: the window as the system draws it on the
// screen, copied from there, as a bitmap inside an SVG document.
#include "host/win32/DialogPicture.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/windows/SystemCalls.h"

namespace orbalis::win32 {
namespace {

std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t{bytes[i]} << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kDigits[n >> 18 & 63];
        out += kDigits[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return out;
}

template <class T>
void Put(std::vector<uint8_t>& bytes, T value) {
    const size_t at = bytes.size();
    bytes.resize(at + sizeof value);
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

std::string DrawDialogSvg(HWND dialog) {
    RECT r{};
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Above every other window, since the picture is what the screen shows.
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as a .bmp file keeps its rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    std::vector<uint8_t> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    Put<uint32_t>(bmp, static_cast<uint32_t>(14 + sizeof info + pixels.size()));
    Put<uint32_t>(bmp, 0);
    Put<uint32_t>(bmp, static_cast<uint32_t>(14 + sizeof info));
    Put(bmp, info);
    bmp.insert(bmp.end(), pixels.begin(), pixels.end());
    const std::string w = std::to_string(width), h = std::to_string(height);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w +
           " " + h + "\">\n<image width=\"" + w + "\" height=\"" + h + "\" href=\"data:image/bmp;base64," +
           Base64(bmp) + "\"/>\n</svg>\n";
}

std::string DrawTemplateSvg(HINSTANCE module, int id, std::string* error) {
    if (!FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG)) {
        *error = "there is no dialog " + std::to_string(id);
        return {};
    }
    // A child template (one that sits inside another dialog) is shown in a
    // plain dialog frame of its own.
    HWND frame = nullptr;
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, QuietProc, 0);
    if (!dialog) {
        static const char16_t kFrame[] = u"OrbalisPictureFrame";
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = WideText(kFrame);
        RegisterClassExW(&wc);
        frame =
            CreateWindowExW(0, kFrame, u"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), frame, QuietProc, 0);
        if (dialog) {
            RECT r{};
            GetWindowRect(dialog, &r);
            MoveWindow(frame, 0, 0, r.right - r.left, r.bottom - r.top, TRUE);
            ShowWindow(dialog, SW_SHOW);
        }
    }
    if (!dialog) {
        if (frame) DestroyWindow(frame);
        *error = "dialog " + std::to_string(id) + " could not be made";
        return {};
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(frame ? frame : dialog);
    std::string svg = DrawDialogSvg(frame ? frame : dialog);
    DestroyWindow(frame ? frame : dialog);
    return svg;
}

}  // namespace orbalis::win32
