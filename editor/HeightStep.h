#pragma once

#include "editor/MapStep.h"

#include <vector>

// New heights for some grid vertices: a click raises or lowers one, a stroke
// many. Holds each vertex with its height before and after.
class HeightStep : public MapStep {
public:
    HeightStep();
    // One vertex to bring to `height` (columns and rows wrap; the grid keeps
    // heights within its bounds). A vertex given twice takes the later height.
    HeightStep(int column, int row, double height);

    // Another vertex, before the step is performed (a brush adds several).
    void Add(int column, int row, double height);

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    // Takes in another height step: its vertices keep their first "before".
    bool MergeWith(const MapStep& next) override;
    std::size_t Bytes() const override;

private:
    struct Vertex {
        int column;
        int row;
        double before;
        double after;
    };

    Vertex* Find(int column, int row);

    std::vector<Vertex> m_vertices;
    bool m_done;
    MapArea m_area;
};
