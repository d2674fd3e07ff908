#pragma once

#include "output/output.h"

#include <string>

namespace vornset::testing {

class StringOutput final : public Output {
public:
    std::string text;
    // Whether the destination is taken to have refused the text, as a full disk would.
    bool failing = false;

    void write(std::string_view more) override { text.append(more); }
    bool flush() override { return !failing; }
};

} // namespace vornset::testing
