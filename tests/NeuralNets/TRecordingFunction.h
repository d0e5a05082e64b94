#ifndef TESTS_NEURALNETS_TRECORDINGFUNCTION_H
#define TESTS_NEURALNETS_TRECORDINGFUNCTION_H

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "NeuralNets/TFunctObject.h"

// A function for the minimiser tests that records every evaluation: the
// point and whether a gradient was asked for. body computes the value and,
// when gradient is not null, the gradient. A search that never ends fails
// with std::runtime_error after kMaxCalls evaluations instead of hanging.
class TRecordingFunction final : public TFunctObject {
public:
    using Body = std::function<double(const double* x, double* gradient)>;

    struct Call {
        std::vector<double> x;
        bool withGradient;
    };

    TRecordingFunction(int n, Body body) : n(n), body(std::move(body)) {}

    int GetNumParams() override { return n; }

    double Evaluate(const double* x, double* gradient) override {
        if (calls.size() >= kMaxCalls) throw std::runtime_error("evaluated too often");
        calls.push_back({std::vector<double>(x, x + n), gradient != nullptr});
        return body(x, gradient);
    }

    int Count(bool withGradient) const {
        int count = 0;
        for (const Call& c : calls) count += c.withGradient == withGradient ? 1 : 0;
        return count;
    }

    static constexpr std::size_t kMaxCalls = 10000;
    std::vector<Call> calls;

private:
    int n;
    Body body;
};

// A body that returns values[k] at the k-th evaluation (the last value once
// the list is used up) and always the same gradient.
inline TRecordingFunction::Body Scripted(std::vector<double> values, std::vector<double> gradient) {
    auto next = std::make_shared<std::size_t>(0);
    return [values = std::move(values), gradient = std::move(gradient), next](
               const double*, double* g) {
        if (g != nullptr) {
            for (std::size_t i = 0; i < gradient.size(); ++i) g[i] = gradient[i];
        }
        const std::size_t k = std::min(*next, values.size() - 1);
        ++*next;
        return values[k];
    };
}

#endif
