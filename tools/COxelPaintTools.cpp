#include "tools/COxelPaintTools.h"

#include "app/COxelSettingsFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const char kSection[] = "PaintTools";
const char kBrushSizeKey[] = "BrushSize";
const char kHeightToolKey[] = "HeightTool";
const char kDragPaintKey[] = "DragPaint";
const char kFillKey[] = "Fill";
const char kPlaceBillboardKey[] = "PlaceBillboard";
const char kPreviewEditKey[] = "PreviewEdit";
// Hundredths, as the settings file keeps whole numbers.
const char kStrengthKey[] = "Strength";
const char kTargetHeightKey[] = "TargetHeight";
const int kHundredths = 100;
const int kDefaultStrength = 50;
// How far towards its neighbours' mean a vertex moves: halfway with the left
// button, all the way with the right.
const double kSmoothLeft = 0.5;
const double kSmoothRight = 1.0;

struct Choice {
    int command;
    int value;
};
const Choice kBrushSizes[] = {{COxelPaintTools::kBrush1, 1},
                              {COxelPaintTools::kBrush3, 3},
                              {COxelPaintTools::kBrush5, 5},
                              {COxelPaintTools::kBrush9, 9}};
const Choice kHeightTools[] = {{COxelPaintTools::kRaiseLowerTool, COxelPaintTools::kRaiseLower},
                               {COxelPaintTools::kSmoothTool, COxelPaintTools::kSmooth},
                               {COxelPaintTools::kFlattenTool, COxelPaintTools::kFlatten},
                               {COxelPaintTools::kSetHeightTool, COxelPaintTools::kSetHeight}};
const Choice kPreviewEdits[] = {{COxelPaintTools::kPreviewOffCommand, COxelPaintTools::kPreviewOff},
                                {COxelPaintTools::kPreviewHeightsCommand, COxelPaintTools::kPreviewHeights},
                                {COxelPaintTools::kPreviewChipsCommand, COxelPaintTools::kPreviewChips},
                                {COxelPaintTools::kPreviewBillboardsCommand, COxelPaintTools::kPreviewBillboards}};
// In hundredths.
const Choice kStrengths[] = {{COxelPaintTools::kStrength1, 10},
                             {COxelPaintTools::kStrength1 + 1, 25},
                             {COxelPaintTools::kStrength1 + 2, 50},
                             {COxelPaintTools::kStrength1 + 3, 100},
                             {COxelPaintTools::kStrength5, 200}};

template <size_t N>
bool IsChoice(const Choice (&choices)[N], int value)
{
    for (const Choice& choice : choices) {
        if (choice.value == value) {
            return true;
        }
    }
    return false;
}

// Picks the choice of `id` in a radio group; false when the group has none.
template <size_t N>
bool Pick(const Choice (&choices)[N], int id, int& value)
{
    for (const Choice& choice : choices) {
        if (choice.command == id) {
            value = choice.value;
            return true;
        }
    }
    return false;
}

template <size_t N>
void MarkGroup(HMENU menu, const Choice (&choices)[N], int value)
{
    for (const Choice& choice : choices) {
        if (choice.value == value) {
            CheckMenuRadioItem(menu, choices[0].command, choices[N - 1].command, choice.command, MF_BYCOMMAND);
        }
    }
}

}  // namespace

COxelPaintTools::COxelPaintTools()
    : m_brushSize(1), m_heightTool(kRaiseLower), m_dragPaint(0), m_fill(0), m_placeBillboard(0),
      m_previewEdit(kPreviewOff), m_strength(kDefaultStrength / double(kHundredths)), m_targetHeight(kLowest)
{
}

void COxelPaintTools::Load(COxelSettingsFile& settings)
{
    // A missing key reads as 0, which is no brush size: the default stays.
    const int size = settings.ReadInt(kSection, kBrushSizeKey);
    if (IsChoice(kBrushSizes, size)) {
        m_brushSize = size;
    }
    const int tool = settings.ReadInt(kSection, kHeightToolKey);
    if (IsChoice(kHeightTools, tool)) {
        m_heightTool = tool;
    }
    m_dragPaint = settings.ReadInt(kSection, kDragPaintKey) == 1 ? 1 : 0;
    m_fill = settings.ReadInt(kSection, kFillKey) == 1 ? 1 : 0;
    m_placeBillboard = settings.ReadInt(kSection, kPlaceBillboardKey) == 1 ? 1 : 0;
    const int previewEdit = settings.ReadInt(kSection, kPreviewEditKey);
    if (IsChoice(kPreviewEdits, previewEdit)) {
        m_previewEdit = previewEdit;
    }
    const int strength = settings.ReadInt(kSection, kStrengthKey);
    if (IsChoice(kStrengths, strength)) {
        m_strength = strength / double(kHundredths);
    }
    SetTargetHeight(settings.ReadInt(kSection, kTargetHeightKey) / double(kHundredths));
}

