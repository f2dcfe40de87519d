#include "text/EditorSettings.h"

#include "text/Profile.h"

namespace {

struct TIntegerKey {
    const char* Name;
    int TEditorSettings::*Field;
};

constexpr TIntegerKey Window_Keys[] = {{"WindowLeft", &TEditorSettings::WindowLeft},
                                       {"WindowTop", &TEditorSettings::WindowTop},
                                       {"WindowWidth", &TEditorSettings::WindowWidth},
                                       {"WindowHeight", &TEditorSettings::WindowHeight}};
constexpr TIntegerKey Font_Keys[] = {{"FontSize", &TEditorSettings::FontSize},
                                     {"FontCharset", &TEditorSettings::FontCharset}};

bool Blank(const std::string& S)
{
    return S.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

void LoadEditorSettings(TProfile& Profile, TEditorSettings& Settings)
{
    for (const TIntegerKey& Key : Window_Keys)
        Settings.*Key.Field = Profile.ReadInteger(EditorSection, Key.Name, Settings.*Key.Field);
    const std::string Name = Profile.ReadString(EditorSection, "FontName", Settings.FontName);
    if (!Blank(Name))
        Settings.FontName = Name;
    for (const TIntegerKey& Key : Font_Keys)
        Settings.*Key.Field = Profile.ReadInteger(EditorSection, Key.Name, Settings.*Key.Field);
}

void SaveEditorSettings(TProfile& Profile, const TEditorSettings& Settings)
{
    for (const TIntegerKey& Key : Window_Keys)
        Profile.WriteInteger(EditorSection, Key.Name, Settings.*Key.Field);
    Profile.WriteString(EditorSection, "FontName", Settings.FontName);
    for (const TIntegerKey& Key : Font_Keys)
        Profile.WriteInteger(EditorSection, Key.Name, Settings.*Key.Field);
}
