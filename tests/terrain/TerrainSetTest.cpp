#include "terrain/TerrainCorners.h"
#include "terrain/TerrainSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kGrass = 0;
const int kSand = 1;
const int kDirt = 2;
const int kRock = 3;
const int kShallow = 5;

TerrainSet BuiltIn()
{
    return BuiltInTerrainSet({"草", "砂", "土", "岩", "雪", "浅瀬"});
}

CellCorners SandAt(unsigned mask)
{
    CellCorners corners;
    for (int k = 0; k < 4; ++k) {
        corners.terrain[k] = (mask >> k & 1U) ? kSand : kGrass;
    }
    return corners;
}

// Grid corners 0 (x, y), 1 (x, y + 1), 2 (x + 1, y), 3 (x + 1, y + 1) lie at
// the top right, bottom right, top left and bottom left of the mirrored views;
// the grass-and-sand chips are 32 (one grass corner, top left), 33 (grass along
// the top), 34 (grass top left and bottom right) and 35 (grass but bottom right),
// each turned clockwise.
TEST(TerrainSet, ChoosesTheChipAndTurnOfEverySixteenCornersOfAPairAndReadsThemBack)
{
    const TerrainSet set = BuiltIn();
    struct Case {
        unsigned sand;
        ChipTurn expected;
    };
    const Case cases[] = {
        {0x0, {0, 0}},  {0xF, {15, 0}},
        {0xB, {32, 0}}, {0xE, {32, 1}}, {0xD, {32, 2}}, {0x7, {32, 3}},
        {0xA, {33, 0}}, {0xC, {33, 1}}, {0x5, {33, 2}}, {0x3, {33, 3}},
        {0x9, {34, 0}}, {0x6, {34, 1}},
        {0x2, {35, 0}}, {0x8, {35, 1}}, {0x4, {35, 2}}, {0x1, {35, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sand);
        ChipTurn chosen = {-1, -1};
        ASSERT_TRUE(set.Choose(SandAt(c.sand), ChipTurn{5, 0}, &chosen));
        EXPECT_EQ(c.expected, chosen);
        CellCorners read;
        ASSERT_TRUE(set.Read(chosen, &read));
        EXPECT_EQ(SandAt(c.sand), read);
    }
    // Opposite corners look the same half a turn on: the cell keeps the turn it has.
    ChipTurn chosen;
    ASSERT_TRUE(set.Choose(SandAt(0x9), ChipTurn{34, 2}, &chosen));
    EXPECT_EQ((ChipTurn{34, 2}), chosen);
}

TEST(TerrainSet, EveryChipOfTheSetReadsBackToItselfAndOtherChipsReadAsNone)
{
    const TerrainSet set = BuiltIn();
    for (int chip = 0; chip < 64; ++chip) {
        for (int turn = 0; turn < 4; ++turn) {
            CellCorners corners;
            const bool known = set.Read(ChipTurn{chip, turn}, &corners);
            const bool inSet = chip >= 32 || chip == 0 || chip == 15 || chip == 8 || chip == 17 || chip == 29 ||
                               chip == 27;
            ASSERT_EQ(inSet, known) << chip;
            ChipTurn chosen;
            if (known) {
                ASSERT_TRUE(set.Choose(corners, ChipTurn{chip, turn}, &chosen)) << chip;
                EXPECT_EQ((ChipTurn{chip, turn}), chosen) << chip;
            }
        }
    }
    // Three terrains, or two without a transition, have no chip.
    ChipTurn chosen;
    EXPECT_FALSE(set.Choose(CellCorners{{kGrass, kSand, kRock, kGrass}}, ChipTurn{0, 0}, &chosen));
    EXPECT_FALSE(set.Choose(CellCorners{{kGrass, kShallow, kGrass, kGrass}}, ChipTurn{0, 0}, &chosen));
}

TEST(TerrainSet, ReadsADescriptionAndNamesTheLineOfABrokenOne)
{
    const std::string good =
        "\xEF\xBB\xBF; 砂漠\n"
        "[Terrains]\r\n"
        "  砂 = 15\n"
        "岩=17, 18\n"
        "\n"
        "[transitions]\n"
        "# first, second = one corner, two adjacent, two opposite, three corners\n"
        "砂, 岩 = 40/1, 41/0, 42/3, 43/2\n";
    TerrainSet set;
    int badLine = 0;
    ASSERT_TRUE(ParseTerrainSet(good, 64, &set, &badLine));
    ASSERT_EQ(2, set.Count());
    EXPECT_EQ("岩", set.m_terrains[1].name);
    EXPECT_EQ((std::vector<int>{17, 18}), set.m_terrains[1].chips);
    ASSERT_EQ(1u, set.m_pairs.size());
    EXPECT_EQ((ChipTurn{42, 3}), set.m_pairs[0].transitions[TerrainSet::kTwoOpposite]);
    // Described in turn 1, chip 40 has its one sand corner at the top left in
    // turn 1 (grid corner 2), and at the top right a quarter on (grid corner 0).
    CellCorners corners;
    ASSERT_TRUE(set.Read(ChipTurn{40, 1}, &corners));
    EXPECT_EQ((CellCorners{{1, 1, 0, 1}}), corners);
    ASSERT_TRUE(set.Read(ChipTurn{40, 2}, &corners));
    EXPECT_EQ((CellCorners{{0, 1, 1, 1}}), corners);

    struct Broken {
        const char* text;
        int line;
    };
    const Broken broken[] = {
        {"砂 = 15\n", 1},                                      // before any section
        {"[Terrains]\n[Colours]\n", 2},                          // unknown section
        {"[Terrains\n", 1},                                      // unclosed
        {"[Terrains]\n砂 15\n", 2},                              // no "="
        {"[Terrains]\n砂 = \n", 2},                              // no chip
        {"[Terrains]\n砂 = 15\n砂 = 16\n", 3},                   // the same name twice
        {"[Terrains]\n = 15\n", 2},                              // no name
        {"[Terrains]\n砂 = 64\n", 2},                            // beyond the atlas
        {"[Terrains]\n砂 = -1\n", 2},                            // not a chip
        {"[Terrains]\n砂 = 15\n岩 = 15\n", 3},                   // a chip with two meanings
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 岩 = 40/0, 41/0, 42/0\n", 5},
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 雪 = 40/0, 41/0, 42/0, 43/0\n", 5},
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 岩 = 40/0, 41/4, 42/0, 43/0\n", 5},
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 岩 = 40/0, 41/0, 42/0, 17/0\n", 5},
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 砂 = 40/0, 41/0, 42/0, 43/0\n", 5},
        {"[Terrains]\n砂 = 15\n岩 = 17\n[Transitions]\n砂, 岩 = 40/0, 41/0, 42/0, 43/0\n岩, 砂 = 44/0, 45/0, 46/0, 47/0\n",
         6},
    };
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.text);
        set.m_terrains.push_back(TerrainSet::Terrain{"left over", {1}});
        EXPECT_FALSE(ParseTerrainSet(b.text, 64, &set, &badLine));
        EXPECT_EQ(b.line, badLine);
        EXPECT_TRUE(set.Empty());
    }
}

