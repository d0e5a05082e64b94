#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TErrorObj.h"

namespace {

struct Pattern {
    std::vector<double> target;
    std::vector<double> output;
};

double Feed(TErrorObj& err, const std::vector<Pattern>& patterns) {
    for (const Pattern& p : patterns) err.AddPattern(p.target.data(), p.output.data());
    return err.GetError();
}

// A penalty tree: head plus keyword/number-text pairs.
TKQstructure Penalty(const char* head,
                     std::initializer_list<std::pair<const char*, const char*>> coefficients) {
    TKQstructure tree(head);
    for (const auto& c : coefficients) tree.SetString(c.first, c.second);
    return tree;
}

}  // namespace

TEST(TErrorRMSObj, RootOfMeanOverPatternsAndOutputs) {
    struct Case {
        const char* name;
        int numOutputs;
        std::vector<Pattern> patterns;
        double expected;
    };
    const std::vector<Case> cases = {
        // (1-0.5)^2 + (0-0.5)^2 = 0.5; sqrt(0.5 / 2 / 1) = 0.5
        {"one pattern", 2, {{{1, 0}, {0.5, 0.5}}}, 0.5},
        // 0.04+0.16 = 0.2 and 0.25+0.25+0.09+0.01 = 0.6; sqrt(0.8 / 4 / 2) = sqrt(0.1)
        {"two patterns", 4,
         {{{0, 0, 0, 0}, {0.2, 0.4, 0, 0}}, {{0.5, 0.5, 0.3, 0.1}, {0, 0, 0, 0}}},
         std::sqrt(0.1)},
    };
    for (const Case& c : cases) {
        TErrorRMSObj err(c.numOutputs);
        const double error = Feed(err, c.patterns);
        EXPECT_DOUBLE_EQ(c.expected, error) << c.name;
        EXPECT_EQ(error, err.GetError()) << c.name << ": reading does not change the state";
    }
}

TEST(TErrorRMSObj, DividesByOutputsThenByPatterns) {
    TErrorRMSObj err(3);
    // 33 + 12 + 4 = 49: sqrt((49/3)/3) rounds to 2.333333333333333, one ulp
    // below sqrt(49/9) = 2.3333333333333335.
    const double error =
        Feed(err, {{{4, 4, 1}, {0, 0, 0}}, {{0, 0, 0}, {2, 2, 2}}, {{2, 0, 0}, {0, 0, 0}}});
    EXPECT_EQ(2.333333333333333, error);
}

TEST(TErrorRMSObj, EmptyMeasureReportsZero) {
    TErrorRMSObj err(3);
    EXPECT_EQ(0.0, err.GetError());
    // A penalty without any pattern still has nothing to average over.
    TKQstructure decay = Penalty("QUADPENALTY", {{"EPSILON2", "1"}});
    const double w = 2.0;
    err.AddPenalty(1, &w, &decay);
    EXPECT_EQ(0.0, err.GetError());
    TErrorRMSObj noOutputs(0);
    noOutputs.AddPattern(nullptr, nullptr);
    EXPECT_EQ(0.0, noOutputs.GetError());
}

TEST(TErrorRMSObj, PenaltyLiesInsideTheRoot) {
    TErrorRMSObj err(2);
    Feed(err, {{{1, 0}, {0.5, 0.5}}});  // sum 0.5
    // QUADPENALTY 0.01 * (1^2 + 3^2) = 0.1; sqrt((0.5 + 0.1) / 2 / 1) = sqrt(0.3)
    TKQstructure decay = Penalty("QUADPENALTY", {{"EPSILON2", "0.01"}});
    const double weights[] = {1.0, -3.0};
    err.AddPenalty(2, weights, &decay);
    EXPECT_DOUBLE_EQ(std::sqrt(0.3), err.GetError());
}

TEST(TErrorCrossEntropyObj, TermsPerOutput) {
    struct Case {
        double t, y, expected;
    };
    const double ln2 = std::log(2.0);
    const std::vector<Case> cases = {
        {1.0, 1.0, 0.0},        // certain and right
        {0.0, 1.0, 1000000.0},  // certain and wrong: the fixed term
        {0.5, 1.0, 1000000.0},  // any target other than exactly 1
        {0.5, 0.5, ln2},        // -0.5 ln 0.5 - 0.5 ln 0.5
        {1.0, 0.5, ln2},        // -ln 0.5
        {0.0, 0.25, -std::log(0.75)},
        // Not exactly 1: the logarithm, -ln(1e-10) = 23.0258..., not the fixed term.
        {0.0, 0.9999999999, -std::log(1.0 - 0.9999999999)},
    };
    for (const Case& c : cases) {
        TErrorCrossEntropyObj err(1);
        err.AddPattern(&c.t, &c.y);
        EXPECT_DOUBLE_EQ(c.expected, err.GetError()) << "t=" << c.t << " y=" << c.y;
    }
    TErrorCrossEntropyObj err(1);
    const double t = 0.0, y = 0.9999999999;
    err.AddPattern(&t, &y);
    EXPECT_NEAR(23.0258509, err.GetError(), 1e-6);
}

TEST(TErrorCrossEntropyObj, TotalIsNotAveraged) {
    TErrorCrossEntropyObj err(2);
    // ln2 + 0 for the first pattern, 1000000 + ln2 for the second.
    const double total = Feed(err, {{{1, 1}, {0.5, 1}}, {{0, 0.5}, {1, 0.5}}});
    EXPECT_DOUBLE_EQ(1000000.0 + 2 * std::log(2.0), total);
    // A penalty is part of the total: LWF 0.5 * 0.2 * (1 + 2) = 0.3.
    TKQstructure lwf = Penalty("LWF", {{"LEARNINGRATE", "0.5"}, {"FORGETTINGRATE", "0.2"}});
    const double weights[] = {1.0, -2.0};
    err.AddPenalty(2, weights, &lwf);
    EXPECT_DOUBLE_EQ(total + 0.3, err.GetError());
}

