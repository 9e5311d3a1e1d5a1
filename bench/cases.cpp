#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        rentDue,
        {"startup", "DB: process start to the main window shown with every shared cursor open", startup},
        {"list",
         "DB [--fill N]: the owners' list through the list-screen base: read, filter, sort, search, correct "
         "and cancel (--fill first adds generated owners until there are N)",
         list},
    };
    return all;
}

}  // namespace bench
