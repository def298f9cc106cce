#include "editor/MapHistory.h"

#include <utility>

MapHistory::MapHistory(std::size_t byteLimit)
    : m_index(0), m_savedIndex(0), m_bytes(0), m_byteLimit(byteLimit), m_strokeOpen(false)
{
}

void MapHistory::Add(std::unique_ptr<MapStep> step, bool continuesStroke)
{
    if (!step) {
        return;
    }
    if (continuesStroke && m_strokeOpen && m_index == m_steps.size() && m_index > 0) {
        Entry& last = m_steps.back();
        if (last.step->MergeWith(*step)) {
            m_bytes -= last.bytes;
            last.bytes = last.step->Bytes();
            m_bytes += last.bytes;
            // The saved map was the one before this piece.
            if (m_savedIndex == m_index) {
                m_savedIndex = kUnreachable;
            }
            return;
        }
    }
    while (m_steps.size() > m_index) {
        m_bytes -= m_steps.back().bytes;
        m_steps.pop_back();
    }
    if (m_savedIndex != kUnreachable && m_savedIndex > m_index) {
        m_savedIndex = kUnreachable;
    }
    const std::size_t bytes = step->Bytes();
    m_bytes += bytes;
    m_steps.push_back(Entry{std::move(step), bytes});
    ++m_index;
    m_strokeOpen = true;
    KeepWithinBound(m_index - 1);
}

MapStep* MapHistory::Undo(EditedMap& map)
{
    m_strokeOpen = false;
    if (!CanUndo()) {
        return nullptr;
    }
    MapStep* step = m_steps[--m_index].step.get();
    step->Undo(map);
    Recount(m_index);
    return step;
}

MapStep* MapHistory::Redo(EditedMap& map)
{
    m_strokeOpen = false;
    if (!CanRedo()) {
        return nullptr;
    }
    MapStep* step = m_steps[m_index++].step.get();
    step->Redo(map);
    Recount(m_index - 1);
    return step;
}

void MapHistory::MarkSaved()
{
    m_strokeOpen = false;
    m_savedIndex = m_index;
}

void MapHistory::MarkUnsaved()
{
    m_strokeOpen = false;
    m_savedIndex = kUnreachable;
}

void MapHistory::Clear()
{
    m_steps.clear();
    m_index = 0;
    m_savedIndex = 0;
    m_bytes = 0;
    m_strokeOpen = false;
}

void MapHistory::Recount(std::size_t position)
{
    Entry& entry = m_steps[position];
    m_bytes -= entry.bytes;
    entry.bytes = entry.step->Bytes();
    m_bytes += entry.bytes;
    KeepWithinBound(position);
}

void MapHistory::KeepWithinBound(std::size_t keep)
{
    while (m_bytes > m_byteLimit && m_steps.size() > 1) {
        if (keep > 0) {
            DropOldest();
            --keep;
        } else {
            // The oldest step is the one to keep: the step furthest from it goes.
            m_bytes -= m_steps.back().bytes;
            m_steps.pop_back();
            if (m_savedIndex != kUnreachable && m_savedIndex > m_steps.size()) {
                m_savedIndex = kUnreachable;
            }
        }
    }
}

void MapHistory::DropOldest()
{
    m_bytes -= m_steps.front().bytes;
    m_steps.pop_front();
    --m_index;
    if (m_savedIndex == 0) {
        m_savedIndex = kUnreachable;
    } else if (m_savedIndex != kUnreachable) {
        --m_savedIndex;
    }
}
