#pragma once

#include "tools/BrushMath.h"

#include <windows.h>

#include <vector>

// One drag of a button across a view of squares (the height or texture mapping
// window): which squares the tool acts on as the pointer moves. Every square
// the pointer passes is reached, however fast it moves, and each at most once
// per stroke. Squares are the view's, not the grid's.
class COxelPaintStroke {
public:
    // What one mouse message means for a window that paints with strokes.
    struct Event {
        // A press came while an earlier stroke was still held: that stroke is over.
        bool interrupted = false;
        // The window acts on `squares`: the message belongs to the stroke.
        bool handled = false;
        bool begins = false;
        // A release of the stroke's button: the window ends the stroke after acting.
        bool ends = false;
        std::vector<GridPoint> squares;
    };

    COxelPaintStroke();

    // Follows a mouse message at pixel `at` of a view of `columns` x `rows`
    // squares: a press inside the view begins a stroke, a move extends it, a
    // release of the button that began it reaches its last squares.
    Event Follow(UINT message, POINT at, int squareWidth, int squareHeight, int columns, int rows);
    // Follow for the view's window `window`, which holds the mouse from the
    // stroke's press to its end. Losing the mouse (another window or a prompt
    // takes it, the window is disabled, the editor ends strokes) or a change
    // of the view's size (a new map) ends the stroke, reported as interrupted.
    // A stroke that ends by a release keeps the mouse until Stop.
    Event Track(HWND window, UINT message, POINT at, int squareWidth, int squareHeight, int columns, int rows);
    // Ends the stroke, if one is held, and lets go of the mouse if `window` holds it.
    void Stop(HWND window);

    // Starts a stroke of `button` (WM_LBUTTONDOWN or WM_RBUTTONDOWN) at pixel
    // `at` of a view of `columns` x `rows` squares; gives the square under the
    // pointer, or nothing when it lies outside the view.
    std::vector<GridPoint> Begin(UINT button, POINT at, int squareWidth, int squareHeight, int columns, int rows);
    // The squares passed on the way to `at` that the stroke has not reached yet.
    std::vector<GridPoint> MoveTo(POINT at);
    void End();

    bool Active() const { return m_button != 0; }
    // The button-down message that started the stroke; 0 when there is none.
    UINT Button() const { return m_button; }

private:
    std::vector<GridPoint> Reach(const std::vector<GridPoint>& passed);

    UINT m_button;
    POINT m_last;
    int m_squareWidth;
    int m_squareHeight;
    int m_columns;
    int m_rows;
    std::vector<char> m_reached;
};
