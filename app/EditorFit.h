#pragma once
// Sizes for value editors that stand in a layout: an editor places its
// caption, field and unit list itself and reports a fixed size hint, so a
// window that lays editors out in a column tells the layout what they need.

#include <initializer_list>

class TEdit_Scalable;

// Gives the editors of one column one field width (MaxEditWidth, widened when
// the font needs more room for a number), one unit-list width (wide enough
// for the longest unit caption of any of them) and a minimum size that shows
// the longest caption in full beside them. Editors stretched to the same
// width then have their fields and unit lists one under another.
void Fit_Editors(std::initializer_list<TEdit_Scalable*> Editors);
