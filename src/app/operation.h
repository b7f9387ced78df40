#pragma once
// An operation that ends part-way (a file refused, Cancel at a prompt, a failure whose message
// has been shown) keeps nothing of itself: the session goes back to what it was before it.

#include <type_traits>
#include <utility>

#include "app/session.h"

namespace plovix {

// Thrown where the current operation ends; its message has already been shown.
struct OperationEnded {};

// Copies the session and puts the copy back when it goes out of scope, unless the operation's
// result is kept.
class SessionRollback {
  public:
    explicit SessionRollback(Session& s) : s_(s), saved_(s) {}
    ~SessionRollback() {
        if (!kept_) s_ = std::move(saved_);
    }
    SessionRollback(const SessionRollback&) = delete;
    SessionRollback& operator=(const SessionRollback&) = delete;

    void keep() { kept_ = true; }
    // The session as it will be put back.
    Session& saved() { return saved_; }

  private:
    Session& s_;
    Session saved_;
    bool kept_ = false;
};

// Putting the session back happens while an exception unwinds: it must not throw.
static_assert(std::is_nothrow_move_assignable_v<Session>);

}  // namespace plovix
