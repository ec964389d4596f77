// Capturing windows into pictures and writing them as PNG through the
// Windows Imaging Component, the platform's own encoder.
#include "picture.h"

#include <wincodec.h>

#include "gdi_owners.h"

namespace showcase {
namespace {

// Copies a DC's area into a top-down 32-bit DIB and returns its pixels.
Picture copyFromDc(HDC source, int left, int top, int width, int height)
{
    Picture picture;
    if (!source || width <= 0 || height <= 0)
        return picture;
    BITMAPINFO info = topDownInfo(width, height);
    void* bits = nullptr;
    owners::Bitmap dib(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    owners::MemoryDc memory(CreateCompatibleDC(source));
    if (!dib || !memory || !bits)
        return picture;
    {
        owners::Selection select(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, width, height, source, left, top, SRCCOPY);
        GdiFlush();
    }
    picture.width = width;
    picture.height = height;
    const auto* p = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(p, p + static_cast<size_t>(width) * height);
    for (auto& pixel : picture.pixels)
        pixel &= 0x00FFFFFF;
    return picture;
}

template <class T>
struct ComRelease {
    T* p = nullptr;
    ~ComRelease()
    {
        if (p)
            p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

BITMAPINFO topDownInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Picture captureWindow(HWND window)
{
    RECT r{};
    if (!GetClientRect(window, &r))
        return {};
    owners::WindowDc dc(window);
    return copyFromDc(dc.get(), 0, 0, r.right, r.bottom);
}

Picture captureScreen(const RECT& area)
{
    owners::WindowDc dc(nullptr);
    return copyFromDc(dc.get(), area.left, area.top, area.right - area.left, area.bottom - area.top);
}

bool savePng(const Picture& picture, const std::string& path)
{
    if (picture.empty())
        return false;
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    bool saved = false;
    {
        std::wstring widePath(path.begin(), path.end());
        ComRelease<IWICImagingFactory> factory;
        ComRelease<IWICStream> stream;
        ComRelease<IWICBitmapEncoder> encoder;
        ComRelease<IWICBitmapFrameEncode> frame;
        std::vector<std::uint32_t> bgra(picture.pixels);
        for (auto& pixel : bgra)
            pixel |= 0xFF000000;  // opaque
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        const UINT stride = static_cast<UINT>(picture.width) * 4;
        saved = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))
                && SUCCEEDED(factory->CreateStream(stream.out()))
                && SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE))
                && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()))
                && SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache))
                && SUCCEEDED(encoder->CreateNewFrame(frame.out(), nullptr))
                && SUCCEEDED(frame->Initialize(nullptr))
                && SUCCEEDED(frame->SetSize(picture.width, picture.height))
                && SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA
                && SUCCEEDED(frame->WritePixels(picture.height, stride, stride * picture.height,
                                                reinterpret_cast<BYTE*>(bgra.data())))
                && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    if (comStarted)
        CoUninitialize();
    return saved;
}

}  // namespace showcase
