// The editor in full screen, headless: after Alt+Enter on a 1920 x 1080 desktop the 800 x 600
// picture shows 1440 x 1080 from column 240. A click where a point of the face is drawn on the
// screen places the platform at that point: the cursor, the picker and the face agree with the
// picture.
#include "ManipulatorFixture.h"

#include "engine/gfx/gui/CCursor.h"
#include "game/nodes/ConnectionComp.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cmath>

using manipulatortest::Editor;
using manipulatortest::PositionOf;

TEST(FullScreenEditor, AClickWhereAFacePointIsDrawnOnTheScreenPlacesThePlatformThere)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    plat::headless::SetDesktopSize(1920, 1080);
    plat::headless::InjectMessage(plat::WM_SYSKEYDOWN, plat::VK_RETURN, 1 << 29);
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
    {
        plat::TranslateMessage(&msg);
        plat::DispatchMessageW(&msg);
    }
    editor.world->Frames(2);
    ASSERT_FALSE(plat::DXUTIsWindowed());
    ASSERT_EQ(plat::headless::WindowWidth(), 1920);

    editor.Choose("Platform");
    for (const math::Vector3& at : {Editor::Front(2.0f, -1.0f), Editor::Front(-6.0f, 5.0f)})
    {
        SCOPED_TRACE(at.x);
        int x = 0;
        int y = 0;
        gametest::GameTestWorld::ScreenPixelOf(at, x, y);
        const math::Vector3 from = editor.game().GetCursor()->GetScreenPoint();
        const int sx = 240 + static_cast<int>(std::lround(x * 1.8)),
                  sy = static_cast<int>(std::lround(y * 1.8));
        plat::headless::SetCursorScreenPosition(sx, sy);
        plat::inputfeed::MouseMove(x - static_cast<int>(from.x), y - static_cast<int>(from.y), 100);
        editor.world->Frame();
        const std::size_t before = editor.Widgets().size();
        editor.world->LeftClick();
        editor.world->Frames(2);
        ASSERT_EQ(editor.Widgets().size(), before + 1);
        const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(editor.Widgets().back());
        ASSERT_NE(connection, nullptr);
        // One back-buffer pixel is about 0.04 world units on the face.
        EXPECT_LT((PositionOf(connection->GetNodeA()) - at).Length(), 0.1f) << "standing up from the point";
    }
}
