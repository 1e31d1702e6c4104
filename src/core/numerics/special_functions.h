#pragma once
// Special functions of synchrotron-radiation and undulator theory, each by its fixed recipe
// (rational approximations, recurrences, asymptotic forms, spline lookups in the table).
namespace lumerad {

class Tabulated;

double Power(double base, double exponent);  // 0 when base is 0
double bessj0(double x);
double bessj1(double x);
double bessj(int n, double x);
double ModBess(const Tabulated& tab, int nu, double x);  // K1/3 (nu 1), K2/3 (nu 2)
double AiryFun(const Tabulated& tab, int k, double x);   // Ai (k 1), Ai' (k 2)
double UnivrslF(const Tabulated& tab, double x);         // S(x)
double JJFun(int h, double K);
// JJFun(h, K[i]) for count values of K, the same bits: the Bessel recurrences of several
// points run side by side in vector instructions.
void JJFun(int h, const double* K, double* out, long count);
// ModBess and UnivrslF at n arguments (out may be x): each value to the bit what the function
// gives for that argument alone. Arguments in increasing order are the fast case.
void ModBess(const Tabulated& tab, int nu, const double* x, double* out, long n);
void UnivrslF(const Tabulated& tab, const double* x, double* out, long n);

}  // namespace lumerad
