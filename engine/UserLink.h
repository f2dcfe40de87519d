#pragma once
// How long work and messages of the engine reach the user. The engine, the
// report and the chart never talk to a toolkit: the desktop program hands
// them a link to its progress window and message dialog, the batch tool one
// that writes to standard error, the tests a scripted fake.

#include <memory>
#include <string>

// No position or size stored; a window placed with it is centred in that direction.
inline constexpr int NotSet = -1000000;

// Remembered position of the progress window, shared by the calculation and
// the report and kept in the settings file.
extern int PercentLeft;
extern int PercentTop;

// One open progress window. Freed by the code that opened it.
class TProgress {
public:
    virtual ~TProgress() = default;
    // Shows Position of Total. Implementations repaint (and let pending user
    // input through) only when the shown value, in hundredths of a percent, changes.
    virtual void Percent_Set(int Position, int Total) = 0;
    // True once the window's Cancel button has been pressed.
    virtual bool Percent_Cancelled() = 0;
    // Window placement; NotSet centres in that direction, a width or height of
    // 0 or less keeps the size.
    virtual void Set_Window_Bounds(int Left, int Top, int Width, int Height) = 0;
    virtual void Get_Window_Bounds(int& Left, int& Top, int& Width, int& Height) = 0;
};

class TUserLink {
public:
    virtual ~TUserLink() = default;
    virtual std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) = 0;
    virtual void Dialog_Error(const std::string& Text) = 0;    // shows Text + "!"
    virtual void Dialog_Warning(const std::string& Text) = 0;  // shows Text + "!"
};

// A progress window that shows nothing and is never cancelled; it keeps the
// bounds it is given.
std::unique_ptr<TProgress> SilentProgress();

// The link the engine uses now. Until one is set it is a link that writes
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
