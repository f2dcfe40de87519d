#include "controls/Buttons.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <qdrawutil.h>

#include <algorithm>
#include <utility>

// ---------------------------------------------------------------------------
// Beep

namespace {
std::function<void()>& Beep_Hook()
{
    static std::function<void()> Hook;
    return Hook;
}
}  // namespace

void Default_Beep()
{
    if (Beep_Hook())
        Beep_Hook()();
    else
        QApplication::beep();
}

std::function<void()> Set_Beep_Hook(std::function<void()> Hook)
{
    return std::exchange(Beep_Hook(), std::move(Hook));
}

// ---------------------------------------------------------------------------
// Glyphs: strips of equal frames side by side, painted once and cached.

namespace {
struct TGlyph_Strip {
    QPixmap Strip;
    int Count = 0;
};

using TFrame_Painter = std::function<void(QPainter&, const QColor& Main, bool Enabled)>;

QPixmap Paint_Strip(int W, int H, int Count, const TFrame_Painter& Paint_Frame)
{
    QPixmap Strip(W * Count, H);
    Strip.fill(Qt::transparent);
    QPainter P(&Strip);
    P.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < Count; ++i) {
        P.save();
        P.translate(i * W, 0);
        const bool Enabled = i == 0;
        Paint_Frame(P, Enabled ? QColor() : QColor(128, 128, 128), Enabled);
        P.restore();
    }
    return Strip;
}

// Colour of a glyph part: its own colour when enabled, grey otherwise.
QColor Part(const QColor& Own, const QColor& Disabled)
{
    return Disabled.isValid() ? Disabled : Own;
}

void Paint_Arrow(QPainter& P, bool Up, const QColor& Grey)
{
    QPainterPath Path;
    if (Up) {
        Path.moveTo(0, 4);
        Path.lineTo(7, 4);
        Path.lineTo(3.5, 0.5);
    } else {
        Path.moveTo(0, 0);
        Path.lineTo(7, 0);
        Path.lineTo(3.5, 3.5);
    }
    Path.closeSubpath();
    P.fillPath(Path, Part(Qt::black, Grey));
}

void Paint_Calculator(QPainter& P, const QColor& Grey)
{
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setPen(Part(QColor(40, 40, 40), Grey));
    P.setBrush(Part(QColor(230, 230, 230), Grey.isValid() ? QColor(220, 220, 220) : QColor()));
    P.drawRect(0, 0, 9, 11);
    P.fillRect(2, 2, 6, 2, Part(QColor(0, 120, 0), Grey));
    for (int Row = 0; Row < 3; ++Row)
        for (int Col = 0; Col < 3; ++Col)
            P.fillRect(2 + Col * 2, 5 + Row * 2, 1, 1, Part(Qt::black, Grey));
}

void Paint_Check(QPainter& P, const QColor& Grey, double Dx)
{
    QPen Pen(Part(QColor(0, 128, 0), Grey), 2.2);
    Pen.setCapStyle(Qt::RoundCap);
    Pen.setJoinStyle(Qt::RoundJoin);
    P.setPen(Pen);
    const QPointF Points[] = {{2.5 + Dx, 8.5}, {6 + Dx, 12}, {13.5 + Dx, 3.5}};
    P.drawPolyline(Points, 3);
}

void Paint_Cross(QPainter& P, const QColor& Colour)
{
    QPen Pen(Colour, 2.4);
    Pen.setCapStyle(Qt::RoundCap);
    P.setPen(Pen);
    P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void Paint_Letter(QPainter& P, const QColor& Colour, const QString& Text)
{
    QFont Font = P.font();
    Font.setPixelSize(14);
    Font.setBold(true);
    P.setFont(Font);
    P.setPen(Colour);
    P.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, Text);
}

