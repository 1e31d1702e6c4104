#include "core/numerics/function_calculator.h"

#include <vector>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/text_to_number.h"

namespace lumerad {

namespace {

struct Result {
    const char* name;
    const char* label;
};

struct Panel {
    const char* name;
    std::vector<const char*> inputs;
    std::vector<Result> results;
};

const std::vector<Panel>& panels() {
    static const std::vector<Panel> p = {
        {"J", {"BsArg", "BsOrd"}, {{"BsRes", "J_n (x)"}}},
        {"K", {"MBsArg"}, {{"K13_x", "K_1/3 (x)"}, {"K23_x", "K_2/3 (x)"}}},
        {"Ai", {"AiryArg"}, {{"Aiofx", "Ai (x)"}, {"AiPofx", "Ai' (x)"}}},
        {"S", {"UFArg"}, {{"UFVal", "S(x)"}}},
        {"JJ",
         {"JJh", "JJK"},
         {{"JJx", "x = iK^2/(4+2K^2)"}, {"JJ", "[JJ(x)]"}, {"lnspctrm", "(i*K/(1+K^2/2))^2*[JJ]"}}},
    };
    return p;
}

const Panel* findPanel(const std::string& name) {
    const std::string n = name == "K13" || name == "K23" ? "K" : name == "AiP" ? "Ai" : name;
    for (const Panel& p : panels())
        if (n == p.name) return &p;
    return nullptr;
}

bool isMessage(const std::string& t) {
    for (const char* m : {kBsArgNegativeText, kBsOrdNegativeText, kMBsArgText, kAiryArgText, kUFArgText,
                          kJJhNegativeText, kBsOrdTooLargeText, kJJhTooLargeText})
        if (t == m) return true;
    return false;
}

class Run {
public:
    Run(FunctionPanelState& s) : s_(s) {}
    std::string& text(const char* name) { return s_.text[name]; }
    double real(const char* name) {
        s_.faultField = name;
        const double v = parseReal(s_.text[name]);
        s_.faultField.clear();
        return v;
    }
    int integer(const char* name) {
        s_.faultField = name;
        const int v = parseInteger(s_.text[name]);
        s_.faultField.clear();
        return v;
    }
    void result(const char* name, double v) {
        v = checkedValue(v);
        s_.value[name] = v;
        s_.text[name] = general(v, 7, 5);
    }
    void clear(const char* name) {
        s_.text[name].clear();
        s_.value.erase(name);
    }

private:
    FunctionPanelState& s_;
};

void bessel(Run& r) {
    if (r.text("BsOrd").empty() || r.text("BsArg").empty()) {
        r.clear("BsRes");
        return;
    }
    if (r.text("BsArg") == kBsArgNegativeText) {
        r.clear("BsArg");
        return;
    }
    if (r.text("BsOrd") == kBsOrdNegativeText || r.text("BsOrd") == kBsOrdTooLargeText) {
        r.clear("BsOrd");
        return;
    }
    r.clear("BsRes");  // a refused or faulting input leaves no result of an earlier one
    const double x = r.real("BsArg");
    const int n = r.integer("BsOrd");
    if (x < 0) {
        r.text("BsArg") = kBsArgNegativeText;
    } else if (n < 0) {
        r.text("BsOrd") = kBsOrdNegativeText;
    } else if (n > kMaxFunctionOrder) {
        r.text("BsOrd") = kBsOrdTooLargeText;
    } else {
        r.result("BsRes", bessj(n, x));
    }
}

void modifiedBessel(Run& r, const Tabulated& tab) {
    if (r.text("MBsArg").empty() || r.text("MBsArg") == kMBsArgText) {
        r.clear("MBsArg");
        r.clear("K13_x");
        r.clear("K23_x");
        return;
    }
    r.clear("K13_x");
    r.clear("K23_x");
    const double x = r.real("MBsArg");
    if (x > 0) {
        r.result("K13_x", ModBess(tab, 1, x));
        r.result("K23_x", ModBess(tab, 2, x));
    } else {
        r.text("MBsArg") = kMBsArgText;
    }
}

void airy(Run& r, const Tabulated& tab) {
    if (r.text("AiryArg").empty() || r.text("AiryArg") == kAiryArgText) {
        r.clear("AiryArg");
        r.clear("Aiofx");
        r.clear("AiPofx");
        return;
    }
    r.clear("Aiofx");
    r.clear("AiPofx");
    const double x = r.real("AiryArg");
    if (x > 0) {
        r.result("Aiofx", AiryFun(tab, 1, x));
        r.result("AiPofx", AiryFun(tab, 2, x));
    } else {
        r.text("AiryArg") = kAiryArgText;
    }
}

void universal(Run& r, const Tabulated& tab) {
    if (r.text("UFArg").empty() || r.text("UFArg") == kUFArgText) {
        r.clear("UFArg");
        r.clear("UFVal");
        return;
    }
    r.clear("UFVal");
    const double x = r.real("UFArg");
    if (x >= 0)
        r.result("UFVal", UnivrslF(tab, x));
    else
        r.text("UFArg") = kUFArgText;
}

void coupling(Run& r) {
    if (r.text("JJh").empty() || r.text("JJK").empty() || r.text("JJh") == kJJhNegativeText ||
        r.text("JJh") == kJJhTooLargeText) {
        r.clear("JJ");
        r.clear("lnspctrm");
        r.clear("JJh");
        return;
    }
    for (const char* name : {"JJx", "JJ", "lnspctrm"}) r.clear(name);
    const double K = r.real("JJK");
    const int h = r.integer("JJh");
    if (h < 0) {
        r.text("JJh") = kJJhNegativeText;
        return;
    }
    if (h > kMaxFunctionOrder) {
        r.text("JJh") = kJJhTooLargeText;
        return;
    }
    r.result("JJx", h * K * K / (2 * K * K + 4));
    const double J = JJFun(h, K);
    r.result("JJ", J);
    const double f = h * K / (K * K * 0.5 + 1);
    r.result("lnspctrm", f * f * J);
}

}  // namespace

const std::string& FunctionPanelState::operator[](const std::string& name) const {
    static const std::string none;
    auto it = text.find(name);
    return it == text.end() ? none : it->second;
}

void InitializeFunctions(FunctionPanelState& s) {
    s.text.clear();
    s.value.clear();
    s.faultField.clear();
    for (const char* name : {"BsArg", "BsOrd", "MBsArg", "AiryArg", "UFArg", "JJK"}) s.text[name] = "0";
    s.text["JJh"] = "1";
    for (const Panel& p : panels())
        for (const Result& r : p.results) s.text[r.name].clear();
}

void RecalculateFunctions(FunctionPanelState& s, const Tabulated& tab) {
    s.faultField.clear();
    Run r(s);
    bessel(r);
    modifiedBessel(r, tab);
    airy(r, tab);
    universal(r, tab);
    coupling(r);
}

std::vector<std::string> panelInputs(const std::string& panel) {
    std::vector<std::string> names;
    if (const Panel* p = findPanel(panel))
        for (const char* n : p->inputs) names.emplace_back(n);
    return names;
}

ResultFields panelResults(const FunctionPanelState& s, const std::string& panel) {
    ResultFields f;
    const Panel* p = findPanel(panel);
    if (!p) return f;
    for (const Result& r : p->results) {
        auto v = s.value.find(r.name);
        f.push_back(ResultField{r.name, r.label, v == s.value.end() ? 0.0 : v->second, "", s[r.name], ""});
    }
    return f;
}

std::string panelMessage(const FunctionPanelState& s, const std::string& panel) {
    if (const Panel* p = findPanel(panel))
        for (const char* n : p->inputs)
            if (isMessage(s[n])) return s[n];
    return "";
}

}  // namespace lumerad
