#pragma once
// The case model: every input of one calculation case (the main window and the
// water-hammer dialog), the keys, defaults and reading rules of the parameter
// file, the configuration of every value editor (unit scales, initial scale,
// limits), input validation with the status text, and the hand-over of a case
// to the two engine objects. Standard C++ only: the batch tool works with it
// directly and the desktop program configures, loads and saves its editors
// through the same tables.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TCalc;
class TProfile;

// ---------------------------------------------------------------------------
// Step count (an integer field without scales).

inline constexpr int32_t StepsMin = 0;
inline constexpr int32_t StepsMax = 1000000;
inline constexpr int32_t StepsDefault = 100;
inline constexpr const char* StepsCaption = "Число шагов";
inline constexpr const char* StepsHint = "Количество шагов расчёта. ДОЛЖНО БЫТЬ БОЛЬШЕ 0!";

// ---------------------------------------------------------------------------
// The case.

struct TCase {
    // Section "Data": the main window.
    double Step = 0.001;  // s
    int32_t Steps = StepsDefault;
    double InitialFill = 0;    // m
    double InitialSpeed = 0;   // m/s
    double Slope = 0;          // degrees
    double Pressure = 100000;  // Pa
    double Density = 1000;     // kg/m³
    double Viscous = 0.001;    // Pa·s
    double Condens = 4.6e-10;  // 1/Pa
    double Diameter = 0.1;     // m
    double Length = 0;         // m, 0: endless pipe
    double Rough = 0.0001;     // m
    double Young = 2e11;       // Pa
    double Walls = 0.001;      // m
    int LiquidKind = 0;        // index into the liquid table
    int PipeKind = 0;          // index into the material table

    // Section "BlowData": the drive and the water-hammer dialog.
    bool MayBlow = false;       // the drive is on
    double BlowSpeed = 0;       // m/s, key "Speed"
    int BlowPipeKind = 0;       // key "PipeKind"
    double BlowDiameter = 0.1;  // m, key "Diameter"
    double BlowLength = 0;      // m, key "Length"
    double BlowSlope = 0;       // degrees, key "Slope"
    double BlowYoung = 2e11;    // Pa, key "Young"
    double BlowWalls = 0.001;   // m, key "Walls"
    int NarrowingKind = 0;      // 0 "не учитывать", 1 "резкое"
    bool MayTrunc = false;      // "Для отсечённого объёма"

    bool operator==(const TCase&) const = default;
};

// ---------------------------------------------------------------------------
// Value editors.

// One unit scale of an editor: the text in its unit list and the number of
// base units per unit of the scale.
struct TScaleDef {
    const char* Caption;
    double Factor;
};

// Number format of every scale of the program's editors: fixed notation with
// three decimals.
inline constexpr const char* EditorScaleFormat = "%.3f";

// Identifies one value editor of the program. The order is that of
// EditorDefs().
enum class TEditorId {
    // Main window.
    Time,
    Speed,
    Fill,
    Press,
    Slope,
    Dens,
    Visc,
    Cond,
    Diam,
    Length,
    Rough,
    Young,
    Walls,
    // Water-hammer dialog.
    BlowSpeed,
    BlowDiam,
    BlowLength,
    BlowSlope,
    BlowYoung,
    BlowWalls,
    // Additional parameters dialog.
    Gravity,
    Count_
};
inline constexpr int EditorCount = static_cast<int>(TEditorId::Count_);

// Configuration of one value editor. Limits and Default are in base units.
struct TEditorDef {
    TEditorId Id;
    const char* Form;               // "Form_Main", "Form_Calc" or "Form_Gravity"
    const char* Name;               // control name, e.g. "Edit_Scalable_Time"
    const char* Caption;            // caption left of the field
    const char* Hint;               // tool tip
    std::vector<TScaleDef> Scales;  // in list order
    double InitialFactor;           // SelectUnits picks the scale whose factor is nearest
    double MinValue;
    double MaxValue;
    const char* Section;   // parameter-file section; nullptr: not stored
    const char* Key;       // parameter-file key; nullptr: not stored
    double Default;        // value of a missing or empty key
    double TCase::*Field;  // where the value lives in a case; nullptr for gravity
};

// Every value editor, in TEditorId order.
const std::vector<TEditorDef>& EditorDefs();
const TEditorDef& EditorDef(TEditorId Id);

// Index of the scale SelectUnits(Def.InitialFactor) makes current: the first
// scale with the smallest distance of its factor to the initial factor.
int InitialScaleIndex(const TEditorDef& Def);
// The factor a value is converted with in the initial scale (1.0 for a scale
// factor of 0, as the editor does).
double InitialScaleFactor(const TEditorDef& Def);

// The value an editor holds after a program writes V (base units) into it
// while its initial scale is selected: the number shown is V / f, clamped to
// the editor's limits converted to the scale, and the value is read back as
// f times that number. The rounding of this round trip is part of the result
// (a stored 4.6e-10 in "1/TПа" is not necessarily 4.6e-10 afterwards).
double EditorValue(const TEditorDef& Def, double V);
double EditorValue(TEditorId Id, double V);

// A step count as the step-count field holds it: clamped to its limits.
int32_t StepsValue(int64_t Steps);
// A list index clamped to a list of Count items (below 0: 0; at or above
// Count: Count - 1).
int ClampIndex(int64_t Index, int Count);

// The choices of "Сужение утечки".
inline constexpr int NarrowingCount = 2;
const char* NarrowingName(int Index);  // "не учитывать", "резкое"; nullptr outside 0..1