// A map of chips on which terrains are painted the way the editor does it.
class PaintedMap {
public:
    PaintedMap(int width, int height, ChipTurn ground) : m_width(width), m_height(height), m_cells(width * height, ground) {}

    // Paints `terrain` on the vertices and applies the cells that change; their indexes.
    std::vector<int> Paint(const std::vector<std::pair<int, int>>& vertices, int terrain)
    {
        TerrainCorners corners(m_set, m_width, m_height, [this](int index) { return m_cells[index]; });
        for (const auto& vertex : vertices) {
            corners.Paint(vertex.first, vertex.second, terrain);
        }
        corners.Settle(TerrainCorners::PaintedFirst(m_set, terrain));
        std::vector<int> changed;
        for (const CellChipChange& change : corners.Changes()) {
            m_cells[change.index] = change.shows;
            changed.push_back(change.index);
        }
        return changed;
    }

    ChipTurn At(int column, int row) const { return m_cells[row * m_width + column]; }
    int Vertex(int column, int row)
    {
        TerrainCorners corners(m_set, m_width, m_height, [this](int index) { return m_cells[index]; });
        return corners.Vertex(column, row);
    }

    // Every cell shows a chip of the set, and the cells round every vertex agree on its terrain.
    void ExpectNoSeam() const
    {
        std::vector<int> vertices(m_cells.size(), -1);
        for (int row = 0; row < m_height; ++row) {
            for (int column = 0; column < m_width; ++column) {
                CellCorners corners;
                ASSERT_TRUE(m_set.Read(At(column, row), &corners)) << column << "," << row;
                const int at[4] = {row * m_width + column, ((row + 1) % m_height) * m_width + column,
                                   row * m_width + (column + 1) % m_width,
                                   ((row + 1) % m_height) * m_width + (column + 1) % m_width};
                for (int k = 0; k < 4; ++k) {
                    if (vertices[at[k]] < 0) {
                        vertices[at[k]] = corners.terrain[k];
                    }
                    ASSERT_EQ(vertices[at[k]], corners.terrain[k]) << "cell " << column << "," << row << " corner " << k;
                }
            }
        }
    }

private:
    TerrainSet m_set = BuiltIn();
    int m_width;
    int m_height;
    std::vector<ChipTurn> m_cells;
};

