#pragma once
// A scripted user link for tests: records every message and progress call,
// and presses Cancel on cue.

#include <memory>
#include <string>
#include <vector>

#include "engine/UserLink.h"

class TFakeLink : public TUserLink {
public:
    struct TWindow {
        std::string Caption;
        std::vector<std::pair<int, int>> Sets;  // every Percent_Set(Position, Total)
        int CancelledAsked = 0;
        bool Closed = false;
        int Index = 0;  // position in Windows
    };

    std::vector<std::string> Errors;    // texts given to Dialog_Error
    std::vector<std::string> Warnings;  // texts given to Dialog_Warning
    std::vector<std::string> Shown;     // every message as the user sees it (Text + "!")
    std::vector<std::shared_ptr<TWindow>> Windows;

    // Cancel is reported by every window opened after this many Percent_Set
    // calls in that window (-1: never).
    int CancelAfterSets = -1;
    // Windows from this index on (0: the first window opened) report Cancel
    // from the start (-1: none).
    int CancelFromWindow = -1;

    std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) override
    {
        auto W = std::make_shared<TWindow>();
        W->Caption = Caption;
        W->Index = static_cast<int>(Windows.size());
        Windows.push_back(W);
        return std::make_unique<TFakeProgress>(*this, W);
    }
    void Dialog_Error(const std::string& Text) override
    {
        Errors.push_back(Text);
        Shown.push_back(Text + "!");
    }
    void Dialog_Warning(const std::string& Text) override
    {
        Warnings.push_back(Text);
        Shown.push_back(Text + "!");
    }

private:
    class TFakeProgress : public TProgress {
    public:
        TFakeProgress(TFakeLink& Link, std::shared_ptr<TWindow> W) : Link(Link), W(std::move(W)) {}
        ~TFakeProgress() override { W->Closed = true; }
        void Percent_Set(int Position, int Total) override
        {
            W->Sets.emplace_back(Position, Total);
        }
        bool Percent_Cancelled() override
        {
            ++W->CancelledAsked;
            if (Link.CancelFromWindow >= 0 && W->Index >= Link.CancelFromWindow)
                return true;
            return Link.CancelAfterSets >= 0 &&
                   static_cast<int>(W->Sets.size()) >= Link.CancelAfterSets;
        }

    private:
        TFakeLink& Link;
        std::shared_ptr<TWindow> W;
    };
};

// Installs a fake link for the lifetime of a test scope.
class TScopedFakeLink : public TFakeLink {
public:
    TScopedFakeLink() { SetUserLink(this); }
    ~TScopedFakeLink() override { SetUserLink(nullptr); }
};
