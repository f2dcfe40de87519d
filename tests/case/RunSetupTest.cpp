// The run set-up shared by both programs: the run's globals are in force while
// the engine works and are put back afterwards, however the run ends.

#include <gtest/gtest.h>

#include <stdexcept>

#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "tests/FakeLink.h"

namespace {

// Notes what the engine would read when it opens its progress window, and can
// fail there as a broken window would.
class TObservingLink : public TFakeLink {
public:
    bool Throw = false;
    int Opened = 0;
    double SeenGravity = 0;
    int SeenNarrowing = -1;
    const TCalc* SeenBlow = nullptr;
    const TUserLink* SeenLink = nullptr;

    std::unique_ptr<TProgress> Percent_Open(const std::string& Caption) override
    {
        if (Opened++ == 0) {
            SeenGravity = Gravity;
            SeenNarrowing = NarrowingKind();
            SeenBlow = BlowCalc;
            SeenLink = &UserLink();
        }
        if (Throw)
            throw std::runtime_error("no window");
        return TFakeLink::Percent_Open(Caption);
    }
};

// Globals as a program might have left them before the run.
class TOuterGlobals {
public:
    TOuterGlobals() : SavedGravity(Gravity), SavedBlow(BlowCalc)
    {
        Gravity = 1.625;
        BlowCalc = &OuterBlow;
        SetUserLink(&OuterLink);
        SetNarrowingKindSource([] { return 1; });  // as a dialog showing "резкое"
    }
    ~TOuterGlobals()
    {
        Gravity = SavedGravity;
        BlowCalc = SavedBlow;
        SetUserLink(nullptr);
        SetNarrowingKindSource({});
    }
    void ExpectRestored() const
    {
        EXPECT_EQ(Gravity, 1.625);
        EXPECT_EQ(BlowCalc, &OuterBlow);
        EXPECT_EQ(&UserLink(), &OuterLink);
        EXPECT_EQ(NarrowingKind(), 1);
    }
    TFakeLink OuterLink;
    TCalc OuterBlow;

private:
    double SavedGravity;
    TCalc* SavedBlow;
};

TEST(RunSetup, RunSeesItsGlobalsAndTheProgramsGetTheirsBack)
{
    const struct {
        const char* Name;
        bool DriveMode;
        int Narrowing;
        double Gravity;
        bool Throw;
        TRunKind Kind;
    } Cases[] = {
        {"constant pressure", false, 0, 3.5, false, TRunKind::ConstantPressure},
        {"single hammer, sharp narrowing", true, 1, 9.81, false, TRunKind::SingleHammer},
        {"no gravity", false, 1, 0.0, false, TRunKind::ConstantPressure},
        {"the window fails", false, 1, 1e6, true, TRunKind::ConstantPressure},
        {"the window fails in a hammer", true, 1, 20.0, true, TRunKind::SingleHammer},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TOuterGlobals Outer;
        TObservingLink Link;
        Link.Throw = C.Throw;
        TCase Case;
        Case.Steps = 20;
        Case.BlowSpeed = 2;
        Case.BlowDiameter = 0.3;
        Case.BlowLength = 50;
        Case.NarrowingKind = C.Narrowing;
        TCalc Calc, Blow;

        if (C.Throw) {
            EXPECT_THROW(RunCase(Case, C.DriveMode, Calc, Blow, C.Gravity, Link),
                         std::runtime_error);
        } else {
            EXPECT_EQ(RunCase(Case, C.DriveMode, Calc, Blow, C.Gravity, Link), C.Kind);
            EXPECT_GT(Calc.Count, 0);
        }
        ASSERT_GT(Link.Opened, 0);
        EXPECT_EQ(Link.SeenGravity, C.Gravity);
        EXPECT_EQ(Link.SeenNarrowing, C.Narrowing);
        EXPECT_EQ(Link.SeenBlow, &Blow);
        EXPECT_EQ(Link.SeenLink, &Link);
        EXPECT_TRUE(Outer.OuterLink.Shown.empty());  // nothing went past the run's link
        Outer.ExpectRestored();
    }
}

TEST(RunSetup, GlobalsStayForTheResultsUntilTheSetUpEnds)
{
    TOuterGlobals Outer;
    TObservingLink Link;
    TCase Case;
    Case.Steps = 5;
    Case.NarrowingKind = 1;
    TCalc Calc, Blow;
    {
        TRunSetup Setup(Case, Blow, 4.0, Link);
        EXPECT_EQ(Setup.Run(false, Calc), TRunKind::ConstantPressure);
        // The report reads the driving pipe and reaches the user after the run.
        EXPECT_EQ(BlowCalc, &Blow);
        EXPECT_EQ(&UserLink(), &Link);
        EXPECT_EQ(Gravity, 4.0);
        EXPECT_EQ(NarrowingKind(), 1);
    }
    Outer.ExpectRestored();
}

}  // namespace
