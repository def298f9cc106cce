#include "Encoders.h"

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 255U));
    out.push_back(static_cast<uint8_t>((v >> 8) & 255U));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFFU);
    PutU16(out, v >> 16);
}

// Blue, green, red and, when wanted, alpha of one pixel.
void PutPixel(std::vector<uint8_t>& out, const Image& img, int x, int y, bool withAlpha)
{
    const Rgb& p = img.At(x, y);
    out.push_back(ToByte(p.b));
    out.push_back(ToByte(p.g));
    out.push_back(ToByte(p.r));
    if (withAlpha) {
        out.push_back(ToByte(img.AlphaAt(x, y)));
    }
}

}  // namespace

size_t BmpRowBytes(int width)
{
    return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

std::vector<uint8_t> BmpHeader(int width, int height)
{
    const uint32_t imageBytes = static_cast<uint32_t>(BmpRowBytes(width) * static_cast<size_t>(height));
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54U + imageBytes);
    PutU32(out, 0U);
    PutU32(out, 54U);
    PutU32(out, 40U);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1U);
    PutU16(out, 24U);
    PutU32(out, 0U);  // BI_RGB
    PutU32(out, imageBytes);
    PutU32(out, 2835U);  // 72 dpi
    PutU32(out, 2835U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    return out;
}

std::vector<uint8_t> EncodeBmp(const Image& img)
{
    std::vector<uint8_t> out = BmpHeader(img.w, img.h);
    const size_t rowBytes = BmpRowBytes(img.w);
    for (int y = img.h - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < img.w; ++x) {
            PutPixel(out, img, x, y, false);
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

// Icon directory, then one image per size: BITMAPINFOHEADER with doubled height, BGRA rows bottom-up, then the
// 1-bit AND mask (set where the icon is clear) with rows padded to 32 bits.
std::vector<uint8_t> EncodeIcon(const std::vector<Image>& images)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& img : images) {
        const size_t maskRow = (static_cast<size_t>(img.w) + 31) / 32 * 4;
        const uint32_t imageBytes = static_cast<uint32_t>(static_cast<size_t>(img.w) * img.h * 4 + maskRow * img.h);
        std::vector<uint8_t> body;
        PutU32(body, 40U);
        PutU32(body, static_cast<uint32_t>(img.w));
        PutU32(body, static_cast<uint32_t>(img.h * 2));
        PutU16(body, 1U);
        PutU16(body, 32U);
        PutU32(body, 0U);
        PutU32(body, imageBytes);
        PutU32(body, 0U);
        PutU32(body, 0U);
        PutU32(body, 0U);
        PutU32(body, 0U);
        for (int y = img.h - 1; y >= 0; --y) {
            for (int x = 0; x < img.w; ++x) {
                PutPixel(body, img, x, y, true);
            }
        }
        for (int y = img.h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskRow, 0);
            for (int x = 0; x < img.w; ++x) {
                if (img.AlphaAt(x, y) < 0.5) {
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80U >> (x % 8));
                }
            }
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(body);
    }
    std::vector<uint8_t> out;
    PutU16(out, 0U);
    PutU16(out, 1U);  // icon
    PutU16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].w));
        out.push_back(static_cast<uint8_t>(images[i].h));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutU16(out, 1U);
        PutU16(out, 32U);
        PutU32(out, static_cast<uint32_t>(bodies[i].size()));
        PutU32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const std::vector<uint8_t>& body : bodies) {
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

std::vector<uint8_t> EncodeDds(const Image& img)
{
    std::vector<uint8_t> out;
    out.push_back('D');
    out.push_back('D');
    out.push_back('S');
    out.push_back(' ');
    PutU32(out, 124U);
    PutU32(out, 0x1U | 0x2U | 0x4U | 0x8U | 0x1000U);  // CAPS, HEIGHT, WIDTH, PITCH, PIXELFORMAT
    PutU32(out, static_cast<uint32_t>(img.h));
    PutU32(out, static_cast<uint32_t>(img.w));
    PutU32(out, static_cast<uint32_t>(img.w * 4));  // pitch
    PutU32(out, 0U);                                // depth
    PutU32(out, 0U);                                // mip map count
    for (int i = 0; i < 11; ++i) {
        PutU32(out, 0U);
    }
    PutU32(out, 32U);           // pixel format size
    PutU32(out, 0x1U | 0x40U);  // ALPHAPIXELS | RGB
    PutU32(out, 0U);
    PutU32(out, 32U);
    PutU32(out, 0x00FF0000U);
    PutU32(out, 0x0000FF00U);
    PutU32(out, 0x000000FFU);
    PutU32(out, 0xFF000000U);
    PutU32(out, 0x1000U);  // DDSCAPS_TEXTURE
    PutU32(out, 0U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            PutPixel(out, img, x, y, true);
        }
    }
    return out;
}
