#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {};
    return all;
}

}  // namespace bench
