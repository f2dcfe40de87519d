#pragma once
// The event type through which the controls report to their owner.

#include <functional>

class QObject;

// A notify event: the control that raised it is passed as Sender.
using TNotifyEvent = std::function<void(QObject* Sender)>;
