#include "common/loki/FunctorDispatcher.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Hull-like classes of this test's own: their indices are handed out by the tables here only.
struct Shape
{
    virtual ~Shape() = default;
    virtual int& GetClassIndex() = 0;
};
#define SHAPE(Name)                                                                                          \
    struct Name : Shape                                                                                      \
    {                                                                                                        \
        int& GetClassIndex() override { return StaticClassIndex(); }                                         \
        static int& StaticClassIndex()                                                                       \
        {                                                                                                    \
            static int s_index = -1;                                                                         \
            return s_index;                                                                                  \
        }                                                                                                    \
    }
SHAPE(Ball);
SHAPE(Cube);
SHAPE(Flat);
SHAPE(Late);
SHAPE(Unnamed);
#undef SHAPE

std::string BallBall(Ball&, Ball&)
{
    return "ball-ball";
}
std::string BallCube(Ball&, Cube&)
{
    return "ball-cube";
}
std::string BallFlat(Ball&, Flat&)
{
    return "ball-flat";
}
std::string CubeFlat(Cube&, Flat&)
{
    return "cube-flat";
}
std::string LateBall(Late&, Ball&)
{
    return "late-ball";
}

typedef Loki::FunctorDispatcher<Shape, Shape, std::string> Table;
} // namespace

TEST(FunctorDispatcher, IndicesFollowTheFirstNamingAndMirroredCellsTurnTheOperandsRound)
{
    Table table;
    table.Add<Ball, Ball, decltype(&BallBall), false>(&BallBall);
    table.Add<Ball, Cube, decltype(&BallCube), false>(&BallCube);
    table.Add<Ball, Cube, decltype(&BallCube), true>(&BallCube);
    table.Add<Ball, Flat, decltype(&BallFlat), false>(&BallFlat);
    table.Add<Ball, Flat, decltype(&BallFlat), true>(&BallFlat);
    table.Add<Cube, Flat, decltype(&CubeFlat), false>(&CubeFlat);
    table.Add<Cube, Flat, decltype(&CubeFlat), true>(&CubeFlat);
    EXPECT_EQ(Ball::StaticClassIndex(), 0);
    EXPECT_EQ(Cube::StaticClassIndex(), 1);
    EXPECT_EQ(Flat::StaticClassIndex(), 2);
    EXPECT_EQ(table.GetColumns(), 3);
    EXPECT_EQ(table.GetRowSize(0), 3u);
    EXPECT_EQ(table.GetRowSize(2), 2u) << "the flat row reaches only as far as its last cell";

    Ball ball;
    Cube cube;
    Flat flat;
    Unnamed unnamed;
    struct Case
    {
        Shape& lhs;
        Shape& rhs;
        std::string expected;
    };
    const Case cases[] = {
        {ball, ball, "ball-ball"},
        {ball, cube, "ball-cube"},
        {cube, ball, "ball-cube"},
        {flat, ball, "ball-flat"},
        {flat, cube, "cube-flat"},
        {cube, flat, "cube-flat"},
        // No cell: an empty one inside a row, one past a row's end, a class never named.
        {cube, cube, ""},
        {flat, flat, ""},
        {ball, unnamed, ""},
        {unnamed, ball, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(table.Dispatch(c.lhs, c.rhs), c.expected);
    }

    // Registering again refills the same cells; the indices stay.
    table.Add<Ball, Ball, decltype(&BallBall), false>(&BallBall);
    EXPECT_EQ(Ball::StaticClassIndex(), 0);
    EXPECT_EQ(table.GetRowCount(), 3u);

    // A second table over the same classes keeps their indices, and a class it names first
    // gets an index past every cell it holds.
    Table second;
    second.Add<Cube, Flat, decltype(&CubeFlat), false>(&CubeFlat);
    second.Add<Late, Ball, decltype(&LateBall), false>(&LateBall);
    EXPECT_EQ(Late::StaticClassIndex(), 2 + 1);
    Late late;
    EXPECT_EQ(second.Dispatch(cube, flat), "cube-flat");
    EXPECT_EQ(second.Dispatch(late, ball), "late-ball");
}
