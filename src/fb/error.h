#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

namespace fb {

// The one exception type of the database layer. what() is the database
// client's own formatted message, which screens show as it is.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message, std::vector<long> codes = {});

    QString message() const { return QString::fromUtf8(what()); }
    // The ISC error codes of the status vector, first one first; empty for
    // errors raised by this layer itself.
    const std::vector<long>& codes() const { return codes_; }
    long code() const { return codes_.empty() ? 0 : codes_.front(); }
    bool has(long iscCode) const;
    // The attachment is gone (the server went away, the network broke, the
    // attachment was shut down): nothing more can be done through it.
    bool connectionLost() const;

private:
    std::vector<long> codes_;
};

// ISC codes the program tells apart.
inline constexpr long kUniqueKeyViolation = 335544665L;
inline constexpr long kUpdateConflict = 335544451L;
inline constexpr long kLockConflict = 335544345L;
inline constexpr long kDeadlock = 335544336L;

// How many errors of a lost attachment this process has met so far, on any
// connection. A connection that saw the count move since it last looked
// asks the engine whether it is still alive; otherwise nothing is asked.
unsigned long connectionLosses();

}  // namespace fb
