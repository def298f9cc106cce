#include "io/PngRowEncoder.h"

ImageError PngRowEncoder::Start(UINT width, UINT height, const WICPixelFormatGUID& format, bool unfiltered)
{
    if (m_frame.get() || width == 0 || height == 0) {
        return ImageError::CannotEncode;
    }
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(m_factory.out())))) {
        return ImageError::CodecUnavailable;
    }
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, m_memory.out()))) {
        return ImageError::CannotEncode;
    }
    ComRef<IPropertyBag2> options;
    if (FAILED(m_factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, m_encoder.out())) ||
        FAILED(m_encoder->Initialize(m_memory.get(), WICBitmapEncoderNoCache)) ||
        FAILED(m_encoder->CreateNewFrame(m_frame.out(), options.out()))) {
        return ImageError::CannotEncode;
    }
    if (unfiltered) {
        // An encoder that does not know the option filters as it likes: the pixels are the same.
        PROPBAG2 option = {};
        option.pstrName = const_cast<LPOLESTR>(L"FilterOption");
        VARIANT value = {};
        value.vt = VT_UI1;
        value.bVal = WICPngFilterNone;
        options->Write(1, &option, &value);
    }
    WICPixelFormatGUID offered = format;
    if (FAILED(m_frame->Initialize(options.get())) || FAILED(m_frame->SetSize(width, height)) ||
        FAILED(m_frame->SetPixelFormat(&offered))) {
        return ImageError::CannotEncode;
    }
    // The encoder may offer another format than the one asked for; the pixels are only in this one.
    return IsEqualGUID(offered, format) ? ImageError::None : ImageError::CannotEncode;
}

ImageError PngRowEncoder::WriteRows(UINT rows, UINT stride, const void* pixels)
{
    if (!m_frame.get() || FAILED(m_frame->WritePixels(rows, stride, stride * rows,
                                                       static_cast<BYTE*>(const_cast<void*>(pixels))))) {
        return ImageError::CannotEncode;
    }
    return ImageError::None;
}

ImageError PngRowEncoder::Finish(std::vector<unsigned char>* png)
{
    if (!m_frame.get() || FAILED(m_frame->Commit()) || FAILED(m_encoder->Commit())) {
        return ImageError::CannotEncode;
    }
    STATSTG status = {};
    HGLOBAL global = nullptr;
    if (FAILED(m_memory->Stat(&status, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(m_memory.get(), &global))) {
        return ImageError::CannotEncode;
    }
    const void* data = GlobalLock(global);
    if (!data) {
        return ImageError::CannotEncode;
    }
    const unsigned char* begin = static_cast<const unsigned char*>(data);
    png->assign(begin, begin + status.cbSize.QuadPart);
    GlobalUnlock(global);
    return ImageError::None;
}
