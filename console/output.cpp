#include "console/output.h"

#include <charconv>
#include <cstdio>

namespace vornset {

Output& Output::operator<<(int number)
{
    char digits[16];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    (void)error; // sixteen characters hold every int
    write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    return *this;
}

void StandardOutput::write(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace vornset
