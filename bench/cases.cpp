#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {rentDue};
    return all;
}

}  // namespace bench
