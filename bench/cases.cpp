#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        rentDue,
        {"startup", "DB: process start to the main window shown with every shared cursor open", startup},
    };
    return all;
}

}  // namespace bench
