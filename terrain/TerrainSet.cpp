#include "terrain/TerrainSet.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// The corners as the views show a cell, clockwise from the top left: the views
// are mirrored left to right, so grid corner 0, at (x, y), is the top right.
const int kScreenCorner[4] = {2, 0, 1, 3};

// Which screen corners hold the first terrain in the turn a transition is
// described in, a bit per corner in the order above.
const unsigned kPatternMask[TerrainSet::kPatternCount] = {0x1, 0x3, 0x5, 0xB};

int QuarterTurns(int turn)
{
    return ((turn % 4) + 4) % 4;
}

// `mask` turned `turns` quarters clockwise.
unsigned Turned(unsigned mask, int turns)
{
    const int t = QuarterTurns(turns);
    return ((mask << t) | (mask >> (4 - t))) & 0xF;
}

unsigned FirstTerrainMask(const CellCorners& corners, int first)
{
    unsigned mask = 0;
    for (int p = 0; p < 4; ++p) {
        if (corners.terrain[kScreenCorner[p]] == first) {
            mask |= 1U << p;
        }
    }
    return mask;
}

int PatternOf(unsigned mask)
{
    switch (mask) {
    case 0x1: case 0x2: case 0x4: case 0x8:
        return TerrainSet::kOneCorner;
    case 0x3: case 0x6: case 0xC: case 0x9:
        return TerrainSet::kTwoAdjacent;
    case 0x5: case 0xA:
        return TerrainSet::kTwoOpposite;
    case 0x7: case 0xB: case 0xD: case 0xE:
        return TerrainSet::kThreeCorners;
    default:
        return -1;
    }
}

}  // namespace

