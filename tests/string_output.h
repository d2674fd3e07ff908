#pragma once

#include "console/output.h"

#include <string>

namespace vornset::testing {

class StringOutput final : public Output {
public:
    std::string text;

    void write(std::string_view more) override { text.append(more); }
};

} // namespace vornset::testing