void COxelPaintTools::Save(COxelSettingsFile& settings) const
{
    settings.WriteInt(kSection, kBrushSizeKey, m_brushSize);
    settings.WriteInt(kSection, kHeightToolKey, m_heightTool);
    settings.WriteInt(kSection, kDragPaintKey, m_dragPaint);
    settings.WriteInt(kSection, kFillKey, m_fill);
    settings.WriteInt(kSection, kPlaceBillboardKey, m_placeBillboard);
    settings.WriteInt(kSection, kPreviewEditKey, m_previewEdit);
    settings.WriteInt(kSection, kStrengthKey, static_cast<int>(std::lround(m_strength * kHundredths)));
    settings.WriteInt(kSection, kTargetHeightKey, static_cast<int>(std::lround(m_targetHeight * kHundredths)));
}

bool COxelPaintTools::OnCommand(int id)
{
    if (Pick(kBrushSizes, id, m_brushSize) || Pick(kHeightTools, id, m_heightTool) ||
        Pick(kPreviewEdits, id, m_previewEdit)) {
        return true;
    }
    int strength = 0;
    if (Pick(kStrengths, id, strength)) {
        m_strength = strength / double(kHundredths);
        return true;
    }
    if (id == kPlaceBillboard) {
        m_placeBillboard = !m_placeBillboard;
        return true;
    }
    if (id == kDragPaint) {
        m_dragPaint = !m_dragPaint;
        return true;
    }
    if (id == kFill) {
        m_fill = !m_fill;
        return true;
    }
    return false;
}

void COxelPaintTools::ShowIn(HMENU menu) const
{
    MarkGroup(menu, kBrushSizes, m_brushSize);
    MarkGroup(menu, kHeightTools, m_heightTool);
    CheckMenuItem(menu, kDragPaint, MF_BYCOMMAND | (m_dragPaint ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, kFill, MF_BYCOMMAND | (m_fill ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, kPlaceBillboard, MF_BYCOMMAND | (m_placeBillboard ? MF_CHECKED : MF_UNCHECKED));
    MarkGroup(menu, kStrengths, static_cast<int>(std::lround(m_strength * kHundredths)));
    MarkGroup(menu, kPreviewEdits, m_previewEdit);
}

bool COxelPaintTools::SetTargetHeight(const char* text)
{
    // The whole text is one number: "3.5" but not "3.5m" or "".
    char* end = nullptr;
    const double height = std::strtod(text, &end);
    while (end && *end == ' ') {
        ++end;
    }
    if (end == text || !end || *end != '\0' || !std::isfinite(height) || height < kLowest || height > kHighest) {
        return false;
    }
    SetTargetHeight(height);
    return true;
}

void COxelPaintTools::SetTargetHeight(double height)
{
    if (std::isfinite(height)) {
        m_targetHeight = std::min(std::max(height, kLowest), kHighest);
    }
}

std::vector<GridPoint> COxelPaintTools::Footprint(GridPoint centre, int mapWidth, int mapHeight) const
{
    return BrushFootprint(centre, m_brushSize, mapWidth, mapHeight);
}

std::vector<HeightChange> COxelPaintTools::HeightEdit(const HeightAt& heightAt, GridPoint vertex, bool rightButton,
                                                      double startHeight, int mapWidth, int mapHeight) const
{
    switch (m_heightTool) {
        case kSmooth:
            return SmoothHeights(heightAt, vertex, m_brushSize, mapWidth, mapHeight,
                                 rightButton ? kSmoothRight : kSmoothLeft);
        case kFlatten:
            return FlattenHeights(heightAt, vertex, m_brushSize, mapWidth, mapHeight, startHeight);
        case kSetHeight:
            if (rightButton) {
                return {};
            }
            return FlattenHeights(heightAt, vertex, m_brushSize, mapWidth, mapHeight, m_targetHeight);
        default:
            return RaiseLowerHeights(heightAt, vertex, m_brushSize, mapWidth, mapHeight,
                                     rightButton ? -m_strength : m_strength);
    }
}
