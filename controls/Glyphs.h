#pragma once
// The painted glyphs that stand in for bitmap resources: strips of equal
// frames side by side, the first frame normal, the second (when present)
// disabled.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// A glyph strip painted on first use and kept in a cache shared by all
// controls: "Spin_Up", "Spin_Down", "CALCULATE" (two frames: normal and
// disabled) and "BCOK", "BCCANCEL", "BCHELP", "BCYES", "BCNO", "BCCLOSE",
// "BCABORT", "BCRETRY", "BCIGNORE", "BCALL" (two frames). An unknown name
// gives a null pixmap.
QPixmap Zo_Glyph(const QString& Name);
// Number of frames in a strip of the cache (0 for an unknown name).
int Zo_Glyph_Count(const QString& Name);
// The icon made from a strip: frame 1 normal, frame 2 (when present) disabled.
QIcon Glyph_Icon(const QPixmap& Strip, int NumGlyphs);

// Size of one frame of a strip of NumGlyphs frames (an empty size for a
// null strip).
QSize Frame_Size(const QPixmap& Strip, int NumGlyphs);
