#pragma once
// The main window's status line: one permanent label across the status bar
// (menu hints never replace it), coloured by the validation's outcome, with a
// double-click that opens the additional parameters.

#include <QLabel>
#include <functional>

#include "case/CaseModel.h"

class TStatus_Line : public QLabel {
    Q_OBJECT
public:
    explicit TStatus_Line(QWidget* Parent = nullptr);

    // Text and colour: the window's own colour, yellow for the fill warning,
    // red for missing data.
    void Set_Status(const QString& Text, TStatus::TColour Colour = TStatus::TColour::Normal);
    TStatus::TColour Colour() const { return FColour; }
    // The background the line is painted with.
    QColor Background() const;

    std::function<void()> OnDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    // One line, or as many as the text needs at the present width.
    void Fit_Height();

    TStatus::TColour FColour = TStatus::TColour::Normal;
};
