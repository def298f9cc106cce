#pragma once

#include "terrain/TerrainCorners.h"
#include "terrain/TerrainSet.h"

#include <functional>
#include <string>
#include <vector>

// A rule of "高さと傾きで塗る": the cells whose height and slope lie in its
// ranges (both ends included) get a chip, unturned, or a terrain on their
// corners. Rules are tried from the first: the first that matches a cell wins.
struct PaintRule {
    // The chip a matching cell gets; -1 when the rule paints `terrain` instead.
    int chip;
    // A terrain's name, UTF-8.
    std::string terrain;
    double heightFrom;
    double heightTo;
    // Degrees.
    double slopeFrom;
    double slopeTo;

    bool Matches(double height, double slope) const
    {
        return height >= heightFrom && height <= heightTo && slope >= slopeFrom && slope <= slopeTo;
    }
    bool operator==(const PaintRule& other) const
    {
        return chip == other.chip && terrain == other.terrain && heightFrom == other.heightFrom &&
               heightTo == other.heightTo && slopeFrom == other.slopeFrom && slopeTo == other.slopeTo;
    }
};

// The texts a rule is written in, in the dialog's order.
enum PaintRuleField { kRuleWhat, kRuleHeightFrom, kRuleHeightTo, kRuleSlopeFrom, kRuleSlopeTo, kRuleFieldCount };

// Why a rule's texts make no rule, and in which field.
struct PaintRuleFault {
    enum Kind {
        kNone,
        // Every field empty: no rule, and nothing wrong.
        kEmpty,
        kNothingToPaint,
        kMissingNumber,
        kNotANumber,
        // The range's "from" lies above its "to"; the field is the "from".
        kFromAboveTo,
        kUnknownTerrain,
        kChipBeyondAtlas,
    };
    Kind kind;
    int field;
};

// Reads a rule from its five texts (UTF-8; spaces around them do not count).
// Digits alone name a chip, anything else a terrain.
PaintRuleFault ReadPaintRule(const std::vector<std::string>& fields, PaintRule* rule);
// Whether the map's atlas can paint `rule`: its chip lies below `chipCount`,
// its terrain is one of `set`.
PaintRuleFault CheckPaintRule(const PaintRule& rule, const TerrainSet& set, int chipCount);
// The five texts that read back as `rule`.
std::vector<std::string> PaintRuleFields(const PaintRule& rule);

// The form a rule is kept in: "what,heightFrom,heightTo,slopeFrom,slopeTo".
// A name may hold commas: the numbers are the last four fields. False for
// text that ReadPaintRule would not take.
bool ParsePaintRule(const std::string& text, PaintRule* rule);
std::string FormatPaintRule(const PaintRule& rule);

// A cell's height (the mean of its corners) and slope in degrees, from the
// heights of its corners a = (x, y), b = (x, y + 1), c = (x + 1, y) and
// d = (x + 1, y + 1).
struct CellLie {
    double height;
    double slope;
};
CellLie CellLieOf(double a, double b, double c, double d);

// The height of vertex (column, row), both already within the map.
using VertexHeightAt = std::function<double(int column, int row)>;

// What `rules` do to a width x height map: the cells (in index order) whose
// chip or turn changes. Chip rules put their chip unturned; terrain rules
// paint their terrain on the corners of their cells, a corner shared with a
// cell of an earlier terrain rule taking that one, and the cells take the
// chips the terrain brush would give them. Only the cells for which
// `paintable` holds (every cell when it is null) are matched; the others, the
// cells no rule matches and those of chip rules keep what they show. A rule
// naming a terrain `set` lacks matches nothing.
std::vector<CellChipChange> ApplyPaintRules(const std::vector<PaintRule>& rules, const TerrainSet& set, int width,
                                            int height, const VertexHeightAt& heightAt,
                                            const TerrainCorners::CellAt& cellAt,
                                            const std::function<bool(int index)>& paintable = nullptr);
