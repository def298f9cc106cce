#include "editor/PaintRulesDialog.h"

#include "app/COxelSettingsFile.h"
#include "app/ProgramText.h"
#include "editor/CellStep.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/ProgramWindowsDisabled.h"
#include "editor/WaitCursor.h"
#include "io/TextEncoding.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/MapRegion.h"

#include <memory>
#include <string>

namespace {

const int kDialogResource = 106;
const int kRowCount = 8;
const int kHint = 1200;
// The first row's fields; each column of fields counts on by row.
const int kFirstField[kRuleFieldCount] = {1210, 1220, 1230, 1240, 1250};
const char kSection[] = "PaintRules";

int FieldId(int row, int field)
{
    return kFirstField[field] + row;
}

std::string RuleKey(int row)
{
    return "Rule" + std::to_string(row + 1);
}

int ChipCount(const COxelD3DTerrainEditor& editor)
{
    const COxelD3DTerrainChipManager* grid = editor.m_terrain;
    return grid ? grid->m_chipColumns * grid->m_chipRows : 0;
}

// The rule kept for `row`, as its fields show it; empty fields for none or
// for one the file holds malformed.
std::vector<std::string> KeptFields(int row)
{
    char text[512] = "";
    if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
        settings->ReadText(kSection, RuleKey(row).c_str(), text, sizeof text);
    }
    PaintRule rule;
    return ParsePaintRule(Utf8FromAnsi(text), &rule) ? PaintRuleFields(rule) : std::vector<std::string>(kRuleFieldCount);
}

// The text of `id` in UTF-8: read wide, so that a terrain named in characters
// the code page lacks still matches.
std::string FieldText(HWND dialog, int id)
{
    HWND field = GetDlgItem(dialog, id);
    std::wstring text(GetWindowTextLengthW(field) + 1, L'\0');
    text.resize(GetWindowTextW(field, &text[0], static_cast<int>(text.size())));
    return Utf8FromWide(text);
}

std::string FaultMessage(const PaintRuleFault& fault, int row, const std::vector<std::string>& fields,
                         const TerrainSet& set, int chipCount)
{
    const UINT fieldNames[kRuleFieldCount] = {0, IDS_RULE_HEIGHT_FROM, IDS_RULE_HEIGHT_TO, IDS_RULE_SLOPE_FROM,
                                              IDS_RULE_SLOPE_TO};
    const std::string what = AnsiFromUtf8(fields[kRuleWhat]);
    const std::string typed = AnsiFromUtf8(fields[fault.field]);
    switch (fault.kind) {
    case PaintRuleFault::kNothingToPaint:
        return FormatText(IDS_RULE_NOTHING_TO_PAINT, row);
    case PaintRuleFault::kMissingNumber:
        return FormatText(IDS_RULE_MISSING_NUMBER, row, Text(fieldNames[fault.field]));
    case PaintRuleFault::kNotANumber:
        return FormatText(IDS_RULE_NOT_A_NUMBER, row, Text(fieldNames[fault.field]), typed.c_str());
    case PaintRuleFault::kFromAboveTo:
        return FormatText(IDS_RULE_FROM_ABOVE_TO, row,
                          Text(fault.field == kRuleHeightFrom ? IDS_RULE_HEIGHT : IDS_RULE_SLOPE), typed.c_str(),
                          AnsiFromUtf8(fields[fault.field + 1]).c_str());
    case PaintRuleFault::kUnknownTerrain:
        return FormatText(set.Empty() ? IDS_RULE_NO_TERRAINS : IDS_RULE_UNKNOWN_TERRAIN, row, what.c_str(),
                          chipCount - 1);
    case PaintRuleFault::kChipBeyondAtlas:
        return FormatText(IDS_RULE_CHIP_BEYOND_ATLAS, row, what.c_str(), chipCount - 1);
    default:
        return std::string();
    }
}

void ShowRows(HWND dialog, COxelD3DTerrainEditor& editor)
{
    SetDlgItemTextA(dialog, kHint, FormatText(IDS_PAINT_RULES_HINT, ChipCount(editor) - 1).c_str());
    const TerrainSet& set = editor.m_terrains.Terrains();
    for (int row = 0; row < kRowCount; ++row) {
        HWND what = GetDlgItem(dialog, FieldId(row, kRuleWhat));
        for (const TerrainSet::Terrain& terrain : set.m_terrains) {
            SendMessageW(what, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(terrain.name).c_str()));
        }
        const std::vector<std::string> fields = KeptFields(row);
        for (int field = 0; field < kRuleFieldCount; ++field) {
            SetWindowTextW(GetDlgItem(dialog, FieldId(row, field)), WideFromUtf8(fields[field]).c_str());
        }
    }
}

