#pragma once
// The text editor's settings in the settings file (section "ZoEditor"): where
// the last editor window stood and the font of the edit area. One set serves
// every editor window of a run: a window opens with it and leaves its own
// place and font in it when it closes.

#include <string>

class TProfile;

// No position or size stored: the window is centred, at its own size.
inline constexpr int EditorNotSet = -1000000;

struct TEditorSettings {
    int WindowLeft = EditorNotSet;
    int WindowTop = EditorNotSet;
    int WindowWidth = EditorNotSet;  // not above 0: the window's own size
    int WindowHeight = EditorNotSet;
    std::string FontName = "Courier New Cyr";
    int FontSize = 10;      // points
    int FontCharset = 204;  // the character set number of the font (204: Cyrillic), kept as read
    bool operator==(const TEditorSettings&) const = default;
};

inline constexpr const char* EditorSection = "ZoEditor";

// Reads the seven keys of "ZoEditor", each with the value Settings holds as
// its default. A blank "FontName" counts as missing. A failing read throws
// TProfileError; the keys read before it are in Settings.
void LoadEditorSettings(TProfile& Profile, TEditorSettings& Settings);

// Writes the seven keys; the caller commits. A failing write throws
// TProfileError.
void SaveEditorSettings(TProfile& Profile, const TEditorSettings& Settings);
