#pragma once
// How long work and messages of the engine reach the user. The engine, the
// report and the chart never talk to a toolkit: the desktop program hands
// them a link to its progress window and message dialog, the batch tool one
// that writes to standard error, the tests a scripted fake.

#include <memory>
#include <string>

// One open progress window. Freed by the code that opened it.
class TProgress {
public:
    virtual ~TProgress() = default;
    // Shows Position of Total. Implementations repaint (and let pending user
    // input through) only when the shown value, in hundredths of a percent, changes.
    virtual void Percent_Set(int Position, int Total) = 0;
    // True once the window's Cancel button has been pressed.
    virtual bool Percent_Cancelled() = 0;
};

class TUserLink {
public:
    virtual ~TUserLink() = default;
    // A progress window with Caption. Where it opens is the link's business:
    // the desktop program's link opens every progress window where the last
    // one was left, so that the calculation and the report share one place.
    virtual std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) = 0;
    virtual void Dialog_Error(const std::string& Text) = 0;    // shows Text + "!"
    virtual void Dialog_Warning(const std::string& Text) = 0;  // shows Text + "!"
};

// A progress window that shows nothing and is never cancelled.
std::unique_ptr<TProgress> SilentProgress();

// The progress window of a run or a report: the current link's window for
// Caption, or a silent one when the link gives none.
std::unique_ptr<TProgress> OpenProgress(const std::string& Caption);

// The link the engine uses now on this thread. Until one is set it is a link that writes
// messages to standard error and shows no progress.
TUserLink& UserLink();
// Installs Link (not owned); nullptr restores the standard-error link.
void SetUserLink(TUserLink* Link);

// The standard-error link of the batch tool: every message as shown to the
// user (Text + "!"), UTF-8, followed by a line feed; no progress output.
class TStdErrLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) override;
    void Dialog_Error(const std::string& Text) override;
    void Dialog_Warning(const std::string& Text) override;
    int ErrorCount = 0;  // Dialog_Error calls so far
};
