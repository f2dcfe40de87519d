#include "case/CaseModel.h"

#include <charconv>
#include <cmath>
#include <set>
#include <stdexcept>
#include <utility>

#include "engine/Calc.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaveSpeed.h"
#include "text/NumberText.h"
#include "text/Profile.h"
#include "text/ProfileFloat.h"
#include "text/Utf8Text.h"

namespace {

// Digits of the number texts the main window shows (step count period).
constexpr int PeriodDigits = 3;

const std::vector<TScaleDef> TimeScales = {
    {"мкс", 1e-6}, {"мс", 0.001}, {"с", 1}, {"мин", 60}, {"ч", 3600}};
const std::vector<TScaleDef> MainSpeedScales = {{"м/с", 1}};
const std::vector<TScaleDef> ShortLengthScales = {{"м", 1}, {"см", 0.01}, {"мм", 0.001}};
const std::vector<TScaleDef> LongLengthScales = {
    {"км", 1000}, {"м", 1}, {"см", 0.01}, {"мм", 0.001}};
const std::vector<TScaleDef> PressureScales = {
    {"атм", 101325}, {"кг/кв.см", 98000}, {"Па", 1}, {"кПа", 1000}, {"МПа", 1e6}};
const std::vector<TScaleDef> SlopeScales = {{"°", 1}, {"рад", 57.29577951308232}};
const std::vector<TScaleDef> DensityScales = {{"кг/куб.м", 1}, {"г/куб.см", 1000}};
const std::vector<TScaleDef> ViscosityScales = {{"кг/м·с", 1}, {"г/м·с", 0.001}, {"г/см·с", 0.1}};
// The tera unit is written with a Latin "T".
const std::vector<TScaleDef> CompressibilityScales = {
    {"1/МПа", 1e-6}, {"1/ГПа", 1e-9}, {"1/TПа", 1e-12}};
const std::vector<TScaleDef> RoughnessScales = {{"м", 1}, {"мм", 0.001}, {"мкм", 1e-6}};
const std::vector<TScaleDef> YoungScales = {{"МПа", 1e6}, {"ГПа", 1e9}};
// The gravity units are written with a Latin "c".
const std::vector<TScaleDef> GravityScales = {{"м/c2", 1}, {"см/c2", 0.01}, {"мм/c2", 0.001}};

std::vector<TEditorDef> MakeEditorDefs()
{
    using E = TEditorId;
    const char* Main = "Form_Main";
    const char* Dialog = "Form_Calc";
    std::vector<TEditorDef> D = {
        {E::Time, Main, "Edit_Scalable_Time", "Шаг расчёта",
         "Длительность одного шага расчёта. ДОЛЖНА БЫТЬ БОЛЬШЕ 0!", TimeScales, 0.001, 0, 1e6,
         DataSection, "Step", 0.001, &TCase::Step},
        {E::Speed, Main, "Edit_Scalable_Speed", "Скорость",
         "Исходная скорость потока. Может быть и положительной (внутрь трубы), и "
         "отрицательной (наружу из трубы).",
         MainSpeedScales, 1, -1e6, 1e6, DataSection, "InitialSpeed", 0, &TCase::InitialSpeed},
        {E::Fill, Main, "Edit_Scalable_Fill", "Заполнение",
         "Исходное заполнение трубы, считая от её входа. Может быть 0 (труба пустая) или "
         "положительное число. Не может быть больше длины трубы.",
         ShortLengthScales, 0.01, -1e9, 1e9, DataSection, "InitialFill", 0, &TCase::InitialFill},
        {E::Press, Main, "Edit_Scalable_Press", "Давление",
         "Давление жидкости у входа в трубу относительно давления в ещё незаполненной "
         "жидкостью трубе (не может быть отрицательным).",
         PressureScales, 100000, 0, 1e10, DataSection, "Pressure", 100000, &TCase::Pressure},
        {E::Slope, Main, "Edit_Scalable_Slope", "Уклон",
         "Уклон трубы: положительный — от входа (разгоняющий), отрицательный — ко входу "
         "(тормозящий).",
         SlopeScales, 1, -90, 90, DataSection, "Slope", 0, &TCase::Slope},
        {E::Dens, Main, "Edit_Scalable_Dens", "Уд.плотн.",
         "Удельная плотность жидкости (зависит от температуры). ДОЛЖНА БЫТЬ БОЛЬШЕ 0!",
         DensityScales, 1, 0, 1e6, DataSection, "Density", 1000, &TCase::Density},
        {E::Visc, Main, "Edit_Scalable_Visc", "Вязкость",
         "Динамическая вязкость жидкости (не может быть отрицательной, зависит от "
         "температуры).",
         ViscosityScales, 0.001, 0, 1e6, DataSection, "Viscous", 0.001, &TCase::Viscous},
        {E::Cond, Main, "Edit_Scalable_Cond", "Сжимаемость",
         "Сжимаемость жидкости (не может быть отрицательной, зависит от температуры).",
         CompressibilityScales, 1e-12, 0, 1e6, DataSection, "Condens", 4.6e-10, &TCase::Condens},
        {E::Diam, Main, "Edit_Scalable_Diam", "Диаметр",
         "Внутренний диаметр трубы (не может быть отрицательным).", ShortLengthScales, 0.01, 0, 1e6,
         DataSection, "Diameter", 0.1, &TCase::Diameter},
        {E::Length, Main, "Edit_Scalable_Length", "Длина (0-бескон.)",
         "Длина трубы от входа до выхода (до свободного излива), 0 — бесконечная труба. "
         "Не может быть меньше заполнения.",
         LongLengthScales, 1, 0, 1e6, DataSection, "Length", 0, &TCase::Length},
        {E::Rough, Main, "Edit_Scalable_Rough", "Экв.шероховат.",
         "Эквивалентная шероховатость внутренней поверхности трубы (не может быть "
         "отрицательной).",
         RoughnessScales, 1e-6, 0, 1000, DataSection, "Rough", 0.0001, &TCase::Rough},
        {E::Young, Main, "Edit_Scalable_Young", "Модуль Юнга",
         "Модуль Юнга материала трубы (модуль упругости сжатия), не может быть "
         "отрицательным!",
         YoungScales, 1e9, 0, 1e15, DataSection, "Young", 2e11, &TCase::Young},
        {E::Walls, Main, "Edit_Scalable_Walls", "Толщина стенок",
         "Толщина стенок трубы (не может быть отрицательной).", ShortLengthScales, 0.001, 0, 1e6,
         DataSection, "Walls", 0.001, &TCase::Walls},

        {E::BlowSpeed, Dialog, "Edit_Scalable_Speed", "Скорость",
         "Скорость потока в момент остановки при гидроударе. Не может быть отрицательной.",
         MainSpeedScales, 1, 0, 1e6, BlowSection, "Speed", 0, &TCase::BlowSpeed},
        {E::BlowDiam, Dialog, "Edit_Scalable_Diam", "Диаметр",
         "Внутренний диаметр разгонной трубы (не может быть отрицательным).", ShortLengthScales,
         0.01, 0, 1e6, BlowSection, "Diameter", 0.1, &TCase::BlowDiameter},
        {E::BlowLength, Dialog, "Edit_Scalable_Length", "Длина",
         "Длина разгонной трубы от входа до отбойного клапана (ограничивает длительность "
         "расчёта). 0 — расчёт без ограничения длительности.",
         LongLengthScales, 1, 0, 1e6, BlowSection, "Length", 0, &TCase::BlowLength},
        {E::BlowSlope, Dialog, "Edit_Scalable_Slope", "Уклон",
         "Уклон разгонной трубы: положительный — от входа (разгоняющий), отрицательный — "
         "ко входу (тормозящий).",
         SlopeScales, 1, -90, 90, BlowSection, "Slope", 0, &TCase::BlowSlope},
        {E::BlowYoung, Dialog, "Edit_Scalable_Young", "Модуль Юнга",
         "Модуль Юнга материала разгонной трубы (модуль упругости сжатия), не может быть "
         "отрицательным! 0 — нет ограничений на длительность расчёта.",
         YoungScales, 1e9, 0, 1e15, BlowSection, "Young", 2e11, &TCase::BlowYoung},
        {E::BlowWalls, Dialog, "Edit_Scalable_Walls", "Толщина стенок",
         "Толщина стенок разгонной трубы (не может быть отрицательной).", ShortLengthScales, 0.001,
         0, 1e6, BlowSection, "Walls", 0.001, &TCase::BlowWalls},

        {E::Gravity, "Form_Gravity", "Edit_Scalable_Gravity", "Гравитационное ускорение",
         "Суммарное ускорение всех потенциальных и центробежных сил, воздействующее на "
         "жидкость.",
         GravityScales, 1, 0, 1e6, nullptr, nullptr, 9.81, nullptr},
    };
    for (std::size_t i = 0; i < D.size(); ++i)
        if (static_cast<std::size_t>(D[i].Id) != i)
            throw std::logic_error("editor table out of order");
    return D;
}

}  // namespace