// Reads every row; on a fault, says which and puts the focus on its field.
bool TakeRows(HWND dialog, COxelD3DTerrainEditor& editor, std::vector<PaintRule>* rules,
              std::vector<std::string>* kept)
{
    const TerrainSet& set = editor.m_terrains.Terrains();
    const int chipCount = ChipCount(editor);
    for (int row = 0; row < kRowCount; ++row) {
        std::vector<std::string> fields(kRuleFieldCount);
        for (int field = 0; field < kRuleFieldCount; ++field) {
            fields[field] = FieldText(dialog, FieldId(row, field));
        }
        PaintRule rule;
        PaintRuleFault fault = ReadPaintRule(fields, &rule);
        if (fault.kind == PaintRuleFault::kEmpty) {
            kept->push_back(std::string());
            continue;
        }
        if (fault.kind == PaintRuleFault::kNone) {
            fault = CheckPaintRule(rule, set, chipCount);
        }
        if (fault.kind != PaintRuleFault::kNone) {
            MessageBoxA(dialog, FaultMessage(fault, row + 1, fields, set, chipCount).c_str(), "Quelmora",
                        MB_OK | MB_ICONWARNING);
            HWND field = GetDlgItem(dialog, FieldId(row, fault.field));
            SetFocus(field);
            SendMessageA(field, fault.field == kRuleWhat ? CB_SETEDITSEL : EM_SETSEL, 0,
                         fault.field == kRuleWhat ? MAKELPARAM(0, -1) : -1);
            return false;
        }
        rules->push_back(rule);
        kept->push_back(AnsiFromUtf8(FormatPaintRule(rule)));
    }
    return true;
}

struct DialogState {
    COxelD3DTerrainEditor* editor;
    std::vector<PaintRule> rules;
};

INT_PTR CALLBACK PaintRulesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ShowRows(dialog, *reinterpret_cast<DialogState*>(lParam)->editor);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            std::vector<std::string> kept;
            state->rules.clear();
            if (!TakeRows(dialog, *state->editor, &state->rules, &kept)) {
                return TRUE;
            }
            if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
                for (int row = 0; row < kRowCount; ++row) {
                    settings->WriteText(kSection, RuleKey(row).c_str(), kept[row].empty() ? nullptr : kept[row].c_str());
                }
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool AskPaintRules(HWND owner, COxelD3DTerrainEditor& editor)
{
    if (!editor.HasMap()) {
        return false;
    }
    DialogState state = {&editor, {}};
    {
        ProgramWindowsDisabled disabled;
        if (DialogBoxIndirectParamA(GetModuleHandleA(nullptr), ProgramDialog(kDialogResource), owner, PaintRulesProc,
                                    reinterpret_cast<LPARAM>(&state)) != IDOK) {
            return false;
        }
    }
    WaitCursor wait;
    PaintMapByRules(editor, state.rules);
    return true;
}

void PaintMapByRules(COxelD3DTerrainEditor& editor, const std::vector<PaintRule>& rules)
{
    if (!editor.HasMap() || rules.empty()) {
        return;
    }
    COxelD3DTerrainChipManager* grid = editor.m_terrain;
    const int width = editor.m_mapWidth;
    const int height = editor.m_mapHeight;
    const MapRect selection = editor.m_regions.Selection();
    std::function<bool(int index)> inside;
    if (!selection.Empty()) {
        inside = [&](int index) { return selection.Contains(GridPoint{index % width, index / width}, width, height); };
    }
    const std::vector<CellChipChange> changes = ApplyPaintRules(
        rules, editor.m_terrains.Terrains(), width, height,
        [grid](int column, int row) { return grid->GetHeight(column, row); },
        [grid](int index) { return ChipTurn{grid->m_cells[index].m_chipIndex, grid->m_cells[index].m_rotation}; },
        inside);
    if (changes.empty()) {
        return;
    }
    auto step = std::make_unique<CellStep>();
    for (const CellChipChange& change : changes) {
        step->ShowChip(change.index % width, change.index / width, change.shows.chip, change.shows.turn);
    }
    editor.Perform(std::move(step));
}
