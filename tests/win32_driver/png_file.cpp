#include "tests/win32_driver/png_file.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>

#include "tests/win32_driver/step.h"
#include "win32_window/com_reference.h"

namespace velmora::driver {

namespace {

void check(HRESULT result, const char* call) {
    if (FAILED(result)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
        throw StepFailure(std::string("writing the PNG file: ") + call + " failed (" + code + ")");
    }
}

}  // namespace

void writePng(const std::wstring& path, const Bitmap& bitmap) {
    const Bitmap pixels = bitmap.toBgr24();
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        win32::ComReference<IWICImagingFactory> factory;
        check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out())),
              "CoCreateInstance");
        win32::ComReference<IWICStream> stream;
        check(factory->CreateStream(stream.out()), "CreateStream");
        check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "InitializeFromFilename");
        win32::ComReference<IWICBitmapEncoder> encoder;
        check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()), "CreateEncoder");
        check(encoder->Initialize(stream.pointer, WICBitmapEncoderNoCache), "Initialize");
        win32::ComReference<IWICBitmapFrameEncode> frame;
        check(encoder->CreateNewFrame(frame.out(), nullptr), "CreateNewFrame");
        check(frame->Initialize(nullptr), "frame Initialize");
        check(frame->SetSize(static_cast<UINT>(pixels.width()), static_cast<UINT>(pixels.height())), "SetSize");
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        check(frame->SetPixelFormat(&format), "SetPixelFormat");
        require(IsEqualGUID(format, GUID_WICPixelFormat24bppBGR), "the PNG encoder does not take 24-bit BGR");
        const auto stride = static_cast<UINT>(pixels.bytesPerLine());
        check(frame->WritePixels(static_cast<UINT>(pixels.height()), stride, stride * static_cast<UINT>(pixels.height()),
                                 const_cast<BYTE*>(pixels.bits())),
              "WritePixels");
        check(frame->Commit(), "frame Commit");
        check(encoder->Commit(), "Commit");
    }
    if (SUCCEEDED(initialised)) CoUninitialize();
}

}  // namespace velmora::driver
