#include "tools/PaintRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const int kSize = 8;
const double kDegrees = 180.0 / std::acos(-1.0);

TerrainSet BuiltIn()
{
    return BuiltInTerrainSet({"草", "砂", "土", "岩", "雪", "浅瀬"});
}

PaintRule Chip(int chip, double heightFrom, double heightTo, double slopeFrom, double slopeTo)
{
    return PaintRule{chip, std::string(), heightFrom, heightTo, slopeFrom, slopeTo};
}

PaintRule Terrain(const std::string& name, double heightFrom, double heightTo)
{
    return PaintRule{-1, name, heightFrom, heightTo, 0.0, 90.0};
}

// An 8 x 8 map whose vertex heights `heightAt` gives and whose cells all show `start`.
struct RuleMap {
    std::vector<ChipTurn> cells = std::vector<ChipTurn>(kSize * kSize, ChipTurn{9, 2});
    VertexHeightAt heightAt;

    std::vector<ChipTurn> Painted(const std::vector<PaintRule>& rules, const TerrainSet& set,
                                  const std::function<bool(int)>& paintable = nullptr)
    {
        std::vector<ChipTurn> after = cells;
        for (const CellChipChange& change :
             ApplyPaintRules(rules, set, kSize, kSize, heightAt, [this](int index) { return cells[index]; },
                             paintable)) {
            after[change.index] = change.shows;
        }
        return after;
    }
};

}  // namespace

TEST(PaintRules, ACellLiesAtTheMeanOfItsCornersAndSlopesByTheirGradient)
{
    struct Case {
        double a, b, c, d;
        double height;
        double slope;
    };
    const Case cases[] = {
        {2, 2, 2, 2, 2.0, 0.0},
        {0, 0, 1, 1, 0.5, 45.0},                        // rising along x
        {0, 1, 0, 1, 0.5, 45.0},                        // rising along y
        {1, 0, 1, 0, 0.5, 45.0},                        // falling along y
        {0, 1, 1, 2, 1.0, std::atan(std::sqrt(2.0)) * kDegrees},
        {0, 1, 1, 0, 0.5, 0.0},                         // a saddle has no mean gradient
        {0, 0, 3, 3, 1.5, std::atan(3.0) * kDegrees},
    };
    for (const Case& c : cases) {
        const CellLie lie = CellLieOf(c.a, c.b, c.c, c.d);
        EXPECT_DOUBLE_EQ(c.height, lie.height) << c.a << c.b << c.c << c.d;
        EXPECT_NEAR(c.slope, lie.slope, 1e-9) << c.a << c.b << c.c << c.d;
    }
    EXPECT_EQ(45.0, CellLieOf(0, 0, 1, 1).slope) << "a rule ending at 45 takes a one-in-one slope";
}

// How a kept rule reads back: the rule it names, or refused (and then left out).
TEST(PaintRules, KeptRulesAreReadOrRefused)
{
    struct Case {
        const char* text;
        bool read;
        PaintRule rule;
    };
    const Case cases[] = {
        {"5,0,16,0,90", true, Chip(5, 0, 16, 0, 90)},
        {" 草 , 1.5 , 3 ,0, 30", true, PaintRule{-1, "草", 1.5, 3, 0, 30}},
        {"浅瀬,2,2,12.25,12.25", true, PaintRule{-1, "浅瀬", 2, 2, 12.25, 12.25}},
        {"sand, wet,0,1,0,1", true, PaintRule{-1, "sand, wet", 0, 1, 0, 1}},
        {"-1,0,1,0,1", true, PaintRule{-1, "-1", 0, 1, 0, 1}},
        {"", false, {}},
        {"5,0,16,0", false, {}},
        {",0,1,0,1", false, {}},
        {"5,,1,0,1", false, {}},
        {"5,0,x,0,1", false, {}},
        {"5,0,1e999,0,1", false, {}},
        {"5,0,nan,0,1", false, {}},
        {"5,3,2,0,90", false, {}},
        {"5,0,1,50,40", false, {}},
        {"5,0,16,0,90,7", false, {}},  // "5,0" from 16 to 0
    };
    for (const Case& c : cases) {
        PaintRule rule = Chip(-7, -7, -7, -7, -7);
        ASSERT_EQ(c.read, ParsePaintRule(c.text, &rule)) << c.text;
        if (c.read) {
            EXPECT_EQ(c.rule, rule) << c.text;
            PaintRule again;
            ASSERT_TRUE(ParsePaintRule(FormatPaintRule(rule), &again)) << FormatPaintRule(rule);
            EXPECT_EQ(rule, again) << FormatPaintRule(rule);
        }
    }
    EXPECT_EQ("草,1.5,3,0,90", FormatPaintRule(Terrain("草", 1.5, 3)));
    EXPECT_EQ("7,0,0.1,0,12.5", FormatPaintRule(Chip(7, 0, 0.1, 0, 12.5)));
}

