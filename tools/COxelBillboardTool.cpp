#include "tools/COxelBillboardTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"

namespace {

const char kNonePickedText[] = "置くビルボードが選ばれていません。\n"
                               "「表示」メニューの「ビルボード設定」で、置くビルボードをリストから選んでください。";

}  // namespace

COxelBillboardTool::COxelBillboardTool(COxelD3DTerrainEditor& editor)
    : COxelTool(editor), m_billboard(-1), m_toldNonePicked(false)
{
}

bool COxelBillboardTool::Strokes(bool right) const
{
    return (right || !m_editor.m_tools.m_fill) && COxelTool::Strokes(right);
}

void COxelBillboardTool::Begin(MapPoint start, bool right)
{
    COxelTool::Begin(start, right);
    m_billboard = right ? -1 : m_editor.PickedBillboard();
    if (!right && m_billboard < 0 && !m_toldNonePicked) {
        // Once: after that, the left button quietly does nothing until one is picked.
        m_toldNonePicked = true;
        MessageBoxA(nullptr, kNonePickedText, "Quelmora", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    }
}

void COxelBillboardTool::Reach(const std::vector<GridPoint>& points)
{
    if (!m_right && m_billboard < 0) {
        return;
    }
    if (!m_right && m_editor.m_tools.m_fill) {
        for (const GridPoint& point : points) {
            FillBillboards(m_editor, point, m_billboard);
        }
        return;
    }
    std::vector<GridPoint> cells;
    for (const GridPoint& point : points) {
        for (const GridPoint& cell : m_editor.m_tools.Footprint(point, m_editor.m_mapWidth, m_editor.m_mapHeight)) {
            cells.push_back(cell);
        }
    }
    PaintBillboards(m_editor, cells, m_billboard);
}
