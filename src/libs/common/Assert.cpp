#include "common/Assert.h"

#include <cstdio>

namespace common
{
namespace
{
void DefaultHandler(const AssertReport& r)
{
    std::fprintf(stderr, "Assertion failed: %s: %s (%s:%d)\n", r.condition, r.text ? r.text : "", r.file,
                 r.line);
}

AssertHandler& Current()
{
    static AssertHandler handler = &DefaultHandler;
    return handler;
}
} // namespace

AssertHandler SetAssertHandler(AssertHandler handler)
{
    AssertHandler previous = Current();
    Current() = handler ? handler : &DefaultHandler;
    return previous;
}

void ReportAssert(const char* condition, const char* text, const char* file, int line)
{
    Current()(AssertReport{condition, text, file, line});
}
} // namespace common
