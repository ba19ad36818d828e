// A row-major two-dimensional array: element (column c, row r) sits at index columns * r + c.
// The grid component keeps its points in one, the cloth its particles. The array owns its
// storage; Resize throws the old contents away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <typename T> class Array2D
{
public:
    Array2D() = default; // 0 columns, 0 rows, no storage

    // Frees the old storage and allocates columns * rows default-constructed elements. The
    // count is formed in 64 bits, so callers can check GetElementCount against their own cap
    // before calling with counts that came from a file.
    void Resize(std::uint32_t columns, std::uint32_t rows)
    {
        std::vector<T>().swap(m_Elements);
        m_Columns = columns;
        m_Rows = rows;
        m_Elements.resize(static_cast<std::size_t>(static_cast<std::uint64_t>(columns) * rows));
    }

    std::uint32_t GetColumns() const { return m_Columns; }
    std::uint32_t GetRows() const { return m_Rows; }
    std::size_t GetElementCount() const { return m_Elements.size(); }
    bool IsEmpty() const { return m_Elements.empty(); }
    bool IsInside(std::uint32_t column, std::uint32_t row) const
    {
        return column < m_Columns && row < m_Rows;
    }

    // Callers keep column < GetColumns() and row < GetRows(); these are in the cloth's inner
    // loops and do not check.
    T& operator()(std::uint32_t column, std::uint32_t row) { return m_Elements[Index(column, row)]; }
    const T& operator()(std::uint32_t column, std::uint32_t row) const
    {
        return m_Elements[Index(column, row)];
    }

    // Storage order access: index = columns * row + column.
    T& operator[](std::size_t index) { return m_Elements[index]; }
    const T& operator[](std::size_t index) const { return m_Elements[index]; }
    T* GetData() { return m_Elements.data(); }
    const T* GetData() const { return m_Elements.data(); }

private:
    std::size_t Index(std::uint32_t column, std::uint32_t row) const
    {
        return static_cast<std::size_t>(m_Columns) * row + column;
    }

    std::uint32_t m_Columns = 0;
    std::uint32_t m_Rows = 0;
    std::vector<T> m_Elements;
};
