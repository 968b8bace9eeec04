// A picture of a dialog's client area as the display shows it, copied into memory and
// saved as a PNG file through the platform's imaging component (WIC). It needs a
// display: on Windows, or under Wine with an X server (a virtual one, Xvfb, will do);
// Wine's null graphics driver draws nothing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavrel::pagehost {

class DialogPicture {
public:
    // Copies what the display shows of the window's client area. False when there is
    // nothing to copy (no window, no memory, no display).
    bool Take(HWND window);
    bool Empty() const { return m_pixels.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The colour at x, y as 0x00RRGGBB.
    COLORREF Pixel(int x, int y) const;

    // Writes the picture as a PNG file; the HRESULT of the step that failed.
    HRESULT SavePng(const std::wstring& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<BYTE> m_pixels;  // 32 bits a pixel, blue green red unused, top row first
};

}  // namespace tavrel::pagehost
