#include "controls/ScalableEdit.h"

#include "controls/NumberEdit.h"
#include "text/FloatFormat.h"
#include "text/NumberText.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {
class TUpdating {
public:
    explicit TUpdating(bool& Flag) : FFlag(Flag), FSaved(Flag) { FFlag = true; }
    ~TUpdating() { FFlag = FSaved; }
    TUpdating(const TUpdating&) = delete;
    TUpdating& operator=(const TUpdating&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};

// Children are removed at once from the control and deleted later: the
// child may be the one whose event led here.
template <typename T> void Dispose(T*& Child)
{
    if (!Child)
        return;
    Child->disconnect();
    Child->hide();
    Child->setParent(nullptr);
    Child->deleteLater();
    Child = nullptr;
}

Qt::FocusPolicy Tab_Policy(bool TabStop)
{
    return TabStop ? Qt::StrongFocus : Qt::ClickFocus;
}
}  // namespace

TEdit_Scalable::TEdit_Scalable(QWidget* Parent) : QWidget(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(150, 21);
    {
        TUpdating Guard(FUpdating);
        Rebuild_Editor();
        UpdateUnits();
        if (FAutoHeight)
            Fit_Height();
    }
    Set_Value(0.0);
}

TEdit_Scalable::~TEdit_Scalable()
{
    if (FEdit)
        FEdit->OnChange = nullptr;
}

// ---------------------------------------------------------------------------
// Scales and conversion

void TEdit_Scalable::AddScale(const QString& Caption, const QString& Format, double AuxFactor,
                              double Factor)
{
    TOne_Scale Scale;
    Scale.Caption = Caption;
    Scale.Format = Format;
    Scale.AuxFactor = AuxFactor;
    Scale.Factor = Factor;
    FScales.push_back(Scale);
}

const TOne_Scale* TEdit_Scalable::Current_Scale() const
{
    if (FUnitsIndex >= 0 && FUnitsIndex < Scale_Count())
        return &FScales[static_cast<std::size_t>(FUnitsIndex)];
    return nullptr;
}

double TEdit_Scalable::BaseToScale(double V) const
{
    const TOne_Scale* Scale = Current_Scale();
    const double Factor = (Scale && Scale->Factor != 0.0) ? Scale->Factor : 1.0;
    const double Offset = Scale ? Scale->Offset : 0.0;
    return (V - Offset) / Factor;
}

double TEdit_Scalable::ScaleToBase(double S) const
{
    const TOne_Scale* Scale = Current_Scale();
    const double Factor = (Scale && Scale->Factor != 0.0) ? Scale->Factor : 1.0;
    const double Offset = Scale ? Scale->Offset : 0.0;
    return Offset + Factor * S;
}

QString TEdit_Scalable::FormatScaledValue(double V) const
{
    const TOne_Scale* Scale = Current_Scale();
    QString Format = Scale ? Scale->Format : QString("%g");
    if (Format.isEmpty())
        Format = "%g";
    const double Divisor = Scale ? Scale->Factor : 1.0;
    if (Divisor == 0.0)
        return "???";
    const double X = V / Divisor;
    std::optional<std::string> Text = Format_Float(Format.toStdString(), X);
    if (!Text)
        Text = Format_Float("%g", X);
    std::string S = *Text;
    if (FShowSignify && X != 0.0 && Text_Shows_Only_Zeros(S))
        S = FormatSignificant(1, 1, X);
    if (FSeparateThousands)
        S = InsertGroupSeparators(S);
    return QString::fromStdString(S);
}

void TEdit_Scalable::UpdateUnits()
{
    if (FScales.empty() && FUnitsIndex < 0) {
        Dispose(FUnits);
        FUnitsIndex = -1;
    } else {
        TUpdating Guard(FUpdating);
        if (!FUnits) {
            FUnits = New_List();
            connect(FUnits, &QComboBox::activated, this, [this] { Units_Changed(); });
            Fix_Tab_Order();
        }
        FUnits->clear();
        for (const TOne_Scale& Scale : FScales)
            FUnits->addItem(Scale.Caption);
        const int Items = FUnits->count();
        FUnits->setCurrentIndex(FUnitsIndex >= Items ? Items - 1 : std::max(FUnitsIndex, -1));
        FUnitsIndex = FUnits->currentIndex();
    }
    Lay_Out();
}