TEST(TerrainCorners, OneVertexTurnsTheFourCellsRoundItAndTwoByTwoMakeASandCellInTransitions)
{
    PaintedMap map(8, 8, ChipTurn{0, 0});
    EXPECT_EQ((std::vector<int>{3 * 8 + 3, 3 * 8 + 4, 4 * 8 + 3, 4 * 8 + 4}), map.Paint({{4, 4}}, kSand));
    std::vector<int> turns;
    for (const auto& cell : std::vector<std::pair<int, int>>{{3, 3}, {4, 3}, {3, 4}, {4, 4}}) {
        EXPECT_EQ(35, map.At(cell.first, cell.second).chip);  // grass on three corners
        turns.push_back(map.At(cell.first, cell.second).turn);
    }
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3}), turns);
    EXPECT_EQ(kSand, map.Vertex(4, 4));
    EXPECT_EQ(kGrass, map.Vertex(4, 5));
    map.ExpectNoSeam();

    PaintedMap cell(8, 8, ChipTurn{0, 0});
    EXPECT_EQ(9u, cell.Paint({{4, 4}, {5, 4}, {4, 5}, {5, 5}}, kSand).size());
    EXPECT_EQ((ChipTurn{15, 0}), cell.At(4, 4));
    EXPECT_EQ((ChipTurn{33, 0}), cell.At(4, 3));  // sand along its bottom: grass along its top, as drawn
    EXPECT_EQ((ChipTurn{35, 1}), cell.At(3, 3));  // sand at its bottom left corner only
    cell.ExpectNoSeam();
}