TEST(TErrorCrossEntropyObj, OutputsOutsideTheRangeFollowTheFormula) {
    struct Case {
        double t, y;
        bool isNan;
    };
    // y = 0, t = 1: -ln 0 = +inf. y = 0, t = 0: 0 * -inf = NaN. y > 1: ln of a
    // negative number. Nothing is clamped; the caller keeps outputs in (0, 1].
    const std::vector<Case> cases = {{1.0, 0.0, false}, {0.0, 0.0, true}, {0.5, 1.5, true}};
    for (const Case& c : cases) {
        TErrorCrossEntropyObj err(1);
        err.AddPattern(&c.t, &c.y);
        if (c.isNan) {
            EXPECT_TRUE(std::isnan(err.GetError())) << "t=" << c.t << " y=" << c.y;
        } else {
            EXPECT_EQ(HUGE_VAL, err.GetError()) << "t=" << c.t << " y=" << c.y;
        }
    }
}

TEST(TErrorObj, ResetGivesTheFreshMeasure) {
    const std::vector<Pattern> patterns = {{{1, 0}, {0.25, 0.5}}, {{0, 1}, {0.75, 0.125}}};
    std::unique_ptr<TErrorObj> measures[][2] = {
        {std::make_unique<TErrorRMSObj>(2), std::make_unique<TErrorRMSObj>(2)},
        {std::make_unique<TErrorCrossEntropyObj>(2), std::make_unique<TErrorCrossEntropyObj>(2)},
    };
    for (auto& pair : measures) {
        TErrorObj& used = *pair[0];
        Feed(used, {{{0, 0}, {0.5, 0.5}}, {{1, 1}, {0.5, 0.5}}});
        used.Reset();
        EXPECT_EQ(Feed(*pair[1], patterns), Feed(used, patterns));
    }
}

TEST(TErrorObj, PenaltyValues) {
    struct Case {
        const char* name;
        TKQstructure penalty;
        std::vector<double> weights;
        double scale;
        double expected;
    };
    const std::vector<Case> cases = {
        // 0.1*1*1/(1*1 + 1) + 0.01*1 = 0.05 + 0.01
        {"quad", Penalty("QUADPENALTY", {{"EPSILON1", "0.1"}, {"EPSILON2", "0.01"}, {"BETA", "1"}}),
         {1.0}, 1.0, 0.06},
        {"quad scaled", Penalty("QUADPENALTY", {{"EPSILON1", "0.1"}, {"EPSILON2", "0.01"}}),
         {1.0}, 2.0, 0.12},
        // BETA defaults to 1: 0.1*1*4/(4+1) = 0.08
        {"quad default beta", Penalty("QUADPENALTY", {{"EPSILON1", "0.1"}}), {-2.0}, 1.0, 0.08},
        // BETA 2, w = 1: 0.5*2*1/(2+1) = 1/3
        {"quad beta", Penalty("quadpenalty", {{"epsilon1", "0.5"}, {"beta", "2"}}), {1.0}, 1.0,
         1.0 / 3.0},
        {"quad without keywords", Penalty("QUADPENALTY", {}), {1.0, 2.0}, 1.0, 0.0},
        // 0.5*0.2*(1 + 2); the scale does not enter
        {"lwf", Penalty("LWF", {{"LEARNINGRATE", "0.5"}, {"FORGETTINGRATE", "0.2"}}),
         {1.0, -2.0}, 2.0, 0.3},
        {"lwf without learning rate", Penalty("Lwf", {{"FORGETTINGRATE", "0.2"}}), {1.0, -2.0},
         1.0, 0.0},
        {"none", Penalty("none", {{"EPSILON2", "1"}}), {1.0}, 1.0, 0.0},
    };
    TErrorRMSObj err(1);
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(c.expected, err.CalcPenalty(static_cast<int>(c.weights.size()),
                                                     c.weights.data(), &c.penalty, c.scale))
            << c.name;
    }
    const double w = 5.0;
    EXPECT_EQ(0.0, err.CalcPenalty(1, &w, nullptr, 1.0));

    // Left to right: (0.1*0.1)*2.25 / (0.1*2.25 + 1) = 0.018367346938775515;
    // 0.1*(0.1*2.25) would round to 0.018367346938775512.
    const TKQstructure elimination = Penalty("QUADPENALTY", {{"EPSILON1", "0.1"}, {"BETA", "0.1"}});
    const double w15 = 1.5;
    EXPECT_EQ(0.018367346938775515, err.CalcPenalty(1, &w15, &elimination, 1.0));
}

TEST(TErrorObj, MalformedCoefficientThrowsAndLeavesTheMeasure) {
    TErrorRMSObj err(1);
    const double t = 1.0, y = 0.0;
    err.AddPattern(&t, &y);  // sum 1
    TKQstructure bad = Penalty("QUADPENALTY", {{"EPSILON2", "0.1"}, {"BETA", "abc"}});
    const double w = 1.0;
    EXPECT_THROW(err.AddPenalty(1, &w, &bad), TKQstructure::Error);
    EXPECT_EQ(1.0, err.GetError());
}

TEST(TErrorObjDeathTest, UnknownPenaltyKindIsAnInternalError) {
    TErrorRMSObj err(1);
    TKQstructure unknown("DECAY");
    const double w = 1.0;
    EXPECT_DEATH(err.CalcPenalty(1, &w, &unknown, 1.0), "Assertion failed: false");
}
