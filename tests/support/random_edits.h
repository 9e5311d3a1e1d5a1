#pragma once

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "fb/value.h"

#include <random>
#include <vector>

namespace testsupport {

// What the tests that edit a register at random share: random picks, keys
// read from the register, and statements run in the editing transaction. A
// test's editor derives from it and says which edits it makes.
class RandomEdits {
protected:
    RandomEdits(fb::Connection& c, fb::Transaction& tr, std::mt19937& random) : c_(c), tr_(tr), random_(random) {}

    // 0 to n - 1.
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    // One of the keys, or NULL when there is none.
    fb::Value any(const std::vector<int>& keys)
    {
        return keys.empty() ? fb::Value() : fb::Value(keys[static_cast<size_t>(pick(static_cast<int>(keys.size())))]);
    }
    // The first column of every row of a select.
    std::vector<int> keys(const char* sql)
    {
        fb::Statement st(c_, QString::fromUtf8(sql));
        std::vector<int> all;
        for (const auto& row : fb::fetchAll(st, tr_))
            all.push_back(row[0].toInt());
        return all;
    }
    void run(const char* sql, const std::vector<fb::Value>& params)
    {
        fb::execute(c_, tr_, QString::fromUtf8(sql), params);
    }

    fb::Connection& c_;
    fb::Transaction& tr_;
    std::mt19937& random_;
};

}  // namespace testsupport
