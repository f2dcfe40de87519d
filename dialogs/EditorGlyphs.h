#pragma once
// The painted pictures of the text editor's tool bar and menu, 16×16 pixels
// (and twice that for screens of pixel ratio 2); their disabled look comes
// from the style.

#include <QIcon>

enum class TEditor_Glyph {
    OK,
    Cancel,
    New,
    Open,
    Save,
    Print,
    Cut,
    Copy,
    Paste,
    Delete,
    Select_All,
    Find,
    Wrap,
    Font
};

// Painted on first use and kept for the run.
QIcon Editor_Glyph(TEditor_Glyph Glyph);