// The dialog's rows: the field at fault, and what the atlas can paint.
TEST(PaintRules, ADialogRowNamesTheFieldAtFault)
{
    const TerrainSet set = BuiltIn();
    struct Case {
        std::vector<std::string> fields;
        PaintRuleFault::Kind kind;
        int field;
    };
    const Case cases[] = {
        {{"", " ", "", "", ""}, PaintRuleFault::kEmpty, kRuleWhat},
        {{"", "0", "1", "0", "1"}, PaintRuleFault::kNothingToPaint, kRuleWhat},
        {{"5", "", "1", "0", "1"}, PaintRuleFault::kMissingNumber, kRuleHeightFrom},
        {{"5", "0", "1", "0", "abc"}, PaintRuleFault::kNotANumber, kRuleSlopeTo},
        {{"5", "0", "1", "1,5", "2"}, PaintRuleFault::kNotANumber, kRuleSlopeFrom},
        {{"5", "4", "1", "0", "1"}, PaintRuleFault::kFromAboveTo, kRuleHeightFrom},
        {{"5", "0", "1", "2", "1"}, PaintRuleFault::kFromAboveTo, kRuleSlopeFrom},
        {{"砂丘", "0", "1", "0", "1"}, PaintRuleFault::kUnknownTerrain, kRuleWhat},
        {{"32", "0", "1", "0", "1"}, PaintRuleFault::kChipBeyondAtlas, kRuleWhat},
        {{"99999999999", "0", "1", "0", "1"}, PaintRuleFault::kChipBeyondAtlas, kRuleWhat},
        {{"31", "0", "1", "0", "1"}, PaintRuleFault::kNone, kRuleWhat},
        {{" 砂", "0", "1", "0", "1"}, PaintRuleFault::kNone, kRuleWhat},
    };
    for (const Case& c : cases) {
        PaintRule rule;
        PaintRuleFault fault = ReadPaintRule(c.fields, &rule);
        if (fault.kind == PaintRuleFault::kNone) {
            fault = CheckPaintRule(rule, set, 32);
        }
        EXPECT_EQ(c.kind, fault.kind) << c.fields[0] << " " << c.fields[1];
        EXPECT_EQ(c.field, fault.field) << c.fields[0] << " " << c.fields[1];
    }
}

// Vertex rows at heights 0, 0, 1, 1, 2, 2, 3, 3 make cell rows alternately
// flat and at 45 degrees, at heights 0 to 3; the last row climbs back to the
// first at atan 3.
TEST(PaintRules, TheFirstMatchingChipRuleWinsAndUnmatchedCellsKeepTheirChips)
{
    RuleMap map;
    map.heightAt = [](int, int row) { return static_cast<double>(row / 2); };
    const std::vector<PaintRule> rules = {
        Terrain("岩", 0, 16),  // no terrain of this atlas: matches nothing
        Chip(1, 0, 1, 0, 0),
        Chip(2, 0, 2, 0, 45),
        Chip(3, 1.5, 1.5, 70, 80),
    };
    const ChipTurn kept = {9, 2};
    // By cell row: (0, 0°), (0.5, 45°), (1, 0°), (1.5, 45°), (2, 0°), (2.5, 45°), (3, 0°), (1.5, 71.6°).
    const ChipTurn byRow[kSize] = {{1, 0}, {2, 0}, {1, 0}, {2, 0}, {2, 0}, kept, kept, {3, 0}};
    for (const bool selection : {false, true}) {
        // The selection: the cells of columns 2 to 4.
        const auto inside = [](int index) { return index % kSize >= 2 && index % kSize <= 4; };
        const std::vector<ChipTurn> painted =
            map.Painted(rules, TerrainSet(), selection ? std::function<bool(int)>(inside) : nullptr);
        for (int index = 0; index < kSize * kSize; ++index) {
            const ChipTurn expected = !selection || inside(index) ? byRow[index / kSize] : kept;
            EXPECT_EQ(expected, painted[index]) << selection << " cell " << index;
        }
    }
}

// A plateau of height 3 on vertices (3..5, 3..5), the rest at 0: its four
// cells match the high rule, all others the low one. Around each vertex the
// four cells agree on its terrain, so no seam shows.
TEST(PaintRules, TerrainRulesPaintCornersAndJoinThemWithTransitions)
{
    const TerrainSet set = BuiltIn();
    RuleMap map;
    map.cells.assign(kSize * kSize, ChipTurn{5, 1});
    map.heightAt = [](int column, int row) {
        return column >= 3 && column <= 5 && row >= 3 && row <= 5 ? 3.0 : 0.0;
    };
    struct Case {
        const char* low;
        // Whether a ring of a third terrain comes between the two.
        bool ring;
    };
    for (const Case& c : {Case{"草", false}, Case{"土", true}}) {
        SCOPED_TRACE(c.low);
        const std::vector<ChipTurn> painted = map.Painted({Terrain("砂", 2.5, 16), Terrain(c.low, 0, 2.5)}, set);
        std::vector<int> vertices(kSize * kSize, -1);
        for (int index = 0; index < kSize * kSize; ++index) {
            CellCorners corners;
            ASSERT_TRUE(set.Read(painted[index], &corners)) << index;
            const int column = index % kSize;
            const int row = index / kSize;
            const int corner[4] = {row * kSize + column, (row + 1) % kSize * kSize + column,
                                   row * kSize + (column + 1) % kSize, (row + 1) % kSize * kSize + (column + 1) % kSize};
            for (int k = 0; k < 4; ++k) {
                if (vertices[corner[k]] < 0) {
                    vertices[corner[k]] = corners.terrain[k];
                }
                EXPECT_EQ(vertices[corner[k]], corners.terrain[k]) << "seam at corner " << k << " of cell " << index;
            }
        }
        for (int index = 0; index < kSize * kSize; ++index) {
            const int column = index % kSize;
            const int row = index / kSize;
            const bool plateau = column >= 3 && column <= 5 && row >= 3 && row <= 5;
            const bool ringed = column >= 2 && column <= 6 && row >= 2 && row <= 6;
            const int expected = plateau ? set.Find("砂") : c.ring && ringed ? set.Find("草") : set.Find(c.low);
            EXPECT_EQ(expected, vertices[index]) << "vertex " << column << ", " << row;
        }
        EXPECT_EQ((ChipTurn{15, 0}), painted[3 * kSize + 3]) << "the plateau is sand whole";
        EXPECT_NE(painted[3 * kSize + 2], painted[3 * kSize + 1]) << "a transition beside it";
    }
}
