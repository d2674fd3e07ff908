#pragma once

#include "console/output.h"

#include <string_view>

namespace vornset {

// Why an option's value is refused: the text that follows "Parameter error: ", such
// as "cntval, only values 1-99 are valid". Empty where the value is taken.
using Refusal = std::string_view;

// The rule for a hidden start, as broken by each of the three keys it ties together.
inline constexpr Refusal HIDDEN_START_BY_STM = "stm, hidden mode requires countdown and default boot";
inline constexpr Refusal HIDDEN_START_BY_CNT = "cnt, hidden mode requires countdown and default boot";
inline constexpr Refusal HIDDEN_START_BY_DBT = "dbt, hidden mode requires countdown and default boot";

// Prints the refusal of a command-line option as its one line and returns false.
inline bool refuse(Refusal refusal, Output& out)
{
    out << "Parameter error: " << refusal << "\n";
    return false;
}

} // namespace vornset
