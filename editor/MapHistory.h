#pragma once

#include "editor/MapStep.h"

#include <cstddef>
#include <deque>
#include <memory>

// The steps done to the map, oldest first, and how far they are done: steps
// before the index are done (Undo takes back the one just before it), steps
// from the index on were undone (Redo does the one at it again). It also
// remembers the index at which the map was last saved: the map is modified
// exactly when the index differs from it.
//
// Memory bound: the steps together hold at most `byteLimit` bytes, counted
// again after every undo and redo (a step may keep more on one side than on
// the other); past it the oldest steps are dropped first. The newest step is
// always kept.
class MapHistory {
public:
    // Enough for a thousand whole-map steps of a 64 x 64 map, and for millions
    // of clicks.
    static const std::size_t kDefaultByteLimit = 96u << 20;

    explicit MapHistory(std::size_t byteLimit = kDefaultByteLimit);
    MapHistory(const MapHistory&) = delete;
    MapHistory& operator=(const MapHistory&) = delete;

    // Keeps a step that has just been done. The steps that could have been
    // redone are dropped. With `continuesStroke`, the step is first offered to
    // the last step (see MergeWith), as long as nothing was undone, redone or
    // saved since that step was added.
    void Add(std::unique_ptr<MapStep> step, bool continuesStroke = false);
    // Takes back the step before the index; the step, or null when there is none.
    MapStep* Undo(EditedMap& map);
    // Does the step at the index again; the step, or null when there is none.
    MapStep* Redo(EditedMap& map);

    bool CanUndo() const { return m_index > 0; }
    bool CanRedo() const { return m_index < m_steps.size(); }
    // Whether the map differs from the one last saved (or made, or opened).
    bool IsModified() const { return m_index != m_savedIndex; }
    // The map as it is now is the saved one.
    void MarkSaved();
    // The map as it is now differs from every saved one (it came from
    // somewhere other than its file), and no undo makes it saved.
    void MarkUnsaved();
    // Forgets every step; the map as it is now counts as saved.
    void Clear();

    std::size_t Count() const { return m_steps.size(); }
    std::size_t Index() const { return m_index; }
    std::size_t Bytes() const { return m_bytes; }

private:
    // A saved index that no index reaches again.
    static const std::size_t kUnreachable = static_cast<std::size_t>(-1);

    // A step and what it holds, as counted after it was last added to, undone or redone.
    struct Entry {
        std::unique_ptr<MapStep> step;
        std::size_t bytes;
    };

    // What the step at `position` holds has changed (an undo or redo trades
    // what it keeps): counts it again and keeps within the bound.
    void Recount(std::size_t position);
    // Drops the oldest steps, then the last steps undone, until the steps hold
    // no more than the bound. The step at `keep`, which was just done, undone
    // or redone and which the caller still reads, is always kept.
    void KeepWithinBound(std::size_t keep);
    void DropOldest();

    std::deque<Entry> m_steps;
    std::size_t m_index;
    std::size_t m_savedIndex;
    std::size_t m_bytes;
    std::size_t m_byteLimit;
    // Whether the last step may still take in the next piece of its stroke.
    bool m_strokeOpen;
};
