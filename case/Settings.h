#pragma once
// The settings file's contents: where the windows stood, whether the legend
// was open, where the progress window opens, and the parameter file last used.
// Read and written here without a window; the desktop program moves the
// values between these fields and its windows.

#include <string>

class TProfile;

// No position or size stored.
inline constexpr int SettingNotSet = -1000000;

struct TBounds {
    int Left = SettingNotSet;
    int Top = SettingNotSet;
    int Width = SettingNotSet;
    int Height = SettingNotSet;
    bool operator==(const TBounds&) const = default;
};

struct TSettings {
    TBounds Window;        // "Window": the main window
    TBounds WindowCalc;    // "WindowCalc": the water-hammer dialog (size never written)
    TBounds WindowLegend;  // "WindowLegend"
    bool LegendVisible = false;
    int PercentTop = SettingNotSet;  // "WindowPercent"
    int PercentLeft = SettingNotSet;
    // "BlowData" "Top" and "Left" of the settings file (present only when the
    // file was written by other means, a parameter file given as settings):
    // the dialog's position after "WindowCalc" placed it.
    int BlowTop = SettingNotSet;
    int BlowLeft = SettingNotSet;
    std::string FileName = "Data.Hyd";  // "Data" "FileName"
    bool operator==(const TSettings&) const = default;
};

// Reads every key in the program's order. The values Settings holds on entry
// are the defaults of missing keys: the caller fills Window with the main
// window's current bounds, BlowTop/BlowLeft with the dialog's position and
// FileName with the current parameter file. A blank "FileName" counts as
// missing. A failing read throws TProfileError; the keys read before it are in
// Settings. The text editor's section is not touched.
void LoadSettings(TProfile& Profile, TSettings& Settings);

// Writes every key the program writes ("WindowCalc" without its size, nothing
// of "BlowData", nothing of the text editor's section); other sections and
// keys stay as they are. HasCalc and
// HasLegend tell whether those windows exist (their sections are written only
// then). The caller commits. A failing write throws TProfileError.
void SaveSettings(TProfile& Profile, const TSettings& Settings, bool HasCalc = true,
                  bool HasLegend = true);