void TEdit_Scalable::SelectUnits(double Factor)
{
    if (FScales.empty())
        return;
    int Found = -1;
    double Best = 1.7e308;
    for (int i = 0; i < Scale_Count(); ++i) {
        const double Distance = std::fabs(FScales[static_cast<std::size_t>(i)].Factor - Factor);
        if (Distance < Best) {
            Best = Distance;
            Found = i;
            if (Distance == 0.0)
                break;
        }
    }
    if (Found >= 0 && Found != FUnitsIndex) {
        Rebuild_Editor();
        Set_UnitsIndex(Found);
    }
}

void TEdit_Scalable::Set_UnitsIndex(int I)
{
    if (I == FUnitsIndex)
        return;
    FUnitsIndex = I;
    if ((I >= 0 && !FUnits) || (I < 0 && FUnits)) {
        UpdateUnits();
        Lay_Out();
    }
    if (FUnits) {
        TUpdating Guard(FUpdating);
        const int Items = FUnits->count();
        FUnits->setCurrentIndex(I >= Items ? Items - 1 : std::max(I, -1));
        if (!FScales.empty())
            FUnitsIndex = FUnits->currentIndex();
    }
    TUpdating Guard(FUpdating);
    Rebuild_Editor();
    Write_Value(FValue);
}

// ---------------------------------------------------------------------------
// Value

double TEdit_Scalable::Value()
{
    // A number being typed is taken first; the field reports it through
    // Edit_Changed, which brings FValue up to date.
    if (FEdit && FEdit->Is_Typing())
        FEdit->Value();
    return FValue;
}

void TEdit_Scalable::Set_Value(double V)
{
    if (FCount < 1) {
        TUpdating Guard(FUpdating);
        Write_Value(V);
        return;
    }
    int Index = -1;
    double Best = 1e307;
    for (int i = 0; i < FCount && i < static_cast<int>(FValues.size()); ++i) {
        const double Distance = std::fabs(V - FValues[static_cast<std::size_t>(i)]);
        if (Distance < Best) {
            Best = Distance;
            Index = i;
        }
    }
    if (Index < 0)
        Index = 0;
    if (FValue_List && Index < FValue_List->count() && Index != FValue_List->currentIndex()) {
        {
            TUpdating Guard(FUpdating);
            FValue_List->setCurrentIndex(Index);
        }
        bool Saved = FUpdating;
        FUpdating = false;
        Value_List_Changed();
        FUpdating = Saved;
    }
}

// Edit mode: the value goes through the field, which may clamp it.
void TEdit_Scalable::Write_Value(double V)
{
    const double S = BaseToScale(V);
    if (FEdit) {
        FEdit->Set_Value(S);
        FValue = ScaleToBase(FEdit->Value());
    } else if (FCount < 1) {
        FValue = ScaleToBase(S);
    }
}

void TEdit_Scalable::Set_MinValue(double V)
{
    FMinValue = V;
    if (FEdit)
        FEdit->Set_MinValue(BaseToScale(V));
}

void TEdit_Scalable::Set_MaxValue(double V)
{
    FMaxValue = V;
    if (FEdit)
        FEdit->Set_MaxValue(BaseToScale(V));
}

double TEdit_Scalable::Values(int I) const
{
    if (I < 0 || I >= static_cast<int>(FValues.size()))
        return 0.0;
    return FValues[static_cast<std::size_t>(I)];
}

void TEdit_Scalable::Set_Values(int I, double V)
{
    if (I < 0 || I >= static_cast<int>(FValues.size()))
        return;
    FValues[static_cast<std::size_t>(I)] = V;
    Fill_Value_List();
}

// ---------------------------------------------------------------------------
// Children

QComboBox* TEdit_Scalable::New_List()
{
    auto* List = new QComboBox(this);
    List->setEditable(false);
    List->setMaxVisibleItems(FDropDownCount);
    List->setFocusPolicy(Tab_Policy(FChild_TabStop));
    // As high as a new number field, so that the parts line up.
    List->resize(List->width(), TEdit_Num::Default_Height);
    List->show();
    return List;
}

void TEdit_Scalable::Fix_Tab_Order()
{
    QWidget* Editor = FEdit ? static_cast<QWidget*>(FEdit) : FValue_List;
    if (Editor && FUnits)
        setTabOrder(Editor, FUnits);
}

void TEdit_Scalable::Fill_Value_List()
{
    if (!FValue_List)
        return;
    TUpdating Guard(FUpdating);
    const int Selected = FValue_List->currentIndex();
    FValue_List->clear();
    for (int i = 0; i < FCount && i < static_cast<int>(FValues.size()); ++i)
        FValue_List->addItem(FormatScaledValue(FValues[static_cast<std::size_t>(i)]));
    FValue_List->setCurrentIndex(Selected < FValue_List->count() ? Selected : -1);
}