TFrame_Painter Kind_Painter(const QString& Name)
{
    if (Name == "BCOK" || Name == "BCYES")
        return [](QPainter& P, const QColor& Grey, bool) { Paint_Check(P, Grey, 0); };
    if (Name == "BCALL")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.scale(0.8, 1.0);
            Paint_Check(P, Grey, -1);
            Paint_Check(P, Grey, 5);
        };
    if (Name == "BCCANCEL")
        return [](QPainter& P, const QColor& Grey, bool) { Paint_Cross(P, Part(QColor(200, 0, 0), Grey)); };
    if (Name == "BCNO")
        return [](QPainter& P, const QColor& Grey, bool) {
            QPen Pen(Part(QColor(200, 0, 0), Grey), 2.0);
            P.setPen(Pen);
            P.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            P.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
        };
    if (Name == "BCHELP")
        return [](QPainter& P, const QColor& Grey, bool) { Paint_Letter(P, Part(QColor(0, 0, 160), Grey), "?"); };
    if (Name == "BCIGNORE")
        return [](QPainter& P, const QColor& Grey, bool) { Paint_Letter(P, Part(QColor(0, 0, 160), Grey), "!"); };
    if (Name == "BCCLOSE")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.setRenderHint(QPainter::Antialiasing, false);
            P.setPen(Part(QColor(0, 96, 96), Grey));
            P.setBrush(Part(QColor(0, 160, 160), Grey));
            P.drawRect(4, 1, 8, 13);
            P.fillRect(10, 7, 1, 2, Part(Qt::yellow, Grey.isValid() ? Qt::white : QColor()));
        };
    if (Name == "BCABORT")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.setPen(Qt::NoPen);
            P.setBrush(Part(QColor(200, 0, 0), Grey));
            P.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            Paint_Cross(P, Qt::white);
        };
    if (Name == "BCRETRY")
        return [](QPainter& P, const QColor& Grey, bool) {
            const QColor C = Part(QColor(0, 128, 0), Grey);
            QPen Pen(C, 2.0);
            P.setPen(Pen);
            P.drawArc(QRectF(2.5, 2.5, 11, 11), 90 * 16, 270 * 16);
            QPainterPath Head;
            Head.moveTo(8, 0);
            Head.lineTo(12, 2.5);
            Head.lineTo(8, 5.5);
            Head.closeSubpath();
            P.fillPath(Head, C);
        };
    return {};
}

const TGlyph_Strip& Glyph_Cache(const QString& Name)
{
    static QHash<QString, TGlyph_Strip> Cache;
    auto It = Cache.find(Name);
    if (It != Cache.end())
        return *It;
    TGlyph_Strip Entry;
    if (Name == "Spin_Up" || Name == "Spin_Down") {
        const bool Up = Name == "Spin_Up";
        Entry.Strip = Paint_Strip(7, 4, 2, [Up](QPainter& P, const QColor& Grey, bool) {
            P.setRenderHint(QPainter::Antialiasing, false);
            Paint_Arrow(P, Up, Grey);
        });
        Entry.Count = 2;
    } else if (Name == "CALCULATE") {
        Entry.Strip = Paint_Strip(10, 12, 2, [](QPainter& P, const QColor& Grey, bool) {
            Paint_Calculator(P, Grey);
        });
        Entry.Count = 2;
    } else if (TFrame_Painter Painter = Kind_Painter(Name)) {
        Entry.Strip = Paint_Strip(16, 16, 2, Painter);
        Entry.Count = 2;
    }
    return *Cache.insert(Name, Entry);
}
}  // namespace

QPixmap Zo_Glyph(const QString& Name) { return Glyph_Cache(Name).Strip; }

int Zo_Glyph_Count(const QString& Name) { return Glyph_Cache(Name).Count; }

QIcon Glyph_Icon(const QPixmap& Strip, int NumGlyphs)
{
    QIcon Icon;
    if (Strip.isNull())
        return Icon;
    const int Count = std::max(1, NumGlyphs);
    const int W = Strip.width() / Count;
    if (W < 1)
        return Icon;
    Icon.addPixmap(Strip.copy(0, 0, W, Strip.height()), QIcon::Normal);
    if (Count >= 2)
        Icon.addPixmap(Strip.copy(W, 0, W, Strip.height()), QIcon::Disabled);
    return Icon;
}

