#pragma once
// Loops over arrays of doubles that the compiler turns into vector instructions. The body is
// compiled twice, for the plain x86-64 instruction set and for AVX2, and the process picks
// once what its processor has. The bodies only add, multiply and divide in the order they
// are written, and the files that use them build without fused multiply-adds
// (-ffp-contract=off), so every lane gives the bits of the plain loop.
namespace lumerad::wide {

template <class Body>
[[gnu::flatten]] void plainLoop(const Body& body) {
    body();
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
template <class Body>
[[gnu::target("avx2"), gnu::flatten]] void avx2Loop(const Body& body) {
    body();
}

inline bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

template <class Body>
void run(const Body& body) {
    if (hasAvx2())
        avx2Loop(body);
    else
        plainLoop(body);
}
#else
template <class Body>
void run(const Body& body) {
    plainLoop(body);
}
#endif

}  // namespace lumerad::wide