int TerrainSet::Find(const std::string& name) const
{
    for (size_t k = 0; k < m_terrains.size(); ++k) {
        if (m_terrains[k].name == name) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

bool TerrainSet::Joins(int a, int b) const
{
    return std::any_of(m_pairs.begin(), m_pairs.end(), [&](const Pair& pair) {
        return (pair.first == a && pair.second == b) || (pair.first == b && pair.second == a);
    });
}

bool TerrainSet::Choose(const CellCorners& corners, ChipTurn current, ChipTurn* chosen) const
{
    const int a = corners.terrain[0];
    int b = a;
    for (int k = 1; k < 4; ++k) {
        if (corners.terrain[k] != a) {
            if (b != a && corners.terrain[k] != b) {
                return false;  // three terrains
            }
            b = corners.terrain[k];
        }
    }
    if (a < 0 || b < 0 || a >= Count() || b >= Count()) {
        return false;
    }
    if (a == b) {
        const std::vector<int>& chips = m_terrains[a].chips;
        if (chips.empty()) {
            return false;
        }
        const bool keeps = std::find(chips.begin(), chips.end(), current.chip) != chips.end();
        *chosen = keeps ? current : ChipTurn{chips.front(), 0};
        return true;
    }
    for (const Pair& pair : m_pairs) {
        if (!((pair.first == a && pair.second == b) || (pair.first == b && pair.second == a))) {
            continue;
        }
        const unsigned mask = FirstTerrainMask(corners, pair.first);
        const int pattern = PatternOf(mask);
        const ChipTurn described = pair.transitions[pattern];
        if (current.chip == described.chip &&
            Turned(kPatternMask[pattern], current.turn - described.turn) == mask) {
            *chosen = current;
            return true;
        }
        for (int k = 0; k < 4; ++k) {
            if (Turned(kPatternMask[pattern], k) == mask) {
                *chosen = ChipTurn{described.chip, QuarterTurns(described.turn + k)};
                return true;
            }
        }
    }
    return false;
}

bool TerrainSet::Read(ChipTurn cell, CellCorners* corners) const
{
    for (size_t t = 0; t < m_terrains.size(); ++t) {
        const std::vector<int>& chips = m_terrains[t].chips;
        if (std::find(chips.begin(), chips.end(), cell.chip) != chips.end()) {
            std::fill(std::begin(corners->terrain), std::end(corners->terrain), static_cast<int>(t));
            return true;
        }
    }
    for (const Pair& pair : m_pairs) {
        for (int pattern = 0; pattern < kPatternCount; ++pattern) {
            if (pair.transitions[pattern].chip != cell.chip) {
                continue;
            }
            const unsigned mask = Turned(kPatternMask[pattern], cell.turn - pair.transitions[pattern].turn);
            for (int p = 0; p < 4; ++p) {
                corners->terrain[kScreenCorner[p]] = (mask >> p & 1U) ? pair.first : pair.second;
            }
            return true;
        }
    }
    return false;
}

namespace {

std::string Trimmed(const std::string& text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && space(text[begin])) {
        ++begin;
    }
    while (end > begin && space(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::vector<std::string> SplitTrimmed(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(separator, begin);
        parts.push_back(Trimmed(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin)));
        if (end == std::string::npos) {
            return parts;
        }
        begin = end + 1;
    }
}

// A whole decimal number in 0 .. limit - 1.
bool ParseIndex(const std::string& text, int limit, int* value)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    *value = std::stoi(text);
    return *value < limit;
}

std::string Lowered(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// A terrain's name: not empty, and free of what separates the description's
// and the paint rules' fields.
bool IsTerrainName(const std::string& name)
{
    return !name.empty() && name.find_first_of(",=[];") == std::string::npos;
}

// Reads the description line by line; each line either adds to `set` or is at fault.
class DescriptionReader {
public:
    DescriptionReader(int chipCount, TerrainSet* set) : m_chipCount(chipCount), m_set(set), m_section(kNone) {}

    bool Line(const std::string& raw)
    {
        const std::string line = Trimmed(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            return true;
        }
        if (line.front() == '[') {
            const std::string name = line.back() == ']' ? Lowered(Trimmed(line.substr(1, line.size() - 2))) : "";
            m_section = name == "terrains" ? kTerrains : name == "transitions" ? kTransitions : kNone;
            return m_section != kNone;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return false;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        switch (m_section) {
        case kTerrains:
            return Terrain(key, value);
        case kTransitions:
            return Transition(key, value);
        default:
            return false;
        }
    }

private:
    enum Section { kNone, kTerrains, kTransitions };
    static const int kMostTerrains = 64;

    bool Terrain(const std::string& name, const std::string& value)
    {
        if (!IsTerrainName(name) || m_set->Find(name) >= 0 || m_set->Count() >= kMostTerrains) {
            return false;
        }
        TerrainSet::Terrain terrain = {name, {}};
        for (const std::string& field : SplitTrimmed(value, ',')) {
            int chip;
            if (!ParseIndex(field, m_chipCount, &chip) || !Claim(chip)) {
                return false;
            }
            terrain.chips.push_back(chip);
        }
        m_set->m_terrains.push_back(terrain);
        return true;
    }

    bool Transition(const std::string& key, const std::string& value)
    {
        const std::vector<std::string> names = SplitTrimmed(key, ',');
        const std::vector<std::string> fields = SplitTrimmed(value, ',');
        if (names.size() != 2 || fields.size() != TerrainSet::kPatternCount) {
            return false;
        }
        TerrainSet::Pair pair;
        pair.first = m_set->Find(names[0]);
        pair.second = m_set->Find(names[1]);
        if (pair.first < 0 || pair.second < 0 || pair.first == pair.second || m_set->Joins(pair.first, pair.second)) {
            return false;
        }
        for (int pattern = 0; pattern < TerrainSet::kPatternCount; ++pattern) {
            const std::vector<std::string> chipAndTurn = SplitTrimmed(fields[pattern], '/');
            ChipTurn& transition = pair.transitions[pattern];
            if (chipAndTurn.size() != 2 || !ParseIndex(chipAndTurn[0], m_chipCount, &transition.chip) ||
                !ParseIndex(chipAndTurn[1], 4, &transition.turn) || !Claim(transition.chip)) {
                return false;
            }
        }
        m_set->m_pairs.push_back(pair);
        return true;
    }

    // A chip has one meaning, or the terrains could not be read back from it.
    bool Claim(int chip)
    {
        if (std::find(m_claimed.begin(), m_claimed.end(), chip) != m_claimed.end()) {
            return false;
        }
        m_claimed.push_back(chip);
        return true;
    }

    int m_chipCount;
    TerrainSet* m_set;
    Section m_section;
    std::vector<int> m_claimed;
};

}  // namespace

bool ParseTerrainSet(const std::string& text, int chipCount, TerrainSet* set, int* badLine)
{
    *set = TerrainSet();
    const bool bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::istringstream lines(bom ? text.substr(3) : text);
    DescriptionReader reader(chipCount, set);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!reader.Line(line)) {
            *set = TerrainSet();
            *badLine = number;
            return false;
        }
    }
    return true;
}

TerrainSet BuiltInTerrainSet(const std::vector<std::string>& names)
{
    // Grass, sand, dirt, rock, snow and shallow water of the first 32 chips,
    // and below them four transitions for each pair that meets in nature.
    const int fullChips[] = {0, 15, 8, 17, 29, 27};
    const int pairs[][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}, {1, 3}, {2, 3}, {3, 4}};
    const int firstTransition = 32;
    TerrainSet set;
    for (size_t k = 0; k < std::size(fullChips) && k < names.size(); ++k) {
        set.m_terrains.push_back(TerrainSet::Terrain{names[k], {fullChips[k]}});
    }
    if (set.Count() < static_cast<int>(std::size(fullChips))) {
        return TerrainSet();
    }
    for (size_t p = 0; p < std::size(pairs); ++p) {
        TerrainSet::Pair pair;
        pair.first = pairs[p][0];
        pair.second = pairs[p][1];
        for (int pattern = 0; pattern < TerrainSet::kPatternCount; ++pattern) {
            pair.transitions[pattern] = ChipTurn{firstTransition + 4 * static_cast<int>(p) + pattern, 0};
        }
        set.m_pairs.push_back(pair);
    }
    return set;
}