namespace {
QSize Frame_Size(const QPixmap& Strip, int NumGlyphs)
{
    if (Strip.isNull())
        return {};
    return {Strip.width() / std::max(1, NumGlyphs), Strip.height()};
}

// A press on a button of a spin or edit button control: the control named as
// focus target takes the focus; without one the control itself does when it
// is a tab stop.
void Focus_After_Press(QWidget* Self, QWidget* Focus_Control)
{
    if (Focus_Control) {
        if (Focus_Control->isEnabled() && Focus_Control->focusPolicy() != Qt::NoFocus
            && Focus_Control->isVisible() && !Focus_Control->hasFocus())
            Focus_Control->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (Self->focusPolicy() != Qt::NoFocus && !Self->hasFocus())
        Self->setFocus(Qt::MouseFocusReason);
}
}  // namespace

// ---------------------------------------------------------------------------
// TTimer_Button

TTimer_Button::TTimer_Button(QWidget* Parent) : QToolButton(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeatDelay(Repeat_Delay);
    setAutoRepeatInterval(Repeat_Interval);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TTimer_Button::Set_Options(int Value)
{
    FOptions = Value;
    setAutoRepeat((Value & Opt_Repeat) != 0);
    update();
}

void TTimer_Button::Set_Focus_Shown(bool Value)
{
    if (FFocus_Shown == Value)
        return;
    FFocus_Shown = Value;
    update();
}

void TTimer_Button::paintEvent(QPaintEvent* Event)
{
    QToolButton::paintEvent(Event);
    if (!(FOptions & Opt_Focus_Rect) || !FFocus_Shown)
        return;
    QStylePainter P(this);
    QStyleOptionFocusRect Option;
    Option.initFrom(this);
    Option.rect = rect().adjusted(3, 3, -3, -3);
    if (isDown())
        Option.rect.translate(1, 1);
    P.drawPrimitive(QStyle::PE_FrameFocusRect, Option);
}

// ---------------------------------------------------------------------------
// TSpin_Buttons

TSpin_Buttons::TSpin_Buttons(QWidget* Parent)
    : QWidget(Parent), FUp(new TTimer_Button(this)), FDown(new TTimer_Button(this)), FFocused(FUp)
{
    setMinimumWidth(15);
    setFocusPolicy(Qt::StrongFocus);
    for (TTimer_Button* Half : {FUp, FDown}) {
        Half->Set_Options(TTimer_Button::Opt_Focus_Rect | TTimer_Button::Opt_Repeat);
        connect(Half, &QAbstractButton::pressed, this, [this, Half] { Half_Pressed(Half); });
    }
    Set_Up_Glyph(Zo_Glyph("Spin_Up"), Zo_Glyph_Count("Spin_Up"));
    Set_Down_Glyph(Zo_Glyph("Spin_Down"), Zo_Glyph_Count("Spin_Down"));
    connect(FUp, &QAbstractButton::clicked, this, [this] {
        if (OnUpClick)
            OnUpClick(this);
    });
    connect(FDown, &QAbstractButton::clicked, this, [this] {
        if (OnDownClick)
            OnDownClick(this);
    });
    resize(19, 25);
    Lay_Out();
}

void TSpin_Buttons::Set_Up_Glyph(const QPixmap& Strip, int NumGlyphs)
{
    FUp->setIcon(Glyph_Icon(Strip, NumGlyphs));
    FUp->setIconSize(Frame_Size(Strip, NumGlyphs));
}

void TSpin_Buttons::Set_Down_Glyph(const QPixmap& Strip, int NumGlyphs)
{
    FDown->setIcon(Glyph_Icon(Strip, NumGlyphs));
    FDown->setIconSize(Frame_Size(Strip, NumGlyphs));
}

bool TSpin_Buttons::Enabled_Up() const { return isEnabled() && FUp->isEnabled(); }

bool TSpin_Buttons::Enabled_Down() const { return isEnabled() && FDown->isEnabled(); }

void TSpin_Buttons::Set_Enabled_Up(bool Value)
{
    if (isEnabled())
        FUp->setEnabled(Value);
}

void TSpin_Buttons::Set_Enabled_Down(bool Value)
{
    if (isEnabled())
        FDown->setEnabled(Value);
}

void TSpin_Buttons::Set_TabStop(bool Value)
{
    setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
}

void TSpin_Buttons::Lay_Out()
{
    const int W = std::max(width(), 15);
    const int H = height();
    FUp->setGeometry(0, 0, W, H / 2 + 1);
    FDown->setGeometry(0, H / 2, W, H - H / 2);
}

void TSpin_Buttons::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Lay_Out();
}

void TSpin_Buttons::Half_Pressed(TTimer_Button* Half)
{
    Set_Focused(Half);
    Focus_After_Press(this, FFocusControl);
}

void TSpin_Buttons::Set_Focused(TTimer_Button* Half)
{
    if (FFocused == Half)
        return;
    const bool Shown = FFocused->Focus_Shown();
    FFocused->Set_Focus_Shown(false);
    FFocused = Half;
    FFocused->Set_Focus_Shown(Shown);
}

void TSpin_Buttons::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Space:
        FFocused->click();
        break;
    case Qt::Key_Up:
        Set_Focused(FUp);
        FUp->click();
        break;
    case Qt::Key_Down:
        Set_Focused(FDown);
        FDown->click();
        break;
    default:
        QWidget::keyPressEvent(Event);
        return;
    }
    Event->accept();
}