const std::vector<TEditorDef>& EditorDefs()
{
    static const std::vector<TEditorDef> Defs = MakeEditorDefs();
    return Defs;
}

const TEditorDef& EditorDef(TEditorId Id)
{
    return EditorDefs().at(static_cast<std::size_t>(Id));
}

int InitialScaleIndex(const TEditorDef& Def)
{
    // As SelectUnits: the first scale with the strictly smallest distance,
    // starting from 1.7e308, stopping at an exact match.
    int Found = -1;
    double Best = 1.7e308;
    for (std::size_t i = 0; i < Def.Scales.size(); ++i) {
        const double Distance = std::fabs(Def.Scales[i].Factor - Def.InitialFactor);
        if (Distance < Best) {
            Best = Distance;
            Found = static_cast<int>(i);
            if (Distance == 0)
                break;
        }
    }
    return Found;
}

double InitialScaleFactor(const TEditorDef& Def)
{
    const int Index = InitialScaleIndex(Def);
    if (Index < 0)
        return 1.0;
    const double Factor = Def.Scales[static_cast<std::size_t>(Index)].Factor;
    return Factor != 0.0 ? Factor : 1.0;
}

namespace {

// EditorValue; Clamped tells whether the limits changed the number shown.
double LimitedValue(const TEditorDef& Def, double V, bool& Clamped)
{
    // The editor's conversion: s = (v - offset) / factor, v = offset + factor * s,
    // with an offset of 0 in every scale of the program. The number field clamps
    // s to the limits converted the same way.
    constexpr double Offset = 0.0;
    const double Factor = InitialScaleFactor(Def);
    double S = (V - Offset) / Factor;
    Clamped = false;
    if (Def.MaxValue >= Def.MinValue) {
        const double Low = (Def.MinValue - Offset) / Factor;
        const double High = (Def.MaxValue - Offset) / Factor;
        if (High >= Low) {
            if (S < Low) {
                S = Low;
                Clamped = true;
            }
            if (S > High) {
                S = High;
                Clamped = true;
            }
        }
    }
    return Offset + Factor * S;
}

}  // namespace

