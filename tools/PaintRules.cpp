#include "tools/PaintRules.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const double kDegreesPerRadian = 57.29577951308232;

std::string Trimmed(const std::string& text)
{
    const char* const spaces = " \t\r\n";
    const size_t first = text.find_first_not_of(spaces);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

// A finite number and nothing else.
bool ReadNumber(const std::string& text, double* number)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    *number = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(*number);
}

// Digits alone; too many for an int read as the largest, which no atlas holds.
bool ReadChipNumber(const std::string& text, int* number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    const long read = std::strtol(text.c_str(), nullptr, 10);
    *number = errno == ERANGE || read > INT_MAX ? INT_MAX : static_cast<int>(read);
    return true;
}

std::string NumberText(double number)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", number);
    return text;
}

// Where two rules' terrains that no transition joins meet in a cell, the
// corners of the later one take a terrain that meets both (the ring of sand
// that a brush leaves between grass and shallow water), all at once. Settled
// cell by cell instead, a cell would meet the ring half made, with three
// terrains, and hand its corners to the earlier terrain, which would then
// spread across the whole map.
void RingTerrainsThatDoNotMeet(const TerrainSet& set, const std::vector<int>& priority, int width, int height,
                               const std::function<bool(int index)>& byTerrain, std::vector<int>* painted)
{
    std::vector<int> ring(painted->size(), -1);
    std::vector<int> ringFor(painted->size(), -1);
    for (int index = 0; index < width * height; ++index) {
        if (!byTerrain(index)) {
            continue;
        }
        const int column = index % width;
        const int row = index / width;
        const int corners[4] = {index, (row + 1) % height * width + column, row * width + (column + 1) % width,
                                (row + 1) % height * width + (column + 1) % width};
        int first = -1;
        for (const int corner : corners) {
            const int terrain = (*painted)[corner];
            if (first < 0 || priority[terrain] < priority[first]) {
                first = terrain;
            }
        }
        for (const int corner : corners) {
            const int terrain = (*painted)[corner];
            if (terrain == first || set.Joins(first, terrain)) {
                continue;
            }
            int between = -1;
            for (int other = 0; other < set.Count(); ++other) {
                if (set.Joins(first, other) && set.Joins(terrain, other) &&
                    (between < 0 || priority[other] < priority[between])) {
                    between = other;
                }
            }
            if (between >= 0 && (ringFor[corner] < 0 || priority[first] < priority[ringFor[corner]])) {
                ring[corner] = between;
                ringFor[corner] = first;
            }
        }
    }
    for (size_t vertex = 0; vertex < ring.size(); ++vertex) {
        if (ring[vertex] >= 0) {
            (*painted)[vertex] = ring[vertex];
        }
    }
}

}  // namespace

PaintRuleFault ReadPaintRule(const std::vector<std::string>& fields, PaintRule* rule)
{
    std::vector<std::string> texts(kRuleFieldCount);
    bool empty = true;
    for (int field = 0; field < kRuleFieldCount && field < static_cast<int>(fields.size()); ++field) {
        texts[field] = Trimmed(fields[field]);
        empty = empty && texts[field].empty();
    }
    if (empty) {
        return PaintRuleFault{PaintRuleFault::kEmpty, kRuleWhat};
    }
    if (texts[kRuleWhat].empty()) {
        return PaintRuleFault{PaintRuleFault::kNothingToPaint, kRuleWhat};
    }
    PaintRule read = {-1, std::string(), 0.0, 0.0, 0.0, 0.0};
    if (!ReadChipNumber(texts[kRuleWhat], &read.chip)) {
        read.chip = -1;
        read.terrain = texts[kRuleWhat];
    }
    double* const numbers[] = {&read.heightFrom, &read.heightTo, &read.slopeFrom, &read.slopeTo};
    for (int field = kRuleHeightFrom; field <= kRuleSlopeTo; ++field) {
        if (texts[field].empty()) {
            return PaintRuleFault{PaintRuleFault::kMissingNumber, field};
        }
        if (!ReadNumber(texts[field], numbers[field - kRuleHeightFrom])) {
            return PaintRuleFault{PaintRuleFault::kNotANumber, field};
        }
    }
    if (read.heightFrom > read.heightTo) {
        return PaintRuleFault{PaintRuleFault::kFromAboveTo, kRuleHeightFrom};
    }
    if (read.slopeFrom > read.slopeTo) {
        return PaintRuleFault{PaintRuleFault::kFromAboveTo, kRuleSlopeFrom};
    }
    *rule = read;
    return PaintRuleFault{PaintRuleFault::kNone, kRuleWhat};
}

PaintRuleFault CheckPaintRule(const PaintRule& rule, const TerrainSet& set, int chipCount)
{
    if (rule.chip < 0 && set.Find(rule.terrain) < 0) {
        return PaintRuleFault{PaintRuleFault::kUnknownTerrain, kRuleWhat};
    }
    if (rule.chip >= chipCount) {
        return PaintRuleFault{PaintRuleFault::kChipBeyondAtlas, kRuleWhat};
    }
    return PaintRuleFault{PaintRuleFault::kNone, kRuleWhat};
}

std::vector<std::string> PaintRuleFields(const PaintRule& rule)
{
    return {rule.chip >= 0 ? std::to_string(rule.chip) : rule.terrain, NumberText(rule.heightFrom),
            NumberText(rule.heightTo), NumberText(rule.slopeFrom), NumberText(rule.slopeTo)};
}

