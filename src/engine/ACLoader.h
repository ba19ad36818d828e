// A loader that fills one record of type T from a file. The application shell owns the
// loader during start-up and hands the record on; the game supplies the concrete reader.
#pragma once

#include <string>

namespace dorvo
{
template <typename T> class ACLoader
{
public:
    virtual ~ACLoader() = default;

    // Reads the file into the held record. A file that cannot be read leaves it unchanged.
    virtual void Load(const std::string& fileName) = 0;

    virtual T* GetData() { return &m_data; }
    virtual const T* GetData() const { return &m_data; }

protected:
    T m_data;
};
} // namespace dorvo
