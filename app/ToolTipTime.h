#pragma once
// Tool tips of the whole program stay visible for a fixed time.

#include <QObject>

class TToolTip_Time : public QObject {
public:
    explicit TToolTip_Time(int Milliseconds, QObject* Parent = nullptr);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    int FMilliseconds;
};
