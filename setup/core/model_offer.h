// Applications offered by model. An application INF's [Version] MODEL holds
// typescan's own command line, its /mode and its conditions (for example
// MODEL="/mode=0 /INC=PC-AB"); the application is offered only on the
// models that the condition matches. Media without the key are offered as
// they always were.
#pragma once

#include "setup/core/model_condition.h"
#include "setup/core/media.h"
#include "setup/core/records.h"

// What the machine's model says to one condition.
enum class ModelAnswer {
    Matches,
    OtherModel,
    Unread,     // the model could not be read: no typescan, no driver, no table
};

// Answers conditions on one machine; each distinct condition is asked once.
class ModelJudge {
public:
    virtual ModelAnswer Judge(const char* condition) = 0;

protected:
    ~ModelJudge() = default;
};

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

constexpr unsigned long TypescanWaitMs = 60000;

// Offers the applications of `media` by their MODEL, each distinct
// condition judged once: one that matches stays as it is; one for another
// model leaves the offer for the media's list of those not offered; one
// whose model could not be read stays, unchosen, marked so. Logs each
// condition's answer and each application left out.
void OfferByModel(Media& media, ModelJudge& judge);