// Parameter-file sections.
inline constexpr const char* DataSection = "Data";
inline constexpr const char* BlowSection = "BlowData";

// Whether a profile is a parameter file: it has a "Data" or a "BlowData"
// section (names match without regard to case), or it holds no text at all
// (TProfile::Blank(): a missing or new file, read as the defaults). Any other
// file (binary data, text of another kind, UTF-16 without a byte-order mark)
// is no case: it is neither run nor overwritten with one. A failing read
// throws TProfileError.
bool IsParameterFile(TProfile& Profile);

// What a strict reading of a parameter file finds not read as written.
//
// A number key reads as written when its whole text (blanks around it aside)
// is one decimal number: "2.5e-3", "+5", " 1.00000000000000E-0003". An empty
// text or one without a number gives the default (NotANumber); a number with
// other text before, after or inside it ("5 м", "шаг 0.5", "1 234", "5e",
// "-.5", which the reading rules take as 0.5) gives the number found
// (ExtraText). An integer or boolean key reads as written when
// TProfile::ReadInteger accepts its text (for a boolean any integer, non-zero
// meaning true); otherwise it takes its default (NotAnInteger). A value beyond
// its editor's limits (the step count's, a list's) is Clamped; the rounding
// of the editor's scale alone is no issue. A missing key is none either.
// Keys of "Data" and "BlowData" the case model does not know are UnknownKey,
// the second and later keys of the same name RepeatedKey (the first counts);
// "Top" and "Left" of "BlowData" (the water-hammer dialog's position, which
// the desktop program keeps there) are known and not checked.
struct TCaseIssue {
    enum class TKind { NotANumber, NotAnInteger, ExtraText, Clamped, UnknownKey, RepeatedKey };
    TKind Kind = TKind::UnknownKey;
    std::string Section;  // DataSection or BlowSection
    std::string Key;   // as the model names it; as the file spells it for unknown and repeated keys
    std::string Text;  // the key's text, trimmed; empty for unknown and repeated keys
    double Read = 0;   // ExtraText, Clamped: the value read from the text
    double Used = 0;   // the value the case holds (0 or 1 for a boolean)

    bool operator==(const TCaseIssue&) const = default;
};

// The issue as one line of Russian text, e.g.
// "[Data] Slope=«120»: значение 120 вне пределов, взято 90".
std::string IssueText(const TCaseIssue& Issue);

// Reads a case, key by key, in the order the program has always read them.
// Every value goes through its editor (EditorValue), the step count and the
// list indices are clamped; a list index never pulls values from the tables.
// A missing key gives its default; "MayBlow" defaults to Case.MayBlow as it
// stands before the call. A failing read throws TProfileError; the values
// read before it are already in Case.
// With Issues, also appends what is not read as written (TCaseIssue): the
// keys in reading order, then the unknown and repeated keys of "Data" and of
// "BlowData" in file order. The case read is the same either way.
void LoadCase(TProfile& Profile, TCase& Case, std::vector<TCaseIssue>* Issues = nullptr);

// Writes a case in the key order of the parameter file; "Top" and "Left" of
// "BlowData" (the water-hammer dialog's position) only when given. The
// profile's writes are committed by the caller. A failing write throws
// TProfileError.
void SaveCase(TProfile& Profile, const TCase& Case, std::optional<int> Top = std::nullopt,
              std::optional<int> Left = std::nullopt);

// ---------------------------------------------------------------------------
// Validation. DriveMode is whether the drive is switched on (the main window's
// check box checked or grayed; a case file's "MayBlow").

// Time step, density and step count are above 0.
bool CanCalculate(const TCase& Case);
// Viscosity, diameter and roughness are above 0.
bool CanFriction(const TCase& Case);
// Compressibility, diameter, Young's modulus and wall thickness are above 0.
bool CanWaveSpeed(const TCase& Case);
// Density and compressibility, the driving pipe's speed, diameter, Young's
// modulus and wall thickness, and the filled pipe's diameter are above 0.
bool CanDrive(const TCase& Case);

// The status line after validation.
struct TStatus {
    enum class TColour { Normal, Warning, Missing };
    std::string Text;
    TColour Colour = TColour::Normal;  // Warning: fill exceeds the pipe length
    bool CanRun = false;               // the run command is enabled
};
TStatus CaseStatus(const TCase& Case, bool DriveMode);

// The text under the step count: the duration of the hammer when the drive is
// on with a complete driving pipe (the step count is hidden then), else the
// duration of the whole run.
struct TPeriod {
    std::string Text;
    bool StepsVisible = true;
};
TPeriod CasePeriod(const TCase& Case, bool DriveMode);

// ---------------------------------------------------------------------------
// Running a case.

enum class TRunKind { ConstantPressure, SingleHammer, RepeatedHammer };

// Hands the case to the filled pipe (Calc) and the driving pipe (Blow) with
// SetParams and tells which kind of run the run command makes of it.
TRunKind PrepareRun(const TCase& Case, bool DriveMode, TCalc& Calc, TCalc& Blow);

// Status-line text while a run of this kind works.
const char* RunStatusText(TRunKind Kind);

// Runs the prepared calculation on Calc as the run command does: the stage
// driver in water-hammer mode, else one run at constant pressure with
// "Расчёт прерван" (a warning) when it does not succeed. BlowCalc must point
// at the driving pipe and the narrowing choice must be in force.
void RunPrepared(TCalc& Calc, TRunKind Kind);
