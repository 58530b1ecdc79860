#include "services/image.h"

#include "services/com_ptr.h"
#include "services/dib.h"
#include "services/handles.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>

namespace {

// The biggest PNG we write; anything larger means something went wrong.
constexpr ULONGLONG kMaxPngBytes = 256ull << 20;

ComPtr<IWICImagingFactory> make_factory() {
    ComPtr<IWICImagingFactory> factory;
    if (!ensure_com()) return factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     factory.put_void());
    return factory;
}

// A COM stream over a copy of the bytes; the memory goes with the stream.
ComPtr<IStream> stream_over(const Bytes& data) {
    ComPtr<IStream> stream;
    ScopedHGlobal block(GlobalAlloc(GMEM_MOVEABLE, data.size()));
    if (!block) return stream;
    {
        ScopedGlobalLock lock(block.get());
        if (!lock) return stream;
        std::memcpy(lock.get(), data.data(), data.size());
    }
    if (SUCCEEDED(CreateStreamOnHGlobal(block.get(), TRUE, stream.put()))) block.release();
    return stream;
}

}  // namespace

bool ensure_com() {
    thread_local const bool usable = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return usable;
}

bool is_png(const Bytes& data) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return data.size() >= 8 && std::memcmp(data.data(), kSignature, 8) == 0;
}

bool png_to_dib(const Bytes& png, Bytes& dib) {
    dib.clear();
    if (!is_png(png)) return false;
    ComPtr<IWICImagingFactory> factory = make_factory();
    if (!factory) return false;
    ComPtr<IStream> stream = stream_over(png);
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (!stream ||
        FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return false;
    // The header may promise any size; the pixels must fit what we allow.
    if (std::uint64_t(width) * height > kMaxImagePixelBytes / 4) return false;
    const UINT stride = width * 4;
    std::vector<std::uint8_t> pixels(size_t(stride) * height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()))) return false;
    dib = make_dib32(pixels.data(), width, height);
    return true;
}

namespace {

// The pixels of a DIB that is already what the encoder takes (32 bits, rows
// top-down, every alpha 255): a screenshot is, and is not copied again.
const std::uint8_t* encodable_as_is(const Bytes& dib, std::uint32_t& width, std::uint32_t& height) {
    DibLayout d;
    if (!parse_dib(dib, d) || d.bit_count != 32 || d.compression != kBiRgb || !d.top_down) return nullptr;
    const std::uint8_t* pixels = dib.data() + d.pixel_offset;
    for (std::uint64_t i = 3; i < d.image_bytes; i += 4)
        if (pixels[i] != 255) return nullptr;
    width = static_cast<std::uint32_t>(d.width);
    height = d.rows;
    return pixels;
}

}  // namespace

bool dib_to_png(const Bytes& dib, Bytes& png) {
    png.clear();
    std::vector<std::uint8_t> converted;
    std::uint32_t width = 0, height = 0;
    const std::uint8_t* pixels = encodable_as_is(dib, width, height);
    if (!pixels) {
        if (!dib_to_bgra(dib, converted, width, height)) return false;
        pixels = converted.data();
    }
    ComPtr<IWICImagingFactory> factory = make_factory();
    if (!factory) return false;

    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return false;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.put(), options.put())) || FAILED(frame->Initialize(options.get())) ||
        FAILED(frame->SetSize(width, height)) || FAILED(frame->SetPixelFormat(&format)) ||
        !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        return false;
    // Written straight from our memory, a band of rows at a time: a bitmap
    // source would be one more copy of the whole picture, and the encoder
    // may take a copy of all the rows it is given at once.
    const UINT stride = width * 4;
    constexpr UINT kBandRows = 128;
    for (UINT row = 0; row < height; row += kBandRows) {
        const UINT rows = std::min(kBandRows, height - row);
        if (FAILED(frame->WritePixels(rows, stride, stride * rows, const_cast<BYTE*>(pixels) + size_t(row) * stride)))
            return false;
    }
    if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) return false;

    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 ||
        stat.cbSize.QuadPart > kMaxPngBytes)
        return false;
    LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
    png.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG got = 0;
    if (FAILED(stream->Read(png.data(), static_cast<ULONG>(png.size()), &got))) got = 0;
    png.resize(got);
    return !png.empty();
}
