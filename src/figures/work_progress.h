#pragma once
// How far a long piece of work has come, for a caller that shows it or
// stops it. The work tells it now and then how many of its steps are done
// out of how many; the caller may throw WorkStopped from it to end the
// work where it stands (everything the work holds is released as the
// exception passes).

#include <cstdint>
#include <exception>
#include <functional>

namespace ledger {

using WorkProgress = std::function<void(std::uint64_t done, std::uint64_t whole)>;

// Thrown by a WorkProgress to stop the work; nothing went wrong.
class WorkStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the work was stopped"; }
};

// Steps between two calls of a WorkProgress: rare enough to cost nothing
// beside the steps, often enough to stop a million of them within
// milliseconds.
inline constexpr std::uint64_t kProgressStride = 16384;

}  // namespace ledger
