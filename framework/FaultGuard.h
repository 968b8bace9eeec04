// Runs a piece of code so that an access violation inside it is survived rather
// than taking the host down: used where the library formats text with arguments it
// cannot validate (a bad string pointer handed to the log, for instance).
#pragma once

namespace tavrel {

// Calls work(context). Returns true when it ran to its end, false when it raised an
// access violation; in that case it was abandoned at the fault. Objects with
// destructors must not live inside work: abandoning it skips them.
bool RunGuardedAgainstAccessViolation(void (*work)(void* context), void* context);

}  // namespace tavrel
