#pragma once

#include "io/ImageCodec.h"
#include "io/MapFileFormat.h"
#include "io/MapPicture.h"
#include "io/PngRowEncoder.h"

#include <vector>

// The map picture drawn and encoded a band of rows at a time, so that the
// window thread can answer its windows between bands and give up half way.
// It keeps its own copy of what it draws (which tile each cell shows, and each
// tile scaled and turned once), so the map may change or go meanwhile.
class MapPictureWriter {
public:
    MapPictureWriter(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout);
    MapPictureWriter(const MapPictureWriter&) = delete;
    MapPictureWriter& operator=(const MapPictureWriter&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixel row `y`, counted from the top, as Width() blue, green, red triples.
    void DrawRow(int y, unsigned char* bgr) const;

    // Draws and encodes the next `rows` rows (fewer at the bottom); false
    // once the encoder has failed.
    bool WriteRows(int rows);
    int RowsWritten() const { return m_written; }
    bool Done() const { return m_failed || m_written == m_height; }
    // The PNG, once every row is written.
    ImageError Finish(std::vector<unsigned char>* png);

private:
    int m_side;
    int m_cellColumns;
    int m_width;
    int m_height;
    // Each chip the map shows, at each turn it shows it: side x side BGR
    // triples, rows from the top; empty for a chip the atlas lacks (black).
    std::vector<std::vector<unsigned char>> m_tiles;
    // For each cell in the order the picture shows them (rows from the top,
    // mirrored columns), its index in m_tiles.
    std::vector<int> m_cellTiles;
    PngRowEncoder m_encoder;
    std::vector<unsigned char> m_band;
    int m_written;
    bool m_failed;
};