void TEdit_Scalable::Rebuild_Editor()
{
    if (FCount < 1) {
        Dispose(FValue_List);
        if (!FEdit) {
            FEdit = new TEdit_Num(this);
            FEdit->Set_Calculator(true);
            FEdit->Set_May_Direct_Edit(FMay_Direct_Edit);
            FEdit->Set_RealNumber(true);
            FEdit->Set_SeparateThousands(FSeparateThousands);
            FEdit->Set_ShowSignify(FShowSignify);
            FEdit->Set_TabStop(FChild_TabStop);
            FEdit->OnChange = [this](QObject*) { Edit_Changed(); };
            FEdit->show();
            setFocusProxy(FEdit);
            Fix_Tab_Order();
        }
        if (Limits_On()) {
            FEdit->Set_MaxValue(BaseToScale(FMaxValue));
            FEdit->Set_MinValue(BaseToScale(FMinValue));
        } else {
            // No limits here: none in the field either.
            FEdit->Set_MaxValue(-1.0);
            FEdit->Set_MinValue(0.0);
        }
        const TOne_Scale* Scale = Current_Scale();
        FEdit->Set_Format(Scale ? Scale->Format : QString());
    } else {
        if (FEdit) {
            FEdit->OnChange = nullptr;
            setFocusProxy(nullptr);
            Dispose(FEdit);
        }
        if (!FValue_List) {
            FValue_List = New_List();
            connect(FValue_List, &QComboBox::activated, this, [this] { Value_List_Changed(); });
            setFocusProxy(FValue_List);
            Fix_Tab_Order();
        }
        if (!FValues.empty()) {
            TUpdating Guard(FUpdating);
            FValue_List->clear();
            Fill_Value_List();
        }
    }
    Lay_Out();
}

void TEdit_Scalable::Edit_Changed()
{
    if (FUpdating || !FEdit)
        return;
    {
        TUpdating Guard(FUpdating);
        FValue = ScaleToBase(FEdit->Stored_Value());
    }
    if (OnChangeValue)
        OnChangeValue(this);
}

void TEdit_Scalable::Value_List_Changed()
{
    if (FUpdating || !FValue_List)
        return;
    {
        TUpdating Guard(FUpdating);
        int Position = 1;
        const std::string Number = ExtractReal(FValue_List->currentText().toStdString(), Position);
        double X = 0.0;
        bool Found = false;
        if (!Number.empty()) {
            const auto Result = std::from_chars(Number.data(), Number.data() + Number.size(), X);
            Found = Result.ec == std::errc() && std::isfinite(X);
        }
        FValue = Found ? ScaleToBase(X) : 0.0;
    }
    if (OnChangeValue)
        OnChangeValue(this);
}

void TEdit_Scalable::Units_Changed()
{
    if (FUpdating || !FUnits || FUnits->currentIndex() == FUnitsIndex)
        return;
    {
        TUpdating Guard(FUpdating);
        FUnitsIndex = FUnits->currentIndex();
        Rebuild_Editor();
        Write_Value(FValue);
    }
    if (OnChangeUnits)
        OnChangeUnits(this);
}

// ---------------------------------------------------------------------------
// Properties

void TEdit_Scalable::Set_Count(int N)
{
    if (N == FCount)
        return;
    const bool Was_List = FCount >= 1;
    if (N < 1) {
        FValues.clear();
        Dispose(FValue_List);
    } else {
        if (FEdit) {
            FEdit->OnChange = nullptr;
            setFocusProxy(nullptr);
            Dispose(FEdit);
        }
        FValues.resize(static_cast<std::size_t>(N), 0.0);
    }
    FCount = N;
    if (Was_List != (N >= 1))
        Rebuild_Editor();
    else
        Fill_Value_List();
    Lay_Out();
}

void TEdit_Scalable::Set_Caption(const QString& V)
{
    if (V == FCaption)
        return;
    FCaption = V;
    if (!V.isEmpty()) {
        if (!FLabel) {
            FLabel = new QLabel(this);
            FLabel->show();
        }
        FLabel->setText(V);
    } else {
        Dispose(FLabel);
    }
    if (FAutoHeight)
        Fit_Height();
    else
        Lay_Out();
}

void TEdit_Scalable::Set_CaptionLayout(int V)
{
    if (V == FCaptionLayout)
        return;
    FCaptionLayout = V;
    if (FLabel)
        FLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (FAutoHeight)
        Fit_Height();
    else
        Lay_Out();
}

