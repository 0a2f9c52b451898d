// The game's one random source: the C library's srand/rand contract with RAND_MAX 32767.
// state = state * 214013 + 2531011 (mod 2^32); result = (state >> 16) & 0x7FFF.
// Every draw of the rules goes through it, in the order the rules make them.
//
// A tracer, when one is set, is told of every draw with the call site that made it (the
// default CallSite argument of each draw function), so that two runs that part can be
// compared line by line. Without a tracer a draw costs one test of a null pointer more, and the
// values drawn never depend on the tracer.
#pragma once

#include <array>
#include <cstdint>

namespace rymd {

// Where a draw was made. The draw functions take one as a default argument built from
// __builtin_FILE() and __builtin_LINE(), which gcc and clang both evaluate at the caller
// (std::source_location would do the same, but clang 14 cannot build it with this library).
class CallSite {
public:
    constexpr CallSite(const char* file, unsigned line) : file_(file), line_(line) {}
    constexpr const char* file_name() const { return file_; }
    constexpr unsigned line() const { return line_; }

private:
    const char* file_;
    unsigned line_;
};

// Receives the draws of a Random while it is set as its tracer.
class RandomTracer {
public:
    virtual ~RandomTracer() = default;
    // value is the raw draw 0..32767, before any scaling.
    virtual void OnDraw(const CallSite& where, int value) = 0;
};

// The step of the source, state -> mul x state + add (mod 2^32), and the same step taken k
// times, which is again a multiply and an add.
struct RandomStep {
    std::uint32_t mul;
    std::uint32_t add;
};
inline constexpr RandomStep kRandomStep = {214013u, 2531011u};
inline constexpr int kRandomMaxBlock = 96;
constexpr std::array<RandomStep, kRandomMaxBlock + 1> MakeRandomSteps() {
    std::array<RandomStep, kRandomMaxBlock + 1> steps{};
    steps[0] = {1u, 0u};
    for (std::size_t k = 1; k < steps.size(); ++k)
        steps[k] = {steps[k - 1].mul * kRandomStep.mul, steps[k - 1].add * kRandomStep.mul + kRandomStep.add};
    return steps;
}
inline constexpr std::array<RandomStep, kRandomMaxBlock + 1> kRandomSteps = MakeRandomSteps();

class Random {
public:
    static constexpr int kRandMax = 32767;
    using Where = CallSite;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}
    // The tracer belongs to the object, not to its value: a copy starts without one, and
    // assigning another value (a game state reset in place) keeps the tracer set here.
    Random(const Random& other) : state_(other.state_) {}
    Random& operator=(const Random& other) {
        state_ = other.state_;
        return *this;
    }

    void Seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t State() const { return state_; }

    // Every later draw is told to the tracer (nullptr: none). The tracer must outlive its use.
    void SetTracer(RandomTracer* tracer) { tracer_ = tracer; }
    RandomTracer* Tracer() const { return tracer_; }

    // One draw, 0..32767.
    int Next(Where where = Where(__builtin_FILE(), __builtin_LINE())) { return Draw(where); }
    // The three scalings the rules use.
    double Unit(Where where = Where(__builtin_FILE(), __builtin_LINE())) {
        return Draw(where) / 32767.0;
    }  // [0, 1], 1 reachable
    double UnitOpen(Where where = Where(__builtin_FILE(), __builtin_LINE())) {
        return Draw(where) / 32768.0;
    }  // [0, 1)
    double Signed(Where where = Where(__builtin_FILE(), __builtin_LINE())) {
        return Draw(where) / 16383.5 - 1.0;
    }  // [-1, 1]
    // trunc(rand() / 32768.0 * n): an index below n (n > 0).
    int Below(int n, Where where = Where(__builtin_FILE(), __builtin_LINE())) {
        return static_cast<int>(Draw(where) / 32768.0 * n);
    }

    // The next n draws (0 <= n <= kMaxBlock) into out: the values, in their order, that n calls
    // of Next give, and the same state after them. Without a tracer each draw is worked out
    // from the state before the block on its own (the step taken k times is again a multiply
    // and an add), so that the draws do not wait for one another; with one they are drawn one
    // by one and each is told with the call site given.
    static constexpr int kMaxBlock = kRandomMaxBlock;
    void NextBlock(int* out, int n, Where where = Where(__builtin_FILE(), __builtin_LINE())) {
        n = n < 0 ? 0 : n > kMaxBlock ? kMaxBlock : n;  // a longer block takes kMaxBlock draws
        if (tracer_ != nullptr) [[unlikely]] {
            for (int i = 0; i < n; ++i)
                out[i] = Draw(where);
            return;
        }
        const std::uint32_t start = state_;
        for (int i = 0; i < n; ++i) {
            const RandomStep& step = kRandomSteps[static_cast<std::size_t>(i) + 1];
            out[i] = static_cast<int>(((step.mul * start + step.add) >> 16) & 0x7FFF);
        }
        const RandomStep& all = kRandomSteps[static_cast<std::size_t>(n)];
        state_ = all.mul * start + all.add;
    }

private:
    int Draw(const Where& where) {
        state_ = state_ * kRandomStep.mul + kRandomStep.add;
        const int value = static_cast<int>((state_ >> 16) & 0x7FFF);
        if (tracer_ != nullptr) [[unlikely]]
            tracer_->OnDraw(where, value);
        return value;
    }

    std::uint32_t state_;
    RandomTracer* tracer_ = nullptr;
};

}  // namespace rymd
