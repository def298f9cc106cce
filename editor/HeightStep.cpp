#include "editor/HeightStep.h"

#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

HeightStep::HeightStep() : m_done(false), m_area()
{
}

HeightStep::HeightStep(int column, int row, double height) : HeightStep()
{
    Add(column, row, height);
}

void HeightStep::Add(int column, int row, double height)
{
    if (Vertex* vertex = Find(column, row)) {
        vertex->after = height;
        return;
    }
    m_vertices.push_back(Vertex{column, row, 0.0, height});
}

HeightStep::Vertex* HeightStep::Find(int column, int row)
{
    for (Vertex& vertex : m_vertices) {
        if (vertex.column == column && vertex.row == row) {
            return &vertex;
        }
    }
    return nullptr;
}

bool HeightStep::Redo(EditedMap& map)
{
    COxelD3DTerrainChipManager* terrain = map.terrain;
    if (!m_done) {
        // The action itself: the grid wraps and clamps, and what it kept is
        // what a redo puts back. Vertices that did not move are no part of it.
        std::vector<Vertex> moved;
        for (Vertex vertex : m_vertices) {
            vertex.column = WrapIndex(vertex.column, terrain->m_mapWidth);
            vertex.row = WrapIndex(vertex.row, terrain->m_mapHeight);
            vertex.before = terrain->GetHeight(vertex.column, vertex.row);
            terrain->SetHeight(vertex.column, vertex.row, vertex.after);
            vertex.after = terrain->GetHeight(vertex.column, vertex.row);
            if (vertex.after != vertex.before) {
                // A vertex named twice under two spellings (wrapped or not) is one.
                bool seen = false;
                for (Vertex& earlier : moved) {
                    if (earlier.column == vertex.column && earlier.row == vertex.row) {
                        earlier.after = vertex.after;
                        seen = true;
                    }
                }
                if (!seen) {
                    moved.push_back(vertex);
                }
            }
        }
        m_vertices.swap(moved);
        m_vertices.shrink_to_fit();
        m_done = true;
        if (m_vertices.empty()) {
            return false;
        }
        m_area = MapArea::AroundVertex(m_vertices[0].column, m_vertices[0].row);
        for (const Vertex& vertex : m_vertices) {
            m_area = m_area.Joined(MapArea::AroundVertex(vertex.column, vertex.row));
        }
        return true;
    }
    for (const Vertex& vertex : m_vertices) {
        terrain->SetHeight(vertex.column, vertex.row, vertex.after);
    }
    return true;
}

void HeightStep::Undo(EditedMap& map)
{
    for (auto vertex = m_vertices.rbegin(); vertex != m_vertices.rend(); ++vertex) {
        map.terrain->SetHeight(vertex->column, vertex->row, vertex->before);
    }
}

MapChange HeightStep::Changed() const
{
    return MapChange::Grid(m_area);
}

bool HeightStep::MergeWith(const MapStep& next)
{
    const HeightStep* piece = dynamic_cast<const HeightStep*>(&next);
    if (!piece || !m_done || !piece->m_done) {
        return false;
    }
    for (const Vertex& vertex : piece->m_vertices) {
        if (Vertex* mine = Find(vertex.column, vertex.row)) {
            mine->after = vertex.after;
        } else {
            m_vertices.push_back(vertex);
        }
    }
    m_area = m_area.Joined(piece->m_area);
    return true;
}

std::size_t HeightStep::Bytes() const
{
    return sizeof *this + m_vertices.capacity() * sizeof(Vertex);
}
