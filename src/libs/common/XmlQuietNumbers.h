// While one of these is alive, XmlReadInt, XmlReadUint and XmlReadFloat (and the readers built on
// them) refuse a malformed number without writing their own line: for a reader that writes one
// line of its own about the field, with what it means, so a fault is never told twice.
#pragma once

namespace common
{
class XmlQuietNumbers
{
public:
    XmlQuietNumbers();
    ~XmlQuietNumbers();
    XmlQuietNumbers(const XmlQuietNumbers&) = delete;
    XmlQuietNumbers& operator=(const XmlQuietNumbers&) = delete;

    // Whether any is alive on this thread.
    static bool Active();
};
} // namespace common
