#pragma once

#include "output/output.h"

#include <cstdio>

namespace vornset {

// One of the C library's standard streams, fully buffered, so that the run's text
// goes out in one write when the run flushes it, after the image is closed.
class StandardOutput final : public Output {
public:
    explicit StandardOutput(std::FILE* stream);

    void write(std::string_view text) override;
    bool flush() override;
    bool failed() const;

private:
    std::FILE* stream_;
    bool failed_ = false;
};

// Readies the process's standard streams before anything else is opened. A standard
// descriptor that the process was started without is opened on the null device, in
// the direction it is not used in, so that no file the tool opens can take its number
// and every use of it fails as an error. A closed pipe then makes a write fail
// rather than end the process.
void prepareStandardStreams();

} // namespace vornset
