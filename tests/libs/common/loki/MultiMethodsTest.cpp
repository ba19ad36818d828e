#include "common/loki/MultiMethods.h"

#include "common/loki/Functor.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Shape
{
    virtual ~Shape() = default;
};
struct Ball : Shape
{
    std::string name = "ball";
};
struct Box : Shape
{
    std::string name = "box";
};

std::string BallBox(Ball& ball, Box& box)
{
    return ball.name + "-" + box.name;
}
} // namespace

TEST(MultiMethods, HelperCastsAndCallsInOrderOrSwapped)
{
    typedef std::string (*PairFn)(Ball&, Box&);
    typedef Loki::Functor<std::string, Loki::Typelist<Shape&, Loki::Typelist<Shape&, Loki::NullType>>> Cell;
    typedef Loki::Private::FunctorDispatcherHelper<Shape, Shape, Ball, Box, std::string,
                                                   Loki::StaticCaster<Ball, Shape>,
                                                   Loki::StaticCaster<Box, Shape>, PairFn, false>
        Straight;
    typedef Loki::Private::FunctorDispatcherHelper<Shape, Shape, Ball, Box, std::string,
                                                   Loki::StaticCaster<Ball, Shape>,
                                                   Loki::StaticCaster<Box, Shape>, PairFn, true>
        Swapped;
    Cell ballBox{Straight(&BallBox)};
    Cell boxBall{Swapped(&BallBox)};
    Ball ball;
    Box box;
    EXPECT_EQ(ballBox(ball, box), "ball-box");
    // The mirrored cell is called (box, ball) and answers in the pair function's order.
    EXPECT_EQ(boxBall(box, ball), "ball-box");
}
