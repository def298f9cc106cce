#include "tools/COxelPaintTools.h"

#include "app/COxelSettingsFile.h"
#include "support/ProgramFiles.h"

#include <gtest/gtest.h>

#include <string>

// What "指定する高さ..." takes: one number from 0 to 16 and nothing else; a
// refused text leaves the target as it was.
TEST(PaintTools, ATargetHeightIsTakenOnlyFromANumberFrom0To16)
{
    const struct {
        const char* text;
        bool taken;
        double target;
    } cases[] = {{"3.5", true, 3.5},   {"0", true, 0.0},     {"16", true, 16.0},  {" 7 ", true, 7.0},
                 {"16.01", false, 1.0}, {"-0.5", false, 1.0}, {"", false, 1.0},    {"abc", false, 1.0},
                 {"3.5m", false, 1.0},  {"nan", false, 1.0},  {"inf", false, 1.0}, {"1e400", false, 1.0}};
    for (const auto& c : cases) {
        COxelPaintTools tools;
        tools.SetTargetHeight(1.0);
        EXPECT_EQ(c.taken, tools.SetTargetHeight(c.text)) << c.text;
        EXPECT_EQ(c.target, tools.m_targetHeight) << c.text;
    }
}

// "強さ" is the raise of a click at the brush's centre, falling off as before;
// "高さを指定" levels the brush to the target with the left button and leaves
// the map alone with the right, which picks the target up instead.
TEST(PaintTools, TheStrengthAndTheChosenHeightShapeWhatAClickDoes)
{
    const HeightAt flat = [](int, int) { return 2.0; };
    COxelPaintTools tools;
    EXPECT_EQ(0.5, tools.m_strength) << "as a click always raised";
    tools.OnCommand(COxelPaintTools::kStrength1 + 1);
    tools.OnCommand(COxelPaintTools::kBrush3);
    const std::vector<HeightChange> raised = tools.HeightEdit(flat, GridPoint{4, 4}, false, 2.0, 16, 16);
    ASSERT_EQ(9u, raised.size());
    EXPECT_EQ((HeightChange{GridPoint{3, 3}, 2.125}), raised[0]) << "the ring gets half";
    EXPECT_EQ((HeightChange{GridPoint{4, 4}, 2.25}), raised[4]);
    EXPECT_EQ(1.75, tools.HeightEdit(flat, GridPoint{4, 4}, true, 2.0, 16, 16)[4].height);

    tools.OnCommand(COxelPaintTools::kSetHeightTool);
    tools.SetTargetHeight(6.0);
    const std::vector<HeightChange> set = tools.HeightEdit(flat, GridPoint{0, 0}, false, 2.0, 16, 16);
    ASSERT_EQ(9u, set.size());
    EXPECT_EQ((HeightChange{GridPoint{15, 15}, 6.0}), set[0]) << "wrapped round the map's edges";
    EXPECT_TRUE(tools.HeightEdit(flat, GridPoint{0, 0}, true, 2.0, 16, 16).empty());
}

// The new choices live with the other tools in their own section; values it
// does not know leave the defaults.
TEST(PaintTools, TheStrengthTargetAndBillboardPlacingAreKeptInTheSettingsFile)
{
    const std::string path = SettingsFilePath();
    COxelSettingsFile& settings = *COxelSettingsFile::GetInstance();
    COxelPaintTools chosen;
    chosen.OnCommand(COxelPaintTools::kStrength5);
    chosen.OnCommand(COxelPaintTools::kSetHeightTool);
    chosen.OnCommand(COxelPaintTools::kPlaceBillboard);
    chosen.SetTargetHeight(12.25);
    chosen.Save(settings);
    COxelPaintTools loaded;
    loaded.Load(settings);
    EXPECT_EQ(2.0, loaded.m_strength);
    EXPECT_EQ(COxelPaintTools::kSetHeight, loaded.m_heightTool);
    EXPECT_EQ(1, loaded.m_placeBillboard);
    EXPECT_EQ(12.25, loaded.m_targetHeight);

    WritePrivateProfileStringA("PaintTools", "Strength", "30", path.c_str());
    WritePrivateProfileStringA("PaintTools", "TargetHeight", "9000", path.c_str());
    COxelPaintTools odd;
    odd.Load(settings);
    EXPECT_EQ(0.5, odd.m_strength);
    EXPECT_EQ(16.0, odd.m_targetHeight) << "kept within the grid's heights";
    DeleteFileA(path.c_str());
}

// "プレビューで編集" is one of four choices, off at first, kept with the tools.
TEST(PaintTools, WhatThePreviewEditsIsOneOfFourChoicesKeptInTheSettingsFile)
{
    const std::string path = SettingsFilePath();
    COxelSettingsFile& settings = *COxelSettingsFile::GetInstance();
    EXPECT_EQ(COxelPaintTools::kPreviewOff, COxelPaintTools().m_previewEdit);
    const int modes[] = {COxelPaintTools::kPreviewHeights, COxelPaintTools::kPreviewChips,
                         COxelPaintTools::kPreviewBillboards, COxelPaintTools::kPreviewOff};
    for (int mode : modes) {
        COxelPaintTools chosen;
        EXPECT_TRUE(chosen.OnCommand(COxelPaintTools::kPreviewOffCommand + mode));
        chosen.Save(settings);
        COxelPaintTools loaded;
        loaded.Load(settings);
        EXPECT_EQ(mode, loaded.m_previewEdit);
    }
    WritePrivateProfileStringA("PaintTools", "PreviewEdit", "4", path.c_str());
    COxelPaintTools odd;
    odd.Load(settings);
    EXPECT_EQ(COxelPaintTools::kPreviewOff, odd.m_previewEdit);
    DeleteFileA(path.c_str());
}