void TEdit_Scalable::Set_DropDownCount(int V)
{
    if (V <= 0 || V == FDropDownCount)
        return;
    FDropDownCount = V;
    for (QComboBox* List : {FValue_List, FUnits})
        if (List)
            List->setMaxVisibleItems(V);
}

void TEdit_Scalable::Set_May_Direct_Edit(bool V)
{
    if (V == FMay_Direct_Edit)
        return;
    FMay_Direct_Edit = V;
    if (FEdit)
        FEdit->Set_May_Direct_Edit(V);
}

void TEdit_Scalable::Set_MaxEditWidth(int V)
{
    if (V == FMaxEditWidth)
        return;
    FMaxEditWidth = V;
    Lay_Out();
}

void TEdit_Scalable::Set_SeparateThousands(bool V)
{
    if (V == FSeparateThousands)
        return;
    FSeparateThousands = V;
    if (FEdit)
        FEdit->Set_SeparateThousands(V);
}

void TEdit_Scalable::Set_ShowSignify(bool V)
{
    if (V == FShowSignify)
        return;
    FShowSignify = V;
    if (FEdit)
        FEdit->Set_ShowSignify(V);
}

void TEdit_Scalable::Set_TabStop(bool V)
{
    if (FEdit)
        FEdit->Set_TabStop(V);
    for (QComboBox* List : {FValue_List, FUnits})
        if (List)
            List->setFocusPolicy(Tab_Policy(V));
}

void TEdit_Scalable::Set_UnitsWidth(int V)
{
    if (V == FUnitsWidth)
        return;
    FUnitsWidth = V;
    Lay_Out();
}

void TEdit_Scalable::Assign(const TEdit_Scalable* Source)
{
    if (!Source || Source == this)
        return;
    TUpdating Guard(FUpdating);
    FScales.clear();
    FValues.clear();
    FMaxValue = Source->FMaxValue;
    FMinValue = Source->FMinValue;
    for (const TOne_Scale& Scale : Source->FScales)
        AddScale(Scale.Caption, Scale.Format, Scale.AuxFactor, Scale.Factor);
    FUnitsIndex = Source->FUnitsIndex;
    Set_Count(Source->FCount);
    FValues.assign(Source->FValues.begin(), Source->FValues.end());
    FValues.resize(static_cast<std::size_t>(std::max(FCount, 0)), 0.0);
    UpdateUnits();
    Rebuild_Editor();
    if (FEdit && Source->FEdit)
        FEdit->Set_Increment(Source->FEdit->Increment());
    Lay_Out();
    if (FUnits) {
        const int Items = FUnits->count();
        FUnits->setCurrentIndex(FUnitsIndex >= Items ? Items - 1 : std::max(FUnitsIndex, -1));
    }
    FUpdating = false;
    Set_Value(Source->FValue);
}

// ---------------------------------------------------------------------------
// Layout

void TEdit_Scalable::Fit_Height()
{
    int H = 0;
    if (FUnits)
        H = std::max(H, FUnits->height());
    if (FValue_List)
        H = std::max(H, FValue_List->height());
    if (FEdit)
        H = std::max(H, FEdit->height());
    if (FLabel) {
        FLabel->adjustSize();
        if (FCaptionLayout == 1 && FLabel->height() > 0)
            H += FLabel->height() + 4;
        else
            H = std::max(H, FLabel->height());
    }
    resize(width(), H > 0 ? H : height());
    Lay_Out();
}

void TEdit_Scalable::Lay_Out(int Width, int Height)
{
    int X = 0;
    int Y = 0;
    int R = Width;
    if (FLabel) {
        FLabel->setWordWrap(false);
        FLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        FLabel->adjustSize();
        if (FCaptionLayout != 1) {
            X = FLabel->fontMetrics().horizontalAdvance(FCaption + QLatin1Char(' '));
            FLabel->move(0, (Height - FLabel->height()) / 2);
        } else {
            Y = FLabel->height() + 4;
            FLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            FLabel->setGeometry(0, 0, Width, FLabel->height());
        }
    }
    if (FUnits) {
        if (FUnitsWidth > 0)
            FUnits->resize(FUnitsWidth, FUnits->height());
        R = Width - FUnits->width();
        FUnits->move(R, Y);
    }
    QWidget* Editor = FEdit ? static_cast<QWidget*>(FEdit) : FValue_List;
    if (Editor) {
        if (FMaxEditWidth > 0 && FMaxEditWidth < R - X)
            X = R - FMaxEditWidth;
        Editor->setGeometry(X, Y, R - X, Editor->height());
    }
}

void TEdit_Scalable::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Lay_Out();
}
