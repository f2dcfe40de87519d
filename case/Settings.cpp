// The settings file: window places, the legend's visibility, the progress
// window's place and the parameter file last used, in the order the desktop
// program reads and writes them.

#include "case/Settings.h"

#include <string>
#include <utility>

#include "text/Profile.h"

namespace {

const char* const WindowSection = "Window";
const char* const CalcSection = "WindowCalc";
const char* const LegendSection = "WindowLegend";
const char* const PercentSection = "WindowPercent";
const char* const BlowSection = "BlowData";
const char* const DataSection = "Data";

void ReadInto(TProfile& Profile, const char* Section, const char* Key, int& Value)
{
    Value = Profile.ReadInteger(Section, Key, Value);
}

// "Top", "Left", "Width", "Height", in this order; a missing key keeps the
// value Bounds has.
void ReadBounds(TProfile& Profile, const char* Section, TBounds& Bounds)
{
    ReadInto(Profile, Section, "Top", Bounds.Top);
    ReadInto(Profile, Section, "Left", Bounds.Left);
    ReadInto(Profile, Section, "Width", Bounds.Width);
    ReadInto(Profile, Section, "Height", Bounds.Height);
}

void WriteBounds(TProfile& Profile, const char* Section, const TBounds& Bounds, bool WithSize)
{
    Profile.WriteInteger(Section, "Top", Bounds.Top);
    Profile.WriteInteger(Section, "Left", Bounds.Left);
    if (WithSize) {
        Profile.WriteInteger(Section, "Width", Bounds.Width);
        Profile.WriteInteger(Section, "Height", Bounds.Height);
    }
}

}  // namespace

void LoadSettings(TProfile& Profile, TSettings& Settings)
{
    ReadBounds(Profile, WindowSection, Settings.Window);
    // The dialog's size is read, should someone have stored one, but the
    // program never writes it.
    ReadBounds(Profile, CalcSection, Settings.WindowCalc);
    ReadBounds(Profile, LegendSection, Settings.WindowLegend);
    Settings.LegendVisible = Profile.ReadBool(LegendSection, "Visible", Settings.LegendVisible);
    ReadInto(Profile, PercentSection, "Top", Settings.PercentTop);
    ReadInto(Profile, PercentSection, "Left", Settings.PercentLeft);
    ReadInto(Profile, BlowSection, "Top", Settings.BlowTop);
    ReadInto(Profile, BlowSection, "Left", Settings.BlowLeft);
    // A blank name names no file: the parameters could be neither read from
    // it nor saved to it at the end, so the current file stays.
    std::string FileName = Profile.ReadString(DataSection, "FileName", Settings.FileName);
    if (!FileName.empty())
        Settings.FileName = std::move(FileName);
}

void SaveSettings(TProfile& Profile, const TSettings& Settings, bool HasCalc, bool HasLegend)
{
    WriteBounds(Profile, WindowSection, Settings.Window, true);
    if (HasCalc)
        WriteBounds(Profile, CalcSection, Settings.WindowCalc, false);
    if (HasLegend) {
        WriteBounds(Profile, LegendSection, Settings.WindowLegend, true);
        Profile.WriteBool(LegendSection, "Visible", Settings.LegendVisible);
    }
    Profile.WriteInteger(PercentSection, "Top", Settings.PercentTop);
    Profile.WriteInteger(PercentSection, "Left", Settings.PercentLeft);
    Profile.WriteString(DataSection, "FileName", Settings.FileName);
}
