// The offer by model on the PC that runs: TYPESCAN.EXE of the media asked
// for each condition, and the answers logged.
#pragma once

#include "setup/core/media.h"
#include "setup/core/model_offer.h"

// The judge of a running qvsetup: TYPESCAN.EXE in the media's folder,
// asked with /FAILCODES, hidden, for at most TypescanWaitMs a condition
// (more than typescan's own waits for its driver take at worst). Exit code
// 1: a match; 0: another model; anything else, a typescan that can't be
// started, or one still running at the bound: the model could not be read.
// A typescan that does not know /FAILCODES (it must end with 3 when given
// nothing else) is never asked: its 0 would say "another model" for every
// failure. Once a typescan could not be started or had to be ended, the
// rest of the conditions are not asked either.
class TypescanJudge : public ModelJudge {
public:
    explicit TypescanJudge(const char* sourceDir) : sourceDir_(sourceDir) {}
    ModelAnswer Judge(const char* condition) override;

private:
    enum class Ran { Ended, NotStarted, Stopped };
    Ran Run(const char* arguments, unsigned long* exitCode);

    const char* sourceDir_;
    bool probed_ = false;
    bool usable_ = false;
};

// typescan waits up to 10 s each for six steps of the service manager at
// worst (open it, create, start and see the driver run; open it again and
// see the service gone): the bound leaves it room to end, and to take its
// service away, rather than be ended with the service left behind.
constexpr unsigned long TypescanWaitMs = 90000;

// Offers the applications of `media` by their MODEL as typescan of the
// media folder answers on this PC (those `chosenBefore` names stay, as
// OfferByModel keeps them); logs each condition's answer and each
// application left out or offered unchosen.
void OfferByModelOnThisPc(Media& media, EarlierChoice chosenBefore);
