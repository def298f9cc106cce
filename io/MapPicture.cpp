#include "io/MapPicture.h"

#include "io/MapPictureWriter.h"

#include <algorithm>

int MapPictureCellPixels(int width, int height)
{
    int pixels = 32;
    while (pixels > 1 && std::max(width, height) * pixels > kMapPictureMostPixels) {
        pixels /= 2;
    }
    return pixels;
}

BgraImage DrawMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout)
{
    const MapPictureWriter writer(map, atlas, layout);
    BgraImage picture;
    picture.width = writer.Width();
    picture.height = writer.Height();
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    std::vector<unsigned char> row(static_cast<size_t>(picture.width) * 3);
    unsigned char* to = picture.pixels.data();
    for (int y = 0; y < picture.height; ++y) {
        writer.DrawRow(y, row.data());
        for (int x = 0; x < picture.width; ++x, to += 4) {
            to[0] = row[x * 3];
            to[1] = row[x * 3 + 1];
            to[2] = row[x * 3 + 2];
            to[3] = 255;
        }
    }
    return picture;
}

ImageError EncodeMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout,
                            std::vector<unsigned char>* png)
{
    MapPictureWriter writer(map, atlas, layout);
    writer.WriteRows(writer.Height());
    return writer.Finish(png);
}
