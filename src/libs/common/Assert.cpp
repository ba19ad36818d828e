#include "common/Assert.h"

#include "platform/log.h"

namespace common
{
namespace
{
void DefaultHandler(const AssertReport& r)
{
    DORVO_LOG("Assertion failed: %s:%d: %s: %s; the program carries on", r.file ? r.file : "", r.line,
              r.condition ? r.condition : "", r.text ? r.text : "");
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
