#pragma once
// The special-function calculator: five panels (Jn(x); K1/3 and K2/3; Ai and Ai'; S(x); the
// undulator coupling factor [JJ] with the line strength built from it), each with input
// fields and result fields. The whole panel state is a set of texts by objectName, so the
// window and the command line run the same recalculation and show the same texts. A panel
// whose input is out of its domain shows a message in that input field instead of a result;
// the next recalculation clears it.
#include <map>
#include <string>
#include <vector>

#include "core/numerics/result_field.h"

namespace lumerad {

class Tabulated;

inline constexpr const char* kBsArgNegativeText = "x > 0 !";
inline constexpr const char* kBsOrdNegativeText = "n > = 0 !";
inline constexpr const char* kMBsArgText = "x must be > 0";
inline constexpr const char* kAiryArgText = "x must be > 0 !";
inline constexpr const char* kUFArgText = "x must be >= 0 !";
inline constexpr const char* kJJhNegativeText = "h must be > = 0";
// Orders and harmonics above this are refused: the recurrences would take ages and the
// values are far below anything a double holds for every argument the panels are used with.
inline constexpr int kMaxFunctionOrder = 10000;
inline constexpr const char* kBsOrdTooLargeText = "n < = 10000 !";
inline constexpr const char* kJJhTooLargeText = "h must be < = 10000";

// The input fields in the order of the panels, and the result fields of each panel.
inline constexpr const char* kFunctionInputs[] = {"BsArg", "BsOrd", "MBsArg", "AiryArg",
                                                  "UFArg", "JJh",   "JJK"};

struct FunctionPanelState {
    std::map<std::string, std::string> text;  // every field's text, by objectName
    std::map<std::string, double> value;      // the value behind each result text written
    std::string faultField;                   // the input whose text was not a number (after InputError)

    const std::string& operator[](const std::string& name) const;
};

// The design texts: every argument "0", harmonic "1", K "0", every result empty.
void InitializeFunctions(FunctionPanelState& s);

// Evaluates the five panels in order. A text that is not a number throws InputError at that
// field (faultField names it); the panels before it keep what they wrote. A panel empties its
// results before it reads its inputs, so a refused or faulting input never stands beside the
// result of an earlier one.
void RecalculateFunctions(FunctionPanelState& s, const Tabulated& tab);

// The panels by name for the command line: "J", "K13" and "K23" (one panel), "Ai" and
// "AiP" (one panel), "S", "JJ". panelInputs gives the input fields of a panel (empty for an
// unknown name); panelResults the results it shows; panelMessage the message a panel left
// in one of its inputs, or "".
std::vector<std::string> panelInputs(const std::string& panel);
ResultFields panelResults(const FunctionPanelState& s, const std::string& panel);
std::string panelMessage(const FunctionPanelState& s, const std::string& panel);

}  // namespace lumerad
