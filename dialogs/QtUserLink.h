#pragma once
// The desktop program's link between the engine and the user: progress in a
// TForm_Percent, messages in the message dialog. And the count of running
// jobs, by which the main window knows that work is under way (events are
// processed while it runs, so its own handlers can be reached meanwhile).

#include <QObject>
#include <memory>
#include <string>

#include "engine/UserLink.h"

// Remembered position of the progress window, shared by the calculation and
// the report and kept in the settings file: every progress window of the link
// opens there, and where it was when it closed is remembered for the next.
extern int PercentLeft;
extern int PercentTop;

class TQtUserLink : public TUserLink {
public:
    // A progress window at PercentLeft, PercentTop (centred in a direction that
    // is NotSet). While it is open a job counts as running.
    std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) override;
    void Dialog_Error(const std::string& Text) override;    // Dialog_Error of ZoDialog
    void Dialog_Warning(const std::string& Text) override;  // Dialog_Warning of ZoDialog
};

// Number of jobs running now (TJobGuard objects alive).
int Job_Running();

// Counts as a running job from construction to destruction. The main window
// holds one while a command's work runs and refuses to close or to start
// another job while Job_Running() is above 0.
class TJobGuard {
public:
    TJobGuard();
    ~TJobGuard();
    TJobGuard(const TJobGuard&) = delete;
    TJobGuard& operator=(const TJobGuard&) = delete;
};

// Tells when work starts (Running true: the first job) and ends (false: the last one).
class TJob_State : public QObject {
    Q_OBJECT
public:
    static TJob_State& Instance();
signals:
    void Running_Changed(bool Running);
};
