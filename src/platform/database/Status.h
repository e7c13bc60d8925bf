#pragma once

#include <QString>

#include <utility>

namespace folimar::database {

// The outcome of one engine call: success, or the engine's result code with a message.
// Callers that follow the "ignore a failed step and go on" habit may drop it; it is
// never thrown.
class Status {
public:
    Status() = default;
    static Status failure(int code, QString message) { return Status(code, std::move(message)); }

    bool isOk() const { return code_ == 0; }
    explicit operator bool() const { return isOk(); }
    int code() const { return code_; }
    const QString& message() const { return message_; }

private:
    Status(int code, QString message) : code_(code), message_(std::move(message)) {}
    int code_ = 0;
    QString message_;
};

// Result codes of our own, next to the engine's (which are small positive numbers).
namespace errors {
inline constexpr int NoView = 1001;          // the database or view is closed or unset
inline constexpr int NoCurrentRecord = 1002; // at BOF/EOF, or on a deleted record
inline constexpr int NotUpdatable = 1003;    // a snapshot, or a read-only database
inline constexpr int NoSuchField = 1004;
inline constexpr int Overflow = 1005;        // a value that does not fit its field
inline constexpr int NotEditing = 1006;      // update/setValue without addNew/edit
inline constexpr int NoIndex = 1007;         // seek without (or with an unknown) index
inline constexpr int Exists = 1008;          // creating what is already there
inline constexpr int BadQuery = 1009;        // a query text this layer does not take
inline constexpr int FileError = 1010;       // file system step of a compaction
inline constexpr int Damaged = 1011;         // a file shorter than its own header says
} // namespace errors

} // namespace folimar::database
