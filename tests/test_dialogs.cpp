#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

TEST(EventGuard, SystemErrorIsShownAndSwallowed)
{
    ScriptedDialogsGuard dialogs;
    bool ok = guarded([] { throw Exception(QStringLiteral("壊れました")); });
    EXPECT_FALSE(ok);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, ScriptedDialogs::Kind::Error);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("壊れました"));
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("ルミナード"));
    EXPECT_TRUE(guarded([] {}));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}
