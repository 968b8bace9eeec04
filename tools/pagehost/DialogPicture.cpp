#include "DialogPicture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>

using Microsoft::WRL::ComPtr;

namespace tavrel::pagehost {

bool DialogPicture::Take(HWND window) {
    RECT client{};
    if (!::IsWindow(window) || !::GetClientRect(window, &client))
        return false;
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC shown = ::GetDC(window);
    HBITMAP bitmap = shown ? ::CreateDIBSection(shown, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    HDC memory = shown ? ::CreateCompatibleDC(shown) : nullptr;
    bool copied = false;
    if (bitmap && memory && bits) {
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        // What the display shows of the dialog's client area, freshly painted.
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        copied = ::BitBlt(memory, 0, 0, width, height, shown, 0, 0, SRCCOPY) != FALSE;
        ::GdiFlush();
        ::SelectObject(memory, previous);
    }
    if (copied) {
        const auto* first = static_cast<const BYTE*>(bits);
        const auto* last = first + static_cast<size_t>(width) * height * 4;
        // Without a display (Wine's null graphics driver) nothing is drawn: all one colour.
        const bool drawn = std::any_of(first, last, [first](const BYTE& byte) {
            const size_t offset = static_cast<size_t>(&byte - first);
            return (offset % 4) != 3 && byte != first[offset % 4];
        });
        if (drawn) {
            m_width = width;
            m_height = height;
            m_pixels.assign(first, last);
        }
        copied = drawn;
    }
    if (memory)
        ::DeleteDC(memory);
    if (bitmap)
        ::DeleteObject(bitmap);
    if (shown)
        ::ReleaseDC(window, shown);
    return copied;
}

COLORREF DialogPicture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const BYTE* pixel = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
    return RGB(pixel[2], pixel[1], pixel[0]);
}

HRESULT DialogPicture::SavePng(const std::wstring& path) const {
    if (m_pixels.empty())
        return E_UNEXPECTED;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(stream.GetAddressOf());
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.GetAddressOf());
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(frame.GetAddressOf(), nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(static_cast<UINT>(m_width), static_cast<UINT>(m_height));
    // The pixels' fourth byte is not alpha. The encoder says which layout it takes.
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    std::vector<BYTE> rows;
    const BYTE* pixels = m_pixels.data();
    UINT stride = static_cast<UINT>(m_width) * 4;
    if (SUCCEEDED(hr) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        // The encoder takes 24-bit colour: drop the fourth byte of every pixel.
        rows.resize(static_cast<size_t>(m_width) * 3 * m_height);
        for (size_t i = 0, j = 0; i < m_pixels.size(); i += 4, j += 3)
            std::memcpy(&rows[j], &m_pixels[i], 3);
        pixels = rows.data();
        stride = static_cast<UINT>(m_width) * 3;
    } else if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) {
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    }
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(static_cast<UINT>(m_height), stride, stride * static_cast<UINT>(m_height),
                                const_cast<BYTE*>(pixels));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

}  // namespace tavrel::pagehost
