#include "dialogs/QtUserLink.h"

#include <QPointer>

#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/WindowPlace.h"

int PercentLeft = NotSet;
int PercentTop = NotSet;

namespace {

int Jobs = 0;

// One progress window seen through the engine's interface. The window is
// freed with this object, unless something freed it before.
class TQtProgress : public TProgress {
public:
    // The job counts from before the window shows: showing it already lets
    // other handlers run.
    TQtProgress(const QString& Caption, int Left, int Top)
        : Window(::Percent_Open(Caption, Left, Top))
    {}
    ~TQtProgress() override
    {
        int Width = 0, Height = 0;
        ::Get_Window_Bounds(Window.data(), PercentLeft, PercentTop, Width, Height);
        Percent_Close(Window.data());
    }

    void Percent_Set(int Position, int Total) override
    {
        ::Percent_Set(Window.data(), Position, Total);
    }
    bool Percent_Cancelled() override { return ::Percent_Cancelled(Window.data()); }

private:
    TJobGuard Job;
    QPointer<TForm_Percent> Window;
};

}  // namespace

std::unique_ptr<TProgress> TQtUserLink::Percent_Open(const std::string& Caption)
{
    return std::make_unique<TQtProgress>(QString::fromStdString(Caption), PercentLeft, PercentTop);
}

void TQtUserLink::Dialog_Error(const std::string& Text)
{
    ::Dialog_Error(QString::fromStdString(Text));
}

void TQtUserLink::Dialog_Warning(const std::string& Text)
{
    ::Dialog_Warning(QString::fromStdString(Text));
}

int Job_Running()
{
    return Jobs;
}

TJobGuard::TJobGuard()
{
    if (++Jobs == 1)
        emit TJob_State::Instance().Running_Changed(true);
}

TJobGuard::~TJobGuard()
{
    if (--Jobs == 0)
        emit TJob_State::Instance().Running_Changed(false);
}

TJob_State& TJob_State::Instance()
{
    static TJob_State State;
    return State;
}
