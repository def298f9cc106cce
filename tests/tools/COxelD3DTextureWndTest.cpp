#include "tools/COxelD3DTextureWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

namespace {

const unsigned kRed = 0xFF0000;

class TextureWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    // Whether the red frame runs along the square from (left, top) to (right, bottom).
    bool FramedAt(int left, int top, int right, int bottom)
    {
        const SIZE client = ClientSize(session.handle(kTextureWindow));
        PaintedPicture picture(session.window(kTextureWindow), client.cx, client.cy);
        const int middleX = (left + right) / 2;
        const int middleY = (top + bottom) / 2;
        return picture.Pixel(left, middleY) == kRed && picture.Pixel(right - 1, middleY) == kRed &&
               picture.Pixel(middleX, top) == kRed && picture.Pixel(middleX, bottom - 1) == kRed;
    }

    EditorSession session;
};

}  // namespace

TEST_F(TextureWindowTest, ShowsTheAtlasAtAQuarterAndAClickPicksTheChipUnderIt)
{
    const SIZE client = ClientSize(session.handle(kTextureWindow));
    EXPECT_EQ(256, client.cx);
    EXPECT_EQ(128, client.cy);
    EXPECT_TRUE(FramedAt(0, 0, 32, 32));

    session.Click(kTextureWindow, POINT{40, 70});
    EXPECT_EQ(17, session.editor().m_selectedChip);
    EXPECT_TRUE(FramedAt(32, 64, 64, 96));
    EXPECT_FALSE(FramedAt(0, 0, 32, 32));

    // Released over another chip, or with the right button: nothing is picked.
    session.Click(kTextureWindow, POINT{5, 5}, POINT{40, 5});
    session.Click(kTextureWindow, POINT{5, 5}, true);
    EXPECT_EQ(17, session.editor().m_selectedChip);
}

TEST_F(TextureWindowTest, FollowsTheSizeOfANewAtlas)
{
    const std::string path = WriteTestBitmap("quelmora_texture_window.bmp", 512, 512, [](int x, int y) {
        return static_cast<uint32_t>((x / 128) * 0x400000 + (y / 128) * 0x40);
    });
    session.editor().OpenTextureImage(path.c_str());
    DeleteFileA(path.c_str());
    const SIZE client = ClientSize(session.handle(kTextureWindow));
    EXPECT_EQ(128, client.cx);
    EXPECT_EQ(128, client.cy);
    session.editor().m_selectedChip = 5;
    EXPECT_TRUE(FramedAt(32, 32, 64, 64));
}

TEST_F(TextureWindowTest, AnAtlasWithoutWholeChipsIsShownButNeitherFramedNorClicked)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int columns = terrain.m_chipColumns;
    terrain.m_chipColumns = 0;
    session.Click(kTextureWindow, POINT{40, 70});
    const bool framed = FramedAt(0, 0, 32, 32);
    terrain.m_chipColumns = columns;
    EXPECT_EQ(0, session.editor().m_selectedChip);
    EXPECT_FALSE(framed);
}