double EditorValue(const TEditorDef& Def, double V)
{
    bool Clamped = false;
    return LimitedValue(Def, V, Clamped);
}

double EditorValue(TEditorId Id, double V)
{
    return EditorValue(EditorDef(Id), V);
}

int32_t StepsValue(int64_t Steps)
{
    if (Steps < StepsMin)
        return StepsMin;
    if (Steps > StepsMax)
        return StepsMax;
    return static_cast<int32_t>(Steps);
}

int ClampIndex(int64_t Index, int Count)
{
    if (Index >= Count)
        Index = static_cast<int64_t>(Count) - 1;
    if (Index < 0)
        Index = 0;
    return static_cast<int>(Index);
}

const char* NarrowingName(int Index)
{
    switch (Index) {
    case 0: return "не учитывать";
    case 1: return "резкое";
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------
// Parameter file.

namespace {

using TIssues = std::vector<TCaseIssue>*;

// Keys of the parameter file besides the editors' (EditorDefs): the integer
// and boolean keys, and the water-hammer dialog's position, which the desktop
// program writes and reads on its own.
const std::pair<const char*, const char*> OtherKeys[] = {
    {DataSection, "Steps"},    {DataSection, "LiquidKind"}, {DataSection, "PipeKind"},
    {BlowSection, "MayBlow"},  {BlowSection, "PipeKind"},   {BlowSection, "NarrowingKind"},
    {BlowSection, "MayTrunc"}, {BlowSection, "Top"},        {BlowSection, "Left"},
};

bool KnownKey(const char* Section, const std::string& Key)
{
    for (const TEditorDef& Def : EditorDefs())
        if (Def.Field && SameProfileName(Def.Section, Section) && SameProfileName(Def.Key, Key))
            return true;
    for (const auto& [S, K] : OtherKeys)
        if (SameProfileName(S, Section) && SameProfileName(K, Key))
            return true;
    return false;
}

void Note(TIssues Issues, TCaseIssue::TKind Kind, const char* Section, const std::string& Key,
          const std::string& Text, double Read, double Used)
{
    Issues->push_back({Kind, Section, Key, Text, Read, Used});
}

void ReadValue(TProfile& Profile, TCase& Case, TEditorId Id, TIssues Issues)
{
    const TEditorDef& Def = EditorDef(Id);
    const double Read = ReadFloat(Profile, Def.Section, Def.Key, Def.Default);
    bool Clamped = false;
    const double Used = LimitedValue(Def, Read, Clamped);
    Case.*Def.Field = Used;
    if (!Issues || !Profile.ValueExists(Def.Section, Def.Key))
        return;
    using K = TCaseIssue::TKind;
    const std::string Text = Profile.ReadString(Def.Section, Def.Key, "");
    if (!RealInText(Text))
        Note(Issues, K::NotANumber, Def.Section, Def.Key, Text, Read, Used);
    else if (WholeRealValue(Text) != Read)
        Note(Issues, K::ExtraText, Def.Section, Def.Key, Text, Read, Used);
    if (Clamped)
        Note(Issues, K::Clamped, Def.Section, Def.Key, Text, Read, Used);
}

// Notes the issues of an integer or boolean key that was read as Read and is
// held as Used.
void CheckInteger(TProfile& Profile, const char* Section, const char* Key, int64_t Read,
                  int64_t Used, TIssues Issues)
{
    if (!Issues || !Profile.ValueExists(Section, Key))
        return;
    using K = TCaseIssue::TKind;
    const std::string Text = Profile.ReadString(Section, Key, "");
    const auto R = static_cast<double>(Read), U = static_cast<double>(Used);
    if (!IntegerValue(Text))
        Note(Issues, K::NotAnInteger, Section, Key, Text, R, U);
    if (Read != Used)
        Note(Issues, K::Clamped, Section, Key, Text, R, U);
}

int ReadIndex(TProfile& Profile, const char* Section, const char* Key, int Count, TIssues Issues)
{
    const int Read = Profile.ReadInteger(Section, Key, 0);
    const int Used = ClampIndex(Read, Count);
    CheckInteger(Profile, Section, Key, Read, Used, Issues);
    return Used;
}

bool ReadFlag(TProfile& Profile, const char* Section, const char* Key, bool Default, TIssues Issues)
{
    const bool Used = Profile.ReadBool(Section, Key, Default);
    CheckInteger(Profile, Section, Key, Used, Used, Issues);
    return Used;
}

void CheckKeys(TProfile& Profile, const char* Section, TIssues Issues)
{
    using K = TCaseIssue::TKind;
    std::set<std::string> Seen;
    for (const std::string& Name : Profile.KeyNames(Section)) {
        if (!Seen.insert(ProfileNameKey(Name)).second)
            Note(Issues, K::RepeatedKey, Section, Name, "", 0, 0);
        else if (!KnownKey(Section, Name))
            Note(Issues, K::UnknownKey, Section, Name, "", 0, 0);
    }
}

void WriteValue(TProfile& Profile, const TCase& Case, TEditorId Id)
{
    const TEditorDef& Def = EditorDef(Id);
    WriteFloat(Profile, Def.Section, Def.Key, Case.*Def.Field);
}

// A value in the shortest text that reads back as the same double.
std::string NumberText(double X)
{
    char Text[32];
    const auto [End, Ec] = std::to_chars(Text, Text + sizeof Text, X);
    return Ec == std::errc() ? std::string(Text, End) : std::string("?");
}

// A text of the file, quoted, cut after MaxQuoted characters.
std::string QuotedText(const std::string& Text)
{
    constexpr std::size_t MaxQuoted = 40;
    if (Utf8Length(Text) <= MaxQuoted)
        return "«" + Text + "»";
    return "«" + Text.substr(0, Utf8Offset(Text, MaxQuoted)) + "…»";
}

}  // namespace

bool IsParameterFile(TProfile& Profile)
{
    return Profile.SectionExists(DataSection) || Profile.SectionExists(BlowSection) ||
           Profile.Blank();
}

std::string IssueText(const TCaseIssue& Issue)
{
    using K = TCaseIssue::TKind;
    const std::string Where = "[" + Issue.Section + "] ";
    const std::string Head = Where + Issue.Key + "=" + QuotedText(Issue.Text) + ": ";
    switch (Issue.Kind) {
    case K::NotANumber:
        return Head + "не число, взято значение по умолчанию " + NumberText(Issue.Used);
    case K::NotAnInteger:
        return Head + "не целое число, взято значение по умолчанию " + NumberText(Issue.Used);
    case K::ExtraText:
        return Head + "число с посторонним текстом, прочитано " + NumberText(Issue.Read);
    case K::Clamped:
        return Head + "значение " + NumberText(Issue.Read) + " вне пределов, взято " +
               NumberText(Issue.Used);
    case K::UnknownKey: return Where + QuotedText(Issue.Key) + ": неизвестный ключ";
    case K::RepeatedKey:
        return Where + QuotedText(Issue.Key) +
               ": повторный ключ, не учитывается (учитывается первый)";
    }
    return Where + Issue.Key;
}

void LoadCase(TProfile& Profile, TCase& Case, std::vector<TCaseIssue>* Issues)
{
    using E = TEditorId;
    ReadValue(Profile, Case, E::Time, Issues);
    const int Steps = Profile.ReadInteger(DataSection, "Steps", StepsDefault);
    Case.Steps = StepsValue(Steps);
    CheckInteger(Profile, DataSection, "Steps", Steps, Case.Steps, Issues);
    for (E Id : {E::Fill, E::Speed, E::Slope, E::Press, E::Dens, E::Diam, E::Length, E::Visc,
                 E::Cond, E::Rough, E::Young, E::Walls})
        ReadValue(Profile, Case, Id, Issues);
    Case.LiquidKind = ReadIndex(Profile, DataSection, "LiquidKind", LiquidCount, Issues);
    Case.PipeKind = ReadIndex(Profile, DataSection, "PipeKind", MaterialCount, Issues);

    ReadValue(Profile, Case, E::BlowSpeed, Issues);
    Case.BlowPipeKind = ReadIndex(Profile, BlowSection, "PipeKind", MaterialCount, Issues);
    for (E Id : {E::BlowDiam, E::BlowLength, E::BlowSlope, E::BlowYoung, E::BlowWalls})
        ReadValue(Profile, Case, Id, Issues);
    Case.NarrowingKind = ReadIndex(Profile, BlowSection, "NarrowingKind", NarrowingCount, Issues);
    Case.MayTrunc = ReadFlag(Profile, BlowSection, "MayTrunc", false, Issues);

    Case.MayBlow = ReadFlag(Profile, BlowSection, "MayBlow", Case.MayBlow, Issues);

    if (Issues) {
        CheckKeys(Profile, DataSection, Issues);
        CheckKeys(Profile, BlowSection, Issues);
    }
}

void SaveCase(TProfile& Profile, const TCase& Case, std::optional<int> Top, std::optional<int> Left)
{
    using E = TEditorId;
    WriteValue(Profile, Case, E::Time);
    Profile.WriteInteger(DataSection, "Steps", Case.Steps);
    for (E Id : {E::Fill, E::Speed, E::Slope, E::Press, E::Dens, E::Visc, E::Cond, E::Diam,
                 E::Length, E::Rough, E::Young, E::Walls})
        WriteValue(Profile, Case, Id);
    Profile.WriteInteger(DataSection, "LiquidKind", Case.LiquidKind);
    Profile.WriteInteger(DataSection, "PipeKind", Case.PipeKind);

    Profile.WriteBool(BlowSection, "MayBlow", Case.MayBlow);
    WriteValue(Profile, Case, E::BlowSpeed);
    Profile.WriteInteger(BlowSection, "PipeKind", Case.BlowPipeKind);
    for (E Id : {E::BlowDiam, E::BlowLength, E::BlowSlope, E::BlowYoung, E::BlowWalls})
        WriteValue(Profile, Case, Id);
    Profile.WriteInteger(BlowSection, "NarrowingKind", Case.NarrowingKind);
    Profile.WriteBool(BlowSection, "MayTrunc", Case.MayTrunc);
    if (Top)
        Profile.WriteInteger(BlowSection, "Top", *Top);
    if (Left)
        Profile.WriteInteger(BlowSection, "Left", *Left);
}

// ---------------------------------------------------------------------------
// Validation.

bool CanCalculate(const TCase& Case)
{
    return Case.Step > 0 && Case.Density > 0 && Case.Steps > 0;
}

bool CanFriction(const TCase& Case)
{
    return Case.Viscous > 0 && Case.Diameter > 0 && Case.Rough > 0;
}

bool CanWaveSpeed(const TCase& Case)
{
    return Case.Condens > 0 && Case.Diameter > 0 && Case.Young > 0 && Case.Walls > 0;
}

bool CanDrive(const TCase& Case)
{
    return Case.Density > 0 && Case.Condens > 0 && Case.BlowSpeed > 0 && Case.BlowDiameter > 0 &&
           Case.BlowYoung > 0 && Case.BlowWalls > 0 && Case.Diameter > 0;
}

TStatus CaseStatus(const TCase& Case, bool DriveMode)
{
    TStatus Status;
    if (CanCalculate(Case)) {
        Status.Text = " Можно выполнить расчёт ускорения ";
        Status.Text += CanFriction(Case) ? "с учётом трения" : "без учёта трения";
        if (CanWaveSpeed(Case))
            Status.Text += " и расчёт гидроудара";
        Status.Text +=
            CanDrive(Case) && DriveMode ? " под действием гидроудара" : " при постоянном давлении";
        if (Case.Length > 0 && Case.InitialFill >= Case.Length * 1.0000001) {
            Status.Colour = TStatus::TColour::Warning;
            Status.Text += " (заполнение превышает длину трубы и будет уменьшено)";
        }
        Status.Text += ".";
        Status.CanRun = true;
        return Status;
    }
    std::string List;
    auto Add = [&List](const char* Item) {
        if (!List.empty())
            List += ", ";
        List += Item;
    };
    if (!(Case.Step > 0))
        Add("шаг времени должен быть больше 0");
    if (!(Case.Steps > 0))
        Add("число шагов расчёта должно быть больше 0");
    if (!(Case.Density > 0))
        Add("плотность должна быть больше 0");
    Status.Text = " ——— Недостаточно данных для расчёта: " + List + "! ———";
    Status.Colour = TStatus::TColour::Missing;
    Status.CanRun = false;
    return Status;
}

TPeriod CasePeriod(const TCase& Case, bool DriveMode)
{
    TPeriod Period;
    if (DriveMode && Case.BlowSpeed > 0 && Case.BlowLength > 0 && Case.BlowDiameter > 0 &&
        Case.Density > 0 && Case.Condens > 0) {
        const double C = WaveSpeed(Case.Density, Case.Condens, Case.BlowDiameter, Case.BlowWalls,
                                   Case.BlowYoung);
        const double T = Case.BlowLength / C;
        Period.StepsVisible = false;
        Period.Text =
            "Длительность гидроудара " + FormatWithPrefix(PeriodDigits, " ", 2 * T, 0) + "с";
    } else {
        Period.Text =
            FormatWithPrefix(PeriodDigits, " ", static_cast<double>(Case.Steps) * Case.Step, 0) +
            "с";
    }
    return Period;
}

// ---------------------------------------------------------------------------
// Running a case.

TRunKind PrepareRun(const TCase& Case, bool DriveMode, TCalc& Calc, TCalc& Blow)
{
    Calc.SetParams(Case.Steps, Case.Step, Case.Pressure, Case.InitialSpeed, Case.InitialFill,
                   Case.Slope, Case.Density, Case.Viscous, Case.Condens, Case.Diameter, Case.Length,
                   Case.Walls, Case.Rough, Case.Young);
    const double V = DriveMode ? Case.BlowSpeed : 0;
    Blow.SetParams(Case.Steps, Case.Step, Case.Pressure, V, Case.InitialFill, Case.BlowSlope,
                   Case.Density, Case.Viscous, Case.Condens, Case.BlowDiameter, Case.BlowLength,
                   Case.BlowWalls, Case.Rough, Case.BlowYoung);
    if (V > 0 && Case.BlowLength > 0 && Case.BlowDiameter > 0 && Case.Density > 0 &&
        Case.Condens > 0)
        return Case.MayTrunc ? TRunKind::RepeatedHammer : TRunKind::SingleHammer;
    return TRunKind::ConstantPressure;
}

const char* RunStatusText(TRunKind Kind)
{
    switch (Kind) {
    case TRunKind::RepeatedHammer:
        return "Выполнение расчёта множественного гидроудара по текущему набору данных...";
    case TRunKind::SingleHammer:
        return "Выполнение расчёта одиночного гидроудара по текущему набору данных...";
    case TRunKind::ConstantPressure: break;
    }
    return "Выполнение расчёта по текущему набору данных...";
}

void RunPrepared(TCalc& Calc, TRunKind Kind)
{
    if (Kind != TRunKind::ConstantPressure) {
        Calc.RunStages(Kind == TRunKind::RepeatedHammer);
        return;
    }
    Calc.ClearStages();
    if (!Calc.Run(0))
        UserLink().Dialog_Warning("Расчёт прерван");
}
