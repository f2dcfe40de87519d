// The current user link and the standard-error link of the batch tool.

#include "engine/UserLink.h"

#include <cstdio>

namespace {

// Per thread, as the engine's other run-wide state (engine/RunGlobals.h).
thread_local TUserLink* CurrentLink = nullptr;

TStdErrLink& StdErrLink()
{
    static TStdErrLink Link;
    return Link;
}

// A progress window nobody sees; it is never cancelled.
class TSilentProgress : public TProgress {
public:
    void Percent_Set(int, int) override {}
    bool Percent_Cancelled() override { return false; }
};

void WriteMessage(const std::string& Text)
{
    const std::string Line = Text + "!\n";
    std::fwrite(Line.data(), 1, Line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

TUserLink& UserLink()
{
    return CurrentLink ? *CurrentLink : StdErrLink();
}

void SetUserLink(TUserLink* Link)
{
    CurrentLink = Link;
}

std::unique_ptr<TProgress> SilentProgress()
{
    return std::make_unique<TSilentProgress>();
}

std::unique_ptr<TProgress> OpenProgress(const std::string& Caption)
{
    std::unique_ptr<TProgress> Window = UserLink().Percent_Open(Caption);
    return Window ? std::move(Window) : SilentProgress();
}

std::unique_ptr<TProgress> TStdErrLink::Percent_Open(const std::string&)
{
    return SilentProgress();
}

void TStdErrLink::Dialog_Error(const std::string& Text)
{
    ++ErrorCount;
    WriteMessage(Text);
}

void TStdErrLink::Dialog_Warning(const std::string& Text)
{
    WriteMessage(Text);
}
