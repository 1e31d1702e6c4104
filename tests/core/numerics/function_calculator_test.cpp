#include "core/numerics/function_calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"

namespace lumerad {
namespace {

struct Calculator {
    FunctionPanelState s;
    Calculator() { InitializeFunctions(s); }
    Calculator& set(const char* name, const char* text) {
        s.text[name] = text;
        return *this;
    }
    Calculator& refresh() {
        clearFloatFaults();
        RecalculateFunctions(s, testref::table());
        return *this;
    }
    const std::string& operator[](const char* name) const { return s[name]; }
};

TEST(FunctionCalculator, DefaultsAndTwoRefreshes) {
    Calculator c;
    c.refresh();
    const std::pair<const char*, const char*> first[] = {{"BsRes", "1"},
                                                         {"MBsArg", kMBsArgText},
                                                         {"AiryArg", kAiryArgText},
                                                         {"UFVal", "0"},
                                                         {"JJx", "0"},
                                                         {"JJ", "1"},
                                                         {"lnspctrm", "0"},
                                                         {"K13_x", ""}};
    for (const auto& [name, text] : first) EXPECT_EQ(c[name], text) << name;
    c.refresh();
    for (const char* name : {"MBsArg", "AiryArg", "K13_x", "K23_x", "Aiofx", "AiPofx"})
        EXPECT_EQ(c[name], "") << name;
}

// The Bessel panel's values are bessj's, checked against the standard library in the special
// function tests; here its text, and an order whose value underflows.
TEST(FunctionCalculator, BesselPanelTexts) {
    for (auto [n, x, text] : {std::tuple{"0", "1", "0.7651977"},
                              {"3", "2.5", "0.2166004"},
                              {"10", "1e-17", "2.691144E-180"},
                              {"10000", "2", "0"}}) {
        Calculator c;
        c.set("BsOrd", n).set("BsArg", x).refresh();
        EXPECT_EQ(c["BsRes"], text) << n << ", " << x;
    }
}

TEST(FunctionCalculator, TabulatedPanelsAgainstIndependentValues) {
    Calculator c;
    c.set("MBsArg", "1").set("AiryArg", "1").set("UFArg", "1").refresh();
    EXPECT_NEAR(c.s.value["K13_x"] / testref::K13(1), 1.0, 1e-5);
    EXPECT_NEAR(c.s.value["K23_x"] / testref::K23(1), 1.0, 1e-5);
    // Ai(1) and Ai'(1), published to ten digits
    EXPECT_NEAR(c.s.value["Aiofx"] / 0.1352924163, 1.0, 1e-5);
    EXPECT_NEAR(c.s.value["AiPofx"] / -0.1591474413, 1.0, 1e-5);
    EXPECT_NEAR(c.s.value["UFVal"] / testref::S(1), 1.0, 1e-5);
    // Far out the tabulated functions give 0; close to 0 the small-argument forms.
    c.set("MBsArg", "40").set("AiryArg", "20").set("UFArg", "30").refresh();
    EXPECT_EQ(c["UFVal"], "3.982421E-13");  // 0.777 sqrt(30) e^-30
    EXPECT_EQ(c["K13_x"], "0");
    EXPECT_EQ(c["K23_x"], "0");
    EXPECT_EQ(c["Aiofx"], "0");
    c.set("MBsArg", "0.0001").refresh();
    EXPECT_EQ(c["K13_x"], "36.35879");
    EXPECT_NEAR(c.s.value["K23_x"], 1.3541179 / std::cbrt(2e-8), 1e-6);
}

TEST(FunctionCalculator, CouplingFactorAndLineStrength) {
    struct Case {
        const char *h, *K, *x, *jj, *line;
    };
    const Case cases[] = {
        {"2", "1", "0.3333333", "0.652948", "1.160796"},
        {"3", "2", "1", "0.1057206", "0.4228825"},
        {"0", "1.5", "0", "0", "0"},
    };
    for (const Case& k : cases) {
        Calculator c;
        c.set("JJh", k.h).set("JJK", k.K).refresh();
        EXPECT_EQ(c["JJx"], k.x) << k.h << ", " << k.K;
        EXPECT_EQ(c["JJ"], k.jj) << k.h << ", " << k.K;
        EXPECT_EQ(c["lnspctrm"], k.line) << k.h << ", " << k.K;
    }
    // An empty K empties the harmonic too; K and x keep their texts.
    Calculator c;
    c.set("JJh", "2").set("JJK", "1").refresh();
    c.set("JJK", "").refresh();
    EXPECT_EQ(c["JJh"], "");
    EXPECT_EQ(c["JJ"], "");
    EXPECT_EQ(c["lnspctrm"], "");
    EXPECT_EQ(c["JJx"], "0.3333333");
}

// Arguments out of a panel's domain: the message goes into the input field, the other
// panels are evaluated, and the next refresh clears the message.
TEST(FunctionCalculator, DomainMessagesInTheInputFields) {
    struct Case {
        const char *field, *text, *message;
    };
    const Case cases[] = {{"BsArg", "-1", kBsArgNegativeText},
                          {"BsOrd", "-1", kBsOrdNegativeText},
                          {"BsOrd", "2147483647", kBsOrdTooLargeText},
                          {"BsOrd", "10001", kBsOrdTooLargeText},
                          {"MBsArg", "-2", kMBsArgText},
                          {"AiryArg", "0", kAiryArgText},
                          {"UFArg", "-0.5", kUFArgText},
                          {"JJh", "-3", kJJhNegativeText},
                          {"JJh", "2147483647", kJJhTooLargeText}};
    for (const Case& k : cases) {
        Calculator c;
        c.set("UFArg", "2").set(k.field, k.text).refresh();
        EXPECT_EQ(c[k.field], k.message) << k.field << " " << k.text;
        if (std::string(k.field) != "UFArg") {
            EXPECT_FALSE(c["UFVal"].empty()) << k.field;
        }
        c.refresh();
        EXPECT_EQ(c[k.field], "") << k.field << " " << k.text;
    }
    // An order out of range for the integers is not an integer at all.
    Calculator c;
    c.set("BsOrd", "2147483648");
    EXPECT_EQ(thrown<InputError>([&] { c.refresh(); }), "'2147483648' is not a valid integer value");
    EXPECT_EQ(c.s.faultField, "BsOrd");
}

TEST(FunctionCalculator, NotANumberStopsAtItsField) {
    Calculator c;
    c.set("BsArg", "1").set("MBsArg", "abc").set("UFArg", "1");
    EXPECT_EQ(thrown<InputError>([&] { c.refresh(); }), "'abc' is not a valid floating point value");
    EXPECT_EQ(c.s.faultField, "MBsArg");
    EXPECT_EQ(c["BsRes"], "0.7651977");  // the panel before it was evaluated
    EXPECT_EQ(c["UFVal"], "");           // the ones after it not
}

TEST(FunctionCalculator, PanelsByNameForTheCommandLine) {
    Calculator c;
    c.set("MBsArg", "1").set("BsArg", "-2").refresh();
    EXPECT_EQ(panelInputs("J"), (std::vector<std::string>{"BsArg", "BsOrd"}));
    EXPECT_EQ(panelInputs("K13"), std::vector<std::string>{"MBsArg"});
    EXPECT_TRUE(panelInputs("Q").empty());
    const ResultFields k = panelResults(c.s, "K23");
    ASSERT_EQ(k.size(), 2u);
    EXPECT_EQ(k[0].name, "K13_x");
    EXPECT_EQ(k[1].text, c["K23_x"]);
    EXPECT_EQ(panelMessage(c.s, "J"), kBsArgNegativeText);
    EXPECT_EQ(panelMessage(c.s, "K13"), "");
}

}  // namespace
}  // namespace lumerad
