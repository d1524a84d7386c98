// Applications offered by model. An application INF's [Version] MODEL holds
// typescan's own command line, its /mode and its conditions (for example
// MODEL="/mode=0 /INC=PC-AB"); the application is offered only on the
// models that the condition matches. Media without the key are offered as
// they always were.
#pragma once

#include <string>
#include <vector>

#include "setup/core/model_condition.h"
#include "setup/core/media.h"
#include "setup/core/records.h"

// What the machine's model says to one condition.
enum class ModelAnswer {
    Matches,
    OtherModel,
    Unread,     // the model could not be read: no typescan, no driver, no table
};

// How the log and qvcheck's plan say an answer.
const char* ModelAnswerName(ModelAnswer answer);

// Answers conditions on one machine; each distinct condition is asked once.
class ModelJudge {
public:
    virtual ModelAnswer Judge(const char* condition) = 0;

protected:
    ~ModelJudge() = default;
};

// One condition and its answer.
struct JudgedCondition {
    std::string condition;
    ModelAnswer answer;
};

// Whether an earlier start of the run chose the application of that INF
// file name (a run that goes on after a restart).
using EarlierChoice = bool (*)(const char* infName);

// Offers the applications of `media` by their MODEL, each distinct
// condition judged once: one that matches stays as it is; one for another
// model leaves the offer for the media's list of those not offered; one
// whose model could not be read stays, unchosen, marked so. An application
// that `chosenBefore` names stays offered unjudged: the run goes on with
// what its start chose on the model it read then. Answers each condition
// with its answer, in the order first asked. No platform calls but the
// judge's.
std::vector<JudgedCondition> OfferByModel(Media& media, ModelJudge& judge, EarlierChoice chosenBefore = nullptr);
