#include "editor/MapHistory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A map of one number: a step adds to it, and a stroke's pieces add up.
struct Counter {
    int value = 0;
};

class AddStep : public MapStep {
public:
    // `undoneBytes`: what it holds while undone, as an atlas step then keeps the newer atlas.
    AddStep(Counter* counter, int amount, std::size_t bytes = 64, std::size_t undoneBytes = 0)
        : m_counter(counter), m_amount(amount), m_bytes(bytes), m_undoneBytes(undoneBytes ? undoneBytes : bytes)
    {
    }
    bool Redo(EditedMap&) override
    {
        m_counter->value += m_amount;
        m_done = true;
        return true;
    }
    void Undo(EditedMap&) override
    {
        m_counter->value -= m_amount;
        m_done = false;
    }
    MapChange Changed() const override { return MapChange::Nothing(); }
    bool MergeWith(const MapStep& next) override
    {
        const AddStep* piece = dynamic_cast<const AddStep*>(&next);
        if (!piece) {
            return false;
        }
        m_amount += piece->m_amount;
        return true;
    }
    std::size_t Bytes() const override { return m_done ? m_bytes : m_undoneBytes; }

private:
    Counter* m_counter;
    int m_amount;
    std::size_t m_bytes;
    std::size_t m_undoneBytes;
    bool m_done = false;
};

class MapHistoryTest : public ::testing::Test {
protected:
    // Does a step as the editor does: first the step, then the history keeps it.
    void Do(int amount, bool continuesStroke = false, std::size_t bytes = 64, std::size_t undoneBytes = 0)
    {
        auto step = std::make_unique<AddStep>(&counter, amount, bytes, undoneBytes);
        step->Redo(map);
        history.Add(std::move(step), continuesStroke);
    }

    Counter counter;
    EditedMap map = {nullptr, nullptr, nullptr};
    MapHistory history{1000};
};

}  // namespace

TEST_F(MapHistoryTest, UndoAndRedoWalkTheStepsAndANewStepDropsWhatCouldHaveBeenRedone)
{
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(nullptr, history.Undo(map));
    Do(1);
    Do(10);
    Do(100);
    EXPECT_EQ(111, counter.value);
    ASSERT_NE(nullptr, history.Undo(map));
    history.Undo(map);
    EXPECT_EQ(1, counter.value);
    EXPECT_TRUE(history.CanRedo());
    history.Redo(map);
    EXPECT_EQ(11, counter.value);

    Do(1000);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(nullptr, history.Redo(map));
    EXPECT_EQ(3u, history.Count());
    while (history.Undo(map)) {
    }
    EXPECT_EQ(0, counter.value);
}

TEST_F(MapHistoryTest, TheMapIsModifiedExactlyWhenTheIndexDiffersFromTheSavedOne)
{
    EXPECT_FALSE(history.IsModified());
    Do(1);
    EXPECT_TRUE(history.IsModified());
    history.Undo(map);
    EXPECT_FALSE(history.IsModified());
    history.Redo(map);
    Do(2);
    history.MarkSaved();
    EXPECT_FALSE(history.IsModified());
    history.Undo(map);
    EXPECT_TRUE(history.IsModified());
    history.Redo(map);
    EXPECT_FALSE(history.IsModified());

    // Undone past the save and then edited: the saved map cannot come back.
    history.Undo(map);
    Do(5);
    EXPECT_TRUE(history.IsModified());
    history.Undo(map);
    EXPECT_TRUE(history.IsModified());

    history.Clear();
    EXPECT_FALSE(history.IsModified());
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(MapHistoryTest, AStrokeIsOneStepUntilSomethingComesBetween)
{
    Do(1);
    Do(2, true);
    Do(3, true);
    EXPECT_EQ(1u, history.Count());
    history.Undo(map);
    EXPECT_EQ(0, counter.value);
    history.Redo(map);
    EXPECT_EQ(6, counter.value);

    // After an undo or redo, a piece starts a step of its own.
    Do(4, true);
    EXPECT_EQ(2u, history.Count());

    // A save ends the stroke: what follows is modified, and undone alone.
    history.MarkSaved();
    Do(5, true);
    EXPECT_EQ(3u, history.Count());
    EXPECT_TRUE(history.IsModified());
    history.Undo(map);
    EXPECT_FALSE(history.IsModified());
}

TEST_F(MapHistoryTest, KeepsTheNewestStepsWithinItsMemoryBound)
{
    // 1000 bytes: ten steps of 100 fit, the eleventh drops the oldest.
    for (int step = 0; step < 10; ++step) {
        Do(1, false, 100);
    }
    EXPECT_EQ(10u, history.Count());
    EXPECT_EQ(1000u, history.Bytes());
    history.MarkSaved();
    history.Undo(map);
    history.Redo(map);
    Do(1, false, 100);
    EXPECT_EQ(10u, history.Count());
    EXPECT_EQ(1000u, history.Bytes());
    while (history.Undo(map)) {
    }
    EXPECT_EQ(1, counter.value);

    // A step larger than the bound is kept alone.
    Do(7, false, 5000);
    EXPECT_EQ(1u, history.Count());
    EXPECT_EQ(5000u, history.Bytes());
}

TEST_F(MapHistoryTest, CountsWhatAStepHoldsAfterEveryUndoAndRedoAndKeepsWithinTheBound)
{
    for (int step = 0; step < 5; ++step) {
        Do(1, false, 100);
    }
    // Holds 100 bytes done and 900 undone.
    Do(10, false, 100, 900);
    EXPECT_EQ(600u, history.Bytes());
    history.Undo(map);
    // 500 + 900 is past the bound: the oldest steps go, down to one of 100.
    EXPECT_EQ(1000u, history.Bytes());
    EXPECT_EQ(2u, history.Count());
    history.Redo(map);
    EXPECT_EQ(200u, history.Bytes());
    EXPECT_EQ(15, counter.value);

    // With every step undone, the ones furthest from the map as it is go.
    while (history.Undo(map)) {
    }
    Do(1, false, 100, 600);
    Do(1, false, 100, 600);
    history.Undo(map);
    history.Undo(map);
    EXPECT_EQ(1u, history.Count());
    EXPECT_EQ(600u, history.Bytes());
    EXPECT_NE(nullptr, history.Redo(map));
    EXPECT_EQ(nullptr, history.Redo(map));
    EXPECT_EQ(5, counter.value);
}