void TSpin_Buttons::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    FFocused->Set_Focus_Shown(true);
}

void TSpin_Buttons::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    FFocused->Set_Focus_Shown(false);
}

void TSpin_Buttons::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    // Enabling the control enables both halves again.
    if (Event->type() == QEvent::EnabledChange && isEnabled()) {
        FUp->setEnabled(true);
        FDown->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------
// TEdit_Button

TEdit_Button::TEdit_Button(QWidget* Parent) : QWidget(Parent), FButton(new TTimer_Button(this))
{
    setMinimumWidth(15);
    connect(FButton, &QAbstractButton::pressed, this, [this] { Focus_After_Press(this, FFocusControl); });
    connect(FButton, &QAbstractButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
    resize(19, 25);
}

void TEdit_Button::Set_Glyph(const QPixmap& Strip)
{
    FGlyph = Strip;
    FButton->setIcon(Glyph_Icon(FGlyph, FNumGlyphs));
    FButton->setIconSize(Frame_Size(FGlyph, FNumGlyphs));
}

void TEdit_Button::Set_NumGlyphs(int Value)
{
    FNumGlyphs = std::max(1, Value);
    Set_Glyph(FGlyph);
}

void TEdit_Button::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    FButton->setGeometry(0, 0, std::max(width(), 15), height());
}

// ---------------------------------------------------------------------------
// TCustom_Edit

TCustom_Edit::TCustom_Edit(QWidget* Parent) : QLineEdit(Parent) {}

void TCustom_Edit::focusInEvent(QFocusEvent* Event)
{
    QLineEdit::focusInEvent(Event);
    if (OnEnter)
        OnEnter();
}

void TCustom_Edit::focusOutEvent(QFocusEvent* Event)
{
    QLineEdit::focusOutEvent(Event);
    if (OnExit)
        OnExit();
}

void TCustom_Edit::keyPressEvent(QKeyEvent* Event)
{
    if (OnKeyDown && OnKeyDown(Event)) {
        Event->accept();
        return;
    }
    QLineEdit::keyPressEvent(Event);
}

// ---------------------------------------------------------------------------
// TBtn_Clr

TBtn_Clr::TKind_Info TBtn_Clr::Kind_Info(TBitBtnKind Kind)
{
    switch (Kind) {
    case TBitBtnKind::bkCustom: return {"", "", 0};
    case TBitBtnKind::bkOK: return {"OK", "BCOK", 1};
    case TBitBtnKind::bkCancel: return {"&Отмена", "BCCANCEL", 2};
    case TBitBtnKind::bkHelp: return {"&Помощь", "BCHELP", 0};
    case TBitBtnKind::bkYes: return {"&Да", "BCYES", 6};
    case TBitBtnKind::bkNo: return {"&Нет", "BCNO", 7};
    case TBitBtnKind::bkClose: return {"&Закрыть", "BCCLOSE", 0};
    case TBitBtnKind::bkAbort: return {"&Прервать", "BCABORT", 3};
    case TBitBtnKind::bkRetry: return {"&Повтор", "BCRETRY", 4};
    case TBitBtnKind::bkIgnore: return {"&Игнорировать", "BCIGNORE", 5};
    case TBitBtnKind::bkAll: return {"&Все", "BCALL", 8};
    }
    return {"", "", 0};
}

TBtn_Clr::TBtn_Clr(QWidget* Parent) : QPushButton(Parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { Clicked(); });
    resize(75, 25);
}

