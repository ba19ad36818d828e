// Double dispatch over two class hierarchies through a table of functors: cell [i][j] handles an
// object of class index i on the left against one of class index j on the right. A class gets
// its index the first time an Add names it (left side first), from one counter shared by rows
// and columns, so a class has one index whichever side it stands on. The index lives in the
// class itself: every concrete class offers `static int& StaticClassIndex()` (-1 until handed
// out) and the base a virtual `int& GetClassIndex()` returning the concrete class's static, so
// indices are process-wide and two tables that name the same classes must name them in the same
// order. The collision detector's hull-pair table is the one user.
//
//   Loki::FunctorDispatcher<Shape, Shape, int> table;
//   table.Add<Ball, Box, int (*)(Ball&, Box&), false>(&BallBox); // cell [Ball][Box]
//   table.Add<Ball, Box, int (*)(Ball&, Box&), true>(&BallBox);  // cell [Box][Ball], turned round
//   table.Dispatch(someBox, someBall);
#pragma once

#include "common/loki/Functor.h"
#include "common/loki/MultiMethods.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Loki
{
template <class BaseLhs, class BaseRhs = BaseLhs, class ResultType = void,
          class CallbackType = Functor<ResultType, Typelist<BaseLhs&, Typelist<BaseRhs&, NullType>>>>
class FunctorDispatcher
{
public:
    typedef CallbackType Callback;
    typedef std::vector<CallbackType> Row;

    // Places the functor in the cell [index of SomeLhs][index of SomeRhs], handing out indices
    // to classes that have none yet. The cell's previous functor is destroyed.
    template <class SomeLhs, class SomeRhs> void Add(const CallbackType& fun)
    {
        int& left = SomeLhs::StaticClassIndex();
        if (left < 0)
        {
            m_callbacks.resize(NextIndex() + 1);
            left = static_cast<int>(m_callbacks.size()) - 1;
        }
        else if (m_callbacks.size() <= static_cast<std::size_t>(left))
            m_callbacks.resize(static_cast<std::size_t>(left) + 1);

        Row& row = m_callbacks[static_cast<std::size_t>(left)];
        int& right = SomeRhs::StaticClassIndex();
        if (right < 0)
        {
            row.resize(NextIndex() + 1);
            right = static_cast<int>(row.size()) - 1;
        }
        else if (row.size() <= static_cast<std::size_t>(right))
            row.resize(static_cast<std::size_t>(right) + 1);

        row[static_cast<std::size_t>(right)] = fun;
    }

    // Adds the pair function `fun`(SomeLhs&, SomeRhs&) wrapped in the casting helper: with
    // Swap false in the cell [SomeLhs][SomeRhs], with Swap true in the mirrored cell
    // [SomeRhs][SomeLhs], which turns its operands round before the call. The result comes
    // back unchanged, so it names its operands in `fun`'s order either way.
    template <class SomeLhs, class SomeRhs, class Fun, bool Swap> void Add(const Fun& fun)
    {
        typedef Private::FunctorDispatcherHelper<BaseLhs, BaseRhs, SomeLhs, SomeRhs, ResultType,
                                                 StaticCaster<SomeLhs, BaseLhs>,
                                                 StaticCaster<SomeRhs, BaseRhs>, Fun, Swap>
            Helper;
        if constexpr (Swap)
            Add<SomeRhs, SomeLhs>(CallbackType(Helper(fun)));
        else
            Add<SomeLhs, SomeRhs>(CallbackType(Helper(fun)));
    }

    // Calls the cell of the two objects' classes. A pair the table has no functor for (an
    // index not handed out, beyond the table, or an empty cell) answers a default result:
    // for the hull table, "no collision".
    ResultType Dispatch(BaseLhs& lhs, BaseRhs& rhs)
    {
        CallbackType* cell = Find(lhs.GetClassIndex(), rhs.GetClassIndex());
        if (cell == nullptr)
            return ResultType();
        return (*cell)(lhs, rhs);
    }

    // Whether the cell [left][right] holds a functor.
    bool HasCell(int left, int right) const
    {
        return const_cast<FunctorDispatcher*>(this)->Find(left, right) != nullptr;
    }
    std::size_t GetRowCount() const { return m_callbacks.size(); }
    std::size_t GetRowSize(std::size_t row) const
    {
        return row < m_callbacks.size() ? m_callbacks[row].size() : 0;
    }
    // Class indices handed out by this table.
    int GetColumns() const { return m_columns; }

private:
    CallbackType* Find(int left, int right)
    {
        if (left < 0 || right < 0 || static_cast<std::size_t>(left) >= m_callbacks.size())
            return nullptr;
        Row& row = m_callbacks[static_cast<std::size_t>(left)];
        if (static_cast<std::size_t>(right) >= row.size() || !row[static_cast<std::size_t>(right)])
            return nullptr;
        return &row[static_cast<std::size_t>(right)];
    }

    // Counts one more class and answers its index. Normally that is the counter; a table that
    // already holds cells past its counter, because its classes were indexed by an earlier table,
    // hands out the first index past all of them, so that no cell is overwritten or cut.
    std::size_t NextIndex()
    {
        std::size_t used = m_callbacks.size();
        for (const Row& row : m_callbacks)
            used = std::max(used, row.size());
        if (static_cast<std::size_t>(m_columns) < used)
            m_columns = static_cast<int>(used);
        return static_cast<std::size_t>(m_columns++);
    }

    std::vector<Row> m_callbacks;
    int m_columns = 0;
};
} // namespace Loki
