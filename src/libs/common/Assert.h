// Assertions stay active in every build. A failed one reports its condition, its text, the
// file and the line through a replaceable handler and then execution continues: callers
// describe what happens after a failed check, so nothing here aborts.
#pragma once

namespace common
{
struct AssertReport
{
    const char* condition; // the expression as written
    const char* text;      // what went wrong, naming the class and method
    const char* file;
    int line;
};

using AssertHandler = void (*)(const AssertReport& report);

// Installs a handler and returns the previous one; nullptr restores the default, which
// writes one line to the log (platform/log.h).
AssertHandler SetAssertHandler(AssertHandler handler);
void ReportAssert(const char* condition, const char* text, const char* file, int line);
} // namespace common

// DORVO_ASSERT(cond, text): evaluates cond once; when false, reports and carries on.
// Evaluates to the truth of cond so callers can bail out: if (!DORVO_ASSERT(p, "...")) return;
#define DORVO_ASSERT(cond, text)                                                                             \
    ((cond) ? true : (::common::ReportAssert(#cond, (text), __FILE__, __LINE__), false))
