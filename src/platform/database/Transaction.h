#pragma once

#include "platform/database/Connection.h"

namespace folimar::database {

// One write transaction: begun on construction, rolled back on destruction unless
// committed, so a failing step of a multi-record change leaves the file as it was.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const Status& status() const { return begun_; }
    Status commit();

private:
    Connection& connection_;
    Status begun_;
    bool open_ = false;
};

} // namespace folimar::database