bool ParsePaintRule(const std::string& text, PaintRule* rule)
{
    std::vector<std::string> fields(kRuleFieldCount);
    size_t end = text.size();
    for (int field = kRuleSlopeTo; field > kRuleWhat; --field) {
        const size_t comma = end == 0 ? std::string::npos : text.rfind(',', end - 1);
        if (comma == std::string::npos) {
            return false;
        }
        fields[field] = text.substr(comma + 1, end - comma - 1);
        end = comma;
    }
    fields[kRuleWhat] = text.substr(0, end);
    return ReadPaintRule(fields, rule).kind == PaintRuleFault::kNone;
}

std::string FormatPaintRule(const PaintRule& rule)
{
    const std::vector<std::string> fields = PaintRuleFields(rule);
    std::string text = fields[0];
    for (int field = 1; field < kRuleFieldCount; ++field) {
        text += "," + fields[field];
    }
    return text;
}

CellLie CellLieOf(double a, double b, double c, double d)
{
    const double gx = (c + d - a - b) / 2.0;
    const double gy = (b + d - a - c) / 2.0;
    return CellLie{(a + b + c + d) / 4.0, std::atan(std::sqrt(gx * gx + gy * gy)) * kDegreesPerRadian};
}

std::vector<CellChipChange> ApplyPaintRules(const std::vector<PaintRule>& rules, const TerrainSet& set, int width,
                                            int height, const VertexHeightAt& heightAt,
                                            const TerrainCorners::CellAt& cellAt,
                                            const std::function<bool(int index)>& paintable)
{
    const int count = width * height;
    // By rule: the terrain it paints, -1 for a chip rule or a terrain the set lacks.
    std::vector<int> terrainOf(rules.size(), -1);
    std::vector<int> priority(set.Count(), -1);
    for (size_t k = 0; k < rules.size(); ++k) {
        if (rules[k].chip < 0) {
            terrainOf[k] = set.Find(rules[k].terrain);
            if (terrainOf[k] >= 0 && priority[terrainOf[k]] < 0) {
                priority[terrainOf[k]] = static_cast<int>(k);
            }
        }
    }
    for (int terrain = 0; terrain < set.Count(); ++terrain) {
        if (priority[terrain] < 0) {
            priority[terrain] = static_cast<int>(rules.size()) + terrain;
        }
    }

    std::vector<double> heights(count);
    for (int index = 0; index < count; ++index) {
        heights[index] = heightAt(index % width, index / width);
    }
    const auto vertex = [&](int column, int row) { return (row % height) * width + column % width; };

    // By cell: the rule that matched it (-1 for none) and what it shows as the rules leave it.
    std::vector<int> matched(count, -1);
    std::vector<ChipTurn> shows(count);
    bool anyTerrain = false;
    for (int index = 0; index < count; ++index) {
        shows[index] = cellAt(index);
        if (paintable && !paintable(index)) {
            continue;
        }
        const int column = index % width;
        const int row = index / width;
        const CellLie lie = CellLieOf(heights[index], heights[vertex(column, row + 1)],
                                      heights[vertex(column + 1, row)], heights[vertex(column + 1, row + 1)]);
        for (size_t k = 0; k < rules.size(); ++k) {
            if ((rules[k].chip >= 0 || terrainOf[k] >= 0) && rules[k].Matches(lie.height, lie.slope)) {
                matched[index] = static_cast<int>(k);
                break;
            }
        }
        if (matched[index] < 0) {
            continue;
        }
        if (rules[matched[index]].chip >= 0) {
            shows[index] = ChipTurn{rules[matched[index]].chip, 0};
        } else {
            anyTerrain = true;
        }
    }

    if (anyTerrain) {
        const auto byTerrain = [&](int index) { return matched[index] >= 0 && terrainOf[matched[index]] >= 0; };
        // By vertex: the terrain of the earliest rule among the cells it is a corner of.
        std::vector<int> painted(count, -1);
        std::vector<int> paintedBy(count, -1);
        for (int index = 0; index < count; ++index) {
            if (!byTerrain(index)) {
                continue;
            }
            const int column = index % width;
            const int row = index / width;
            for (const int corner : {index, vertex(column, row + 1), vertex(column + 1, row),
                                     vertex(column + 1, row + 1)}) {
                if (paintedBy[corner] < 0 || matched[index] < paintedBy[corner]) {
                    paintedBy[corner] = matched[index];
                    painted[corner] = terrainOf[matched[index]];
                }
            }
        }
        RingTerrainsThatDoNotMeet(set, priority, width, height, byTerrain, &painted);
        TerrainCorners corners(set, width, height, [&shows](int index) { return shows[index]; });
        for (int index = 0; index < count; ++index) {
            if (painted[index] >= 0) {
                corners.Paint(index % width, index / width, painted[index]);
            }
        }
        // Every corner is where its rule put it: only the cells are chosen.
        corners.Settle(priority, [&](int index) { return !byTerrain(index); }, false);
        for (const CellChipChange& change : corners.Changes()) {
            shows[change.index] = change.shows;
        }
    }

    std::vector<CellChipChange> changes;
    for (int index = 0; index < count; ++index) {
        if (shows[index] != cellAt(index)) {
            changes.push_back(CellChipChange{index, shows[index]});
        }
    }
    return changes;
}
