#pragma once

namespace zembrel {

// The failures that the desktop program and zembrel-cli both report, each named by one phrase
// from one table. A phrase says what went wrong, in lower case and without a full stop, so that
// it can follow a colon ("...could not be written:\nnot enough memory") or "there is"; the face
// that shows it adds what was not done.
enum class Failure {
    OutOfMemory, // an allocation failed (std::bad_alloc)
    Unknown,     // an exception of no known kind ended an operation
};

const char* FailureText(Failure failure);

} // namespace zembrel
