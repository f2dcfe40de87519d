#pragma once
// The edit box inside the number field.

#include <QLineEdit>

#include <functional>

class QKeyEvent;

// The plain single-line edit box of the number field. Its owner listens
// through the hooks; OnKeyDown returns true when it consumed the key.
class TCustom_Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustom_Edit(QWidget* Parent = nullptr);

    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    std::function<bool(QKeyEvent*)> OnKeyDown;

protected:
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
};
