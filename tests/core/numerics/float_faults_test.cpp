#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"

namespace lumerad {
namespace {

// Operands come through volatile variables and the operations sit in functions the
// optimiser may not inline, as they would in a real calculation: nothing here can be
// folded at compile time or moved past the flag test.
volatile double zero = 0.0;
volatile double minusOne = -1.0;
volatile double big = 1e300;
volatile double tiny = 1e-300;

[[gnu::noinline]] double divide(double a, double b) { return a / b; }
[[gnu::noinline]] double root(double a) { return std::sqrt(a); }
[[gnu::noinline]] double logarithm(double a) { return std::log(a); }
[[gnu::noinline]] double exponential(double a) { return std::exp(a); }
[[gnu::noinline]] double product(double a, double b) { return a * b; }

std::string faultOf(double (*step)()) {
    clearFloatFaults();
    const volatile double v = step();
    (void)v;
    try {
        checkFloatFaults();
    } catch (const FloatError& e) {
        return e.what();
    }
    return "";
}

TEST(FloatFaults, RealOperationsRaiseTheMessagesOfTheirFault) {
    EXPECT_EQ(faultOf([] { return divide(1.0, zero); }), "Floating point division by zero");
    EXPECT_EQ(faultOf([] { return logarithm(zero); }), "Floating point division by zero");
    EXPECT_EQ(faultOf([] { return root(minusOne); }), "Invalid floating point operation");
    EXPECT_EQ(faultOf([] { return divide(zero, zero); }), "Invalid floating point operation");
    EXPECT_EQ(faultOf([] { return logarithm(minusOne); }), "Invalid floating point operation");
    EXPECT_EQ(faultOf([] { return exponential(1000.0 + zero); }), "Floating point overflow");
    EXPECT_EQ(faultOf([] { return product(big, big); }), "Floating point overflow");
    // Underflow passes silently and gives 0; so do ordinary operations.
    EXPECT_EQ(faultOf([] { return product(tiny, tiny); }), "");
    EXPECT_EQ(product(tiny, tiny), 0.0);
    EXPECT_EQ(faultOf([] { return exponential(-1000.0 + zero); }), "");
    EXPECT_EQ(faultOf([] { return divide(1.0, 3.0 + zero); }), "");
}

TEST(FloatFaults, ACheckClearsTheFlagsAndAClearForgetsEarlierFaults) {
    clearFloatFaults();
    const volatile double r = divide(1.0, zero);
    (void)r;
    EXPECT_THROW(checkFloatFaults(), FloatError);
    EXPECT_NO_THROW(checkFloatFaults());  // reported once, not again at the next boundary

    const volatile double s = root(minusOne);
    (void)s;
    clearFloatFaults();  // the next action starts clean
    EXPECT_NO_THROW(checkFloatFaults());
}

TEST(FloatFaults, CheckedValueStopsAtTheFaultingStep) {
    clearFloatFaults();
    EXPECT_EQ(checkedValue(divide(6.0, 3.0 + zero)), 2.0);
    EXPECT_EQ(thrown<FloatError>([] { checkedValue(divide(1.0, zero)); }), "Floating point division by zero");
    EXPECT_EQ(thrown<FloatError>([] { checkedValue(root(minusOne)); }), "Invalid floating point operation");
    EXPECT_EQ(thrown<FloatError>([] { checkedValue(product(big, 10.0 + zero) * big); }),
              "Floating point overflow");
    // A non-finite value whose flag was cleared on the way is refused by its value.
    const double inf = divide(1.0, zero), nan = divide(zero, zero);
    clearFloatFaults();
    EXPECT_THROW(checkedValue(inf), FloatError);
    clearFloatFaults();
    EXPECT_THROW(checkedValue(nan), FloatError);
    EXPECT_EQ(checkedValue(DBL_MAX), DBL_MAX);
    EXPECT_EQ(checkedValue(product(tiny, tiny)), 0.0);
}

}  // namespace
}  // namespace lumerad
