#pragma once
// The formula as a type: code written once for both formulas is compiled once
// for each, and the one choice between them is made before its loops, never
// inside them.

namespace kt {

template <int Index>
struct FormulaType {
    static constexpr int index = Index; // as EngineValues::type
};

// Runs body(FormulaType<...>{}) for formula `type`: 0 is formula 1, any other
// value formula 2, as the engine has always read it. Always inlined, so that
// each vector target's copy of a caller keeps its own body.
template <typename Body>
[[gnu::always_inline]] inline decltype(auto) withformula(int type, Body&& body)
{
    if (type == 0)
        return body(FormulaType<0>{});
    return body(FormulaType<1>{});
}

} // namespace kt
