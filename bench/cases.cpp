#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        rentDue,
        {"startup", "DB: process start to the main window shown with every shared cursor open", startup},
        {"owners",
         "DB: the owners register: open (the list read), filter by name, clear, sort by two titles, search, "
         "correct and cancel, correct and save",
         owners},
        reportCase,
    };
    return all;
}

}  // namespace bench