TEST(TerrainCorners, TerrainsThatDoNotMeetGetTerrainsBetweenThemAndLeaveNoSeam)
{
    // Shallow water into grass: the set joins it only to sand, which comes between.
    PaintedMap lake(12, 12, ChipTurn{0, 0});
    lake.Paint({{0, 0}, {1, 0}, {0, 1}, {1, 1}}, kShallow);
    lake.ExpectNoSeam();
    EXPECT_EQ((ChipTurn{27, 0}), lake.At(0, 0));
    EXPECT_EQ(kSand, lake.Vertex(2, 1));
    EXPECT_EQ(kSand, lake.Vertex(11, 11));  // across the map's edges
    EXPECT_EQ(kGrass, lake.Vertex(3, 1));
    // More water beside the first, over its ring of sand, spreads no further
    // than it was painted: the sand moves out round it.
    for (int column = 2; column < 6; ++column) {
        lake.Paint({{column, 0}}, kShallow);
        lake.ExpectNoSeam();
    }
    EXPECT_EQ(kShallow, lake.Vertex(5, 0));
    EXPECT_EQ(kSand, lake.Vertex(6, 0));
    EXPECT_EQ(kSand, lake.Vertex(5, 1));
    EXPECT_EQ(kGrass, lake.Vertex(7, 0));
    EXPECT_EQ(kGrass, lake.Vertex(6, 6));

    // Sand, then rock beside it, then dirt over the sand and rock's corner:
    // every step leaves the cells joined.
    PaintedMap hill(10, 10, ChipTurn{0, 0});
    hill.Paint({{3, 3}, {4, 3}, {3, 4}, {4, 4}}, kSand);
    hill.Paint({{5, 3}, {5, 4}, {6, 3}, {6, 4}}, kRock);
    hill.ExpectNoSeam();
    hill.Paint({{4, 4}, {5, 4}}, kDirt);
    hill.ExpectNoSeam();
    EXPECT_EQ(kDirt, hill.Vertex(4, 4));
    EXPECT_EQ(kDirt, hill.Vertex(5, 4));

    // Nothing meets both dirt and shallow water: sand comes round the water,
    // and round the sand a terrain that meets sand and dirt.
    PaintedMap pond(10, 10, ChipTurn{8, 0});
    pond.Paint({{4, 4}}, kShallow);
    pond.ExpectNoSeam();
    EXPECT_EQ(kSand, pond.Vertex(4, 5));
    EXPECT_NE(kDirt, pond.Vertex(4, 6));
    EXPECT_EQ((ChipTurn{8, 0}), pond.At(0, 0));
}

// Grass, sand and shallow water brushed at random places of a map, one stroke
// after the other: no two cells ever disagree about a corner, and a stroke
// changes only the ground round it.
TEST(TerrainCorners, RandomStrokesOfAShoreLeaveNoSeamAndStayWhereTheyArePainted)
{
    PaintedMap map(24, 24, ChipTurn{0, 0});
    unsigned seed = 12345;
    const auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    const int terrains[] = {kGrass, kSand, kShallow};
    for (int stroke = 0; stroke < 400; ++stroke) {
        SCOPED_TRACE(stroke);
        const int terrain = terrains[next(3)];
        const int column = static_cast<int>(next(24));
        const int row = static_cast<int>(next(24));
        std::vector<std::pair<int, int>> vertices = {{column, row}};
        if (next(2) == 0) {
            vertices.insert(vertices.end(), {{column + 1, row}, {column, row + 1}, {column + 1, row + 1}});
        }
        const std::vector<int> changed = map.Paint(vertices, terrain);
        map.ExpectNoSeam();
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(terrain, map.Vertex(column, row));
        // Across the map's edges too.
        const auto apart = [](int a, int b) { return std::min((a - b + 24) % 24, (b - a + 24) % 24); };
        for (int index : changed) {
            ASSERT_LE(std::max(apart(index % 24, column), apart(index / 24, row)), 4)
                << "cell " << index % 24 << "," << index / 24;
        }
    }
}

TEST(TerrainCorners, ChipsOutsideTheSetAreReadAsNoTerrainAndTakeThePaintedOne)
{
    PaintedMap map(6, 6, ChipTurn{3, 1});  // flowers: no terrain
    EXPECT_EQ(-1, map.Vertex(2, 2));
    EXPECT_EQ(4u, map.Paint({{2, 2}}, kRock).size());
    EXPECT_EQ((ChipTurn{17, 0}), map.At(1, 1));
    EXPECT_EQ((ChipTurn{3, 1}), map.At(0, 0));
    EXPECT_EQ(kRock, map.Vertex(3, 3));
}

}  // namespace
