#include "commandline.h"

#include "productversion.h"

#include <cstdio>
#include <cstring>

namespace CommandLine {

std::optional<int> answerEarly(int argc, char **argv, const char *usage)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            // Exactly the version: the installer compares this line with the signed one.
            std::fputs(ORVANE_PRODUCT_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace CommandLine