void TBtn_Clr::Set_Color(const QColor& Value)
{
    FColor = Value;
    update();
}

void TBtn_Clr::Set_Color_Down(const QColor& Value)
{
    FColor_Down = Value;
    update();
}

QColor TBtn_Clr::Face_Color(bool Down) const
{
    const QColor& Own = Down ? FColor_Down : FColor;
    return Own.isValid() ? Own : palette().color(QPalette::Button);
}

void TBtn_Clr::Set_Kind(TBitBtnKind Value)
{
    FKind = Value;
    if (Value == TBitBtnKind::bkCustom)
        return;
    const TKind_Info Info = Kind_Info(Value);
    setText(QString::fromUtf8(Info.Caption));
    FGlyph_Name = QString::fromLatin1(Info.Glyph_Name);
    FNumGlyphs = std::max(1, Zo_Glyph_Count(FGlyph_Name));
    FGlyph = Zo_Glyph(FGlyph_Name);
    FModalResult = Info.Modal_Result;
    updateGeometry();
    update();
}

void TBtn_Clr::Set_Glyph(const QPixmap& Strip)
{
    FGlyph = Strip;
    FGlyph_Name.clear();
    updateGeometry();
    update();
}

void TBtn_Clr::Set_NumGlyphs(int Value)
{
    FNumGlyphs = std::max(1, Value);
    update();
}

void TBtn_Clr::Set_Layout(TButtonLayout Value)
{
    FLayout = Value;
    update();
}

void TBtn_Clr::Set_Margin(int Value)
{
    FMargin = Value;
    update();
}

void TBtn_Clr::Set_Spacing(int Value)
{
    FSpacing = Value;
    update();
}

void TBtn_Clr::Set_Cancel(bool Value)
{
    FCancel = Value;
    if (Value && !FCancel_Shortcut) {
        FCancel_Shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        FCancel_Shortcut->setContext(Qt::WindowShortcut);
        connect(FCancel_Shortcut, &QShortcut::activated, this, [this] {
            if (isEnabled() && isVisible())
                click();
        });
    } else if (!Value && FCancel_Shortcut) {
        delete FCancel_Shortcut;
        FCancel_Shortcut = nullptr;
    }
}

void TBtn_Clr::Clicked()
{
    if (FModalResult == 0)
        return;
    if (auto* Dialog = qobject_cast<QDialog*>(window()))
        Dialog->done(FModalResult);
}

QPixmap TBtn_Clr::Glyph_Frame() const
{
    if (FGlyph.isNull())
        return {};
    const QSize Size = Frame_Size(FGlyph, FNumGlyphs);
    const int Index = (!isEnabled() && FNumGlyphs >= 2) ? 1 : 0;
    return FGlyph.copy(Index * Size.width(), 0, Size.width(), Size.height());
}

QSize TBtn_Clr::sizeHint() const
{
    const QSize Text = fontMetrics().size(Qt::TextShowMnemonic, text());
    const QSize Glyph = Frame_Size(FGlyph, FNumGlyphs);
    const int Gap = (!Glyph.isEmpty() && !text().isEmpty()) ? std::max(0, FSpacing) : 0;
    const bool Horizontal = FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const int W = Horizontal ? Glyph.width() + Gap + Text.width() : std::max(Glyph.width(), Text.width());
    const int H = Horizontal ? std::max(Glyph.height(), Text.height()) : Glyph.height() + Gap + Text.height();
    return {std::max(75, W + 16), std::max(25, H + 8)};
}

void TBtn_Clr::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    const bool Down = isDown() || isChecked();
    const QColor Face = Face_Color(Down);
    QRect R = rect();
    if (isDefault() && isEnabled()) {
        P.setPen(palette().color(QPalette::Shadow));
        P.drawRect(R.adjusted(0, 0, -1, -1));
        R.adjust(1, 1, -1, -1);
    }
    const QBrush Fill(Face);
    qDrawWinButton(&P, R, palette(), Down, &Fill);

    // Glyph and caption as one block, placed by layout, margin and spacing.
    const QPixmap Glyph = Glyph_Frame();
    const QString Text = text();
    const QSize Text_Size = fontMetrics().size(Qt::TextShowMnemonic, Text);
    const QSize Glyph_Size = Glyph.isNull() ? QSize(0, 0) : Glyph.size();
    const bool Both = !Glyph.isNull() && !Text.isEmpty();
    const bool Horizontal = FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const QRect Content = R.adjusted(4, 4, -4, -4).translated(Down ? QPoint(1, 1) : QPoint(0, 0));

    int Gap = Both ? std::max(0, FSpacing) : 0;
    const int Along = Horizontal ? Content.width() : Content.height();
    const int Glyph_Along = Horizontal ? Glyph_Size.width() : Glyph_Size.height();
    const int Text_Along = Horizontal ? Text_Size.width() : Text_Size.height();
    int Start;
    if (FMargin < 0) {
        Start = (Along - (Glyph_Along + Gap + Text_Along)) / 2;
    } else {
        Start = FMargin;
        if (FSpacing < 0 && Both)  // caption centred in the room beside the glyph
            Gap = std::max(0, (Along - FMargin - Glyph_Along - Text_Along) / 2);
    }
    const bool Glyph_First = FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphTop;
    int Glyph_Pos;
    int Text_Pos;
    if (Glyph_First) {
        Glyph_Pos = Start;
        Text_Pos = Start + Glyph_Along + Gap;
    } else if (FMargin < 0) {
        Text_Pos = Start;
        Glyph_Pos = Start + Text_Along + Gap;
    } else {  // margin measured from the far edge, where the glyph is
        Glyph_Pos = Along - FMargin - Glyph_Along;
        Text_Pos = Glyph_Pos - Gap - Text_Along;
    }
    QRect Glyph_Rect;
    QRect Text_Rect;
    if (Horizontal) {
        Glyph_Rect = QRect(Content.left() + Glyph_Pos, Content.center().y() - Glyph_Size.height() / 2 + 1,
                           Glyph_Size.width(), Glyph_Size.height());
        Text_Rect = QRect(Content.left() + Text_Pos, Content.top(), Text_Size.width(), Content.height());
    } else {
        Glyph_Rect = QRect(Content.center().x() - Glyph_Size.width() / 2 + 1, Content.top() + Glyph_Pos,
                           Glyph_Size.width(), Glyph_Size.height());
        Text_Rect = QRect(Content.left(), Content.top() + Text_Pos, Content.width(), Text_Size.height());
    }
    if (!Glyph.isNull())
        P.drawPixmap(Glyph_Rect.topLeft(), Glyph);
    if (!Text.isEmpty()) {
        const int Flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!isEnabled()) {
            P.setPen(palette().color(QPalette::Light));
            P.drawText(Text_Rect.translated(1, 1), Flags, Text);
            P.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
        } else {
            P.setPen(palette().color(QPalette::ButtonText));
        }
        P.drawText(Text_Rect, Flags, Text);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect Option;
        Option.initFrom(this);
        Option.rect = R.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Option, &P, this);
    }
}
